#include "app/levmain.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/aboutform.h"
#include "app/application.h"
#include "app/design_canvas.h"
#include "app/design_file.h"
#include "app/help.h"
#include "app/placedisplay.h"
#include "dialogs/materialform.h"
#include "dialogs/styleform.h"
#include "editor/dimensions.h"
#include "editor/outline.h"
#include "editor/view.h"
#include "layout/layout_commands.h"
#include "platform/files.h"
#include "platform/shell.h"

// How the window system's events map onto this window (the one place that
// says it):
//
//  create handler       the constructor, after the controls are built.
//  activation           QEvent::WindowActivate of this window, and the
//                       application-wide hook: QGuiApplication's
//                       applicationStateChanged(ApplicationActive). Both only
//                       queue FormActivate for the next turn of the event
//                       loop, so one activation runs it once even when Qt
//                       reports it twice.
//  resize               the drawing panel's resize event (the handler is
//                       about the panel's size, which Qt's layouts settle
//                       before that event); the logo is also re-anchored on
//                       the window's own resize. The resize that maximising
//                       at first activation causes arrives after that
//                       handler has returned, so it is still treated as a
//                       first-activation resize.
//  paint                FormPaint runs where the program asks for it (first
//                       activation, New). Qt's own paint events of the panel
//                       only show the surface, which keeps its pixels.
//  system commands      the window manager's minimise, maximise and restore of
//                       this window: QEvent::WindowStateChange not caused by
//                       the program itself.
//  let pending messages run   QCoreApplication::processEvents().
//  hourglass cursor     QApplication::setOverrideCursor(Qt::WaitCursor).
//  close                closeEvent: frees the canvases, saves nothing.
//  default error handler     Application::notify / Application::guarded.

namespace plk {

namespace {

constexpr const char* kNewStatus = "Click grid area, move mouse, click at each intersection. Click in place to end.";
constexpr int kLogoWidth = 147;
constexpr int kLogoHeight = 77;

// "Floor Layout|*.PK1" -> "Floor Layout (*.PK1 *.pk1)": file names on this
// system are case-sensitive, so both spellings of the extension are listed.
QString qt_filter(const QString& filter) {
    const QString description = filter.section('|', 0, 0).trimmed();
    const QString pattern = filter.section('|', 1, 1);
    return QString("%1 (%2 %3)").arg(description, pattern, pattern.toLower());
}

QString run_file_dialog(QWidget* owner, const Tlevmain::FileRequest& r, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, r.caption);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(qt_filter(r.filter));
    dialog.setDefaultSuffix(r.default_suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(r.initial_name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

// The hourglass for the life of a scope; restored also when an error ends it.
class WaitCursor {
public:
    explicit WaitCursor(LayoutHost& host) : host_(host) { host_.set_wait_cursor(true); }
    ~WaitCursor() {
        if (on_) host_.set_wait_cursor(false);
    }
    void restore() {
        if (on_) host_.set_wait_cursor(false);
        on_ = false;
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    LayoutHost& host_;
    bool on_ = true;
};

QFont pixel_font(const char* family, int pixel_height, bool bold) {
    QFont f(family);
    f.setPixelSize(pixel_height);
    f.setBold(bold);
    return f;
}

}  // namespace

Tlevmain::Tlevmain(const QStringList& args, QWidget* parent) : QMainWindow(parent), args_(args) {
    setObjectName("levmain");
    setFont(pixel_font("MS Sans Serif", 11, false));
    choose_open_file = [](QWidget* owner, const FileRequest& r) {
        return run_file_dialog(owner, r, QFileDialog::AcceptOpen);
    };
    choose_save_file = [](QWidget* owner, const FileRequest& r) {
        return run_file_dialog(owner, r, QFileDialog::AcceptSave);
    };
    open_document = open_with_default_handler;
    show_about_box = [this] {
        Taboutform f(this, open_document);
        f.exec();
    };

    build_menus();
    build_controls();

    // Client area 1089 x 790 below the menu bar, centred on the screen.
    resize(1089, 790 + menuBar()->sizeHint().height());
    const QRect screen_area = screen()->availableGeometry();
    move(screen_area.center() - QPoint(width() / 2, height() / 2));

    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(1000);
    connect(Timer3, &QTimer::timeout, this, [this] { Application::guarded([this] { Timer3Timer(); }); });
    Timer3->start();

    // Create handler.
    // The canvas is at least as large as the screen, so no panel is larger
    // and the scroll ranges never go negative.
    canvas_error_ = load_canvas(design, "quartel.dll", screen_area.width(), screen_area.height());
    first_activation = 1;
    reset_design(design);
    enable_view_drawing(false);
    enable_layout(false);
    modecontrol->show();
    placedisplay->show();
    tab_names = QStringList{"Outline"};
    design.program_dir = program_directory();
    Label74->setText("Release 1.0.01");
    application_title_ = "Plankora";
    design.edit_mode = 1;
    design.export_drawing = 0;
    design.drawing_active = 0;
    set_caption("Plankora");
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState s) { on_application_state(s); });
}

Tlevmain::~Tlevmain() = default;

void Tlevmain::build_menus() {
    auto add = [this](QMenu* menu, const char* caption, const char* name, void (Tlevmain::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { Application::guarded([this, handler] { (this->*handler)(); }); });
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    idm_new = add(file, "&New", "idm_new", &Tlevmain::idm_newClick);
    idm_open = add(file, "&Open...", "idm_open", &Tlevmain::idm_openClick);
    idm_save = add(file, "&Save", "idm_save", &Tlevmain::idm_saveClick);
    idm_saveas = add(file, "Save &As...", "idm_saveas", &Tlevmain::idm_saveasClick);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    English1 = add(edit, "&English", "English1", &Tlevmain::English1Click);
    Metric1 = add(edit, "Me&tric", "Metric1", &Tlevmain::Metric1Click);
    // Radio items whose check marks only the two handlers set.
    auto* units = new QActionGroup(this);
    units->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* a : {English1, Metric1}) {
        a->setCheckable(true);
        units->addAction(a);
    }
    English1->setChecked(true);
    blah = edit->addSeparator();
    blah->setObjectName("blah");
    idm_material = add(edit, "&Material", "idm_material", &Tlevmain::idm_materialClick);
    idm_style = add(edit, "&Style", "idm_style", &Tlevmain::idm_styleClick);
    idm_layout = add(edit, "&Layout", "idm_layout", &Tlevmain::idm_layoutClick);
    idm_pricecalc = add(edit, "&View Drawing", "idm_pricecalc", &Tlevmain::idm_pricecalcClick);
    idm_layout->setEnabled(false);
    idm_pricecalc->setEnabled(false);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("Help1");
    idm_help = add(help, "&Help...", "idm_help", &Tlevmain::idm_helpClick);
    idm_about = add(help, "&About", "idm_about", &Tlevmain::idm_aboutClick);
}

void Tlevmain::build_controls() {
    auto* central = new QWidget(this);
    central->setObjectName("client");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel6 = new QFrame(central);
    Panel6->setObjectName("Panel6");
    Panel6->setFrameShape(QFrame::NoFrame);
    Panel6->setFixedHeight(107);
    column->addWidget(Panel6);

    Image2 = new QLabel(Panel6);
    Image2->setObjectName("Image2");
    Image2->setGeometry(0, 30, kLogoWidth, kLogoHeight);
    Image2->setPixmap(QPixmap("logo.bmp"));
    Image2->setAttribute(Qt::WA_TranslucentBackground);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setMouseTracking(true);
    Image2->installEventFilter(this);

    Memo1 = new QPlainTextEdit(Panel6);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(308, 2, 249, 87);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->hide();

    progress1 = new QProgressBar(Panel6);
    progress1->setObjectName("progress1");
    progress1->setGeometry(46, 42, 189, 13);
    progress1->setRange(0, 100);
    progress1->setValue(0);
    progress1->setTextVisible(false);
    progress1->hide();

    modecontrol = new QTabBar(central);
    modecontrol->setObjectName("modecontrol");
    modecontrol->setFixedHeight(27);
    modecontrol->setExpanding(false);
    modecontrol->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    column->addWidget(modecontrol);

    Label74 = new QLabel(modecontrol);
    Label74->setObjectName("Label74");
    Label74->move(596, 4);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    placedisplay = new Placedisplay(central);
    placedisplay->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    middle->addWidget(placedisplay, 1);
    auto* panel8 = new QWidget(central);
    panel8->setObjectName("Panel8");
    panel8->setFixedWidth(36);
    auto* panel8_layout = new QHBoxLayout(panel8);
    panel8_layout->setContentsMargins(0, 0, 0, 0);
    yscroll = new QScrollBar(Qt::Vertical, panel8);
    yscroll->setObjectName("yscroll");
    yscroll->setFixedWidth(15);
    panel8_layout->addWidget(yscroll);
    panel8_layout->addStretch(1);
    middle->addWidget(panel8);
    column->addLayout(middle, 1);

    auto* panel10 = new QWidget(central);
    panel10->setObjectName("Panel10");
    panel10->setFixedHeight(15);
    auto* panel10_layout = new QHBoxLayout(panel10);
    panel10_layout->setContentsMargins(0, 0, 0, 0);
    panel10_layout->setSpacing(0);
    xscroll = new QScrollBar(Qt::Horizontal, panel10);
    xscroll->setObjectName("xscroll");
    panel10_layout->addWidget(xscroll, 1);
    auto* panel2 = new QWidget(panel10);
    panel2->setObjectName("Panel2");
    panel2->setFixedWidth(36);
    panel10_layout->addWidget(panel2);
    column->addWidget(panel10);

    for (QScrollBar* bar : {xscroll, yscroll}) {
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        connect(bar, &QScrollBar::valueChanged, this,
                [this] { Application::guarded([this] { repaint_view(design, *this); }); });
    }

    dimlabel = new QLabel("dimlabel", placedisplay);
    dimlabel->setObjectName("dimlabel");
    dimlabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    dimlabel->setFont(pixel_font("Arial", 16, true));
    // The label takes the panel's white.
    QPalette white = dimlabel->palette();
    white.setColor(QPalette::Window, Qt::white);
    dimlabel->setPalette(white);
    dimlabel->setAutoFillBackground(true);
    dimlabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    dimlabel->hide();

    setCentralWidget(central);
    statusbar = new QStatusBar(this);
    statusbar->setObjectName("statusbar");
    setStatusBar(statusbar);

    placedisplay->on_mouse_down = [this](MouseButton b, int x, int y) { editor.mouse_down(b, x, y); };
    placedisplay->on_mouse_move = [this](int x, int y) {
        if (editor.mouse_move(x, y)) placedisplay->setCursor(Qt::CrossCursor);
    };
    placedisplay->on_resized = [this] {
        place_dimlabel();
        FormResize();
    };
}

void Tlevmain::place_logo() { Image2->move(width() - kLogoWidth - 15, 30); }

void Tlevmain::place_dimlabel() {
    dimlabel->setGeometry(0, 0, placedisplay->width(), dimlabel->sizeHint().height());
}

void Tlevmain::set_caption(const QString& caption) {
    setWindowTitle(caption);
    application_title_ = caption;
}

// ---- Window-level events -------------------------------------------------

bool Tlevmain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) schedule_activate();
    return QMainWindow::event(e);
}

void Tlevmain::on_application_state(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) schedule_activate();
}

void Tlevmain::schedule_activate() {
    if (activate_pending_) return;
    activate_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        activate_pending_ = false;
        Application::guarded([this] { FormActivate(); });
    });
}

void Tlevmain::FormActivate() {
    QString start_file;
    if (first_activation && !args_.value(0).isEmpty()) {
        QStringList parts;
        for (int i = 0; i < 10; ++i) parts << args_.value(i);
        start_file = parts.join(' ').trimmed();
    }
    if (first_activation) {
        maximise_pending_ = true;
        programmatic_state_change_ = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        programmatic_state_change_ = false;
        place_logo();
        while (modecontrol->count() > 0) modecontrol->removeTab(0);
        for (const QString& t : tab_names) modecontrol->addTab(t);
    } else {
        pump_messages();
    }
    if (first_activation) {
        first_activation = 0;
        if (file_exists("newcube5.bmp")) copy_file_over("defcube5.pic", "newcube5.bmp");
    }
    if (!canvas_error_.empty()) {
        // Reported once the window shows; the program draws on a default canvas.
        const std::string text = canvas_error_;
        canvas_error_.clear();
        QTimer::singleShot(0, this, [text] { Application::show_error(text); });
    }
    if (!start_file.isEmpty()) load_design(file_name_part(start_file.toStdString()));
    FormPaint();
}

void Tlevmain::FormPaint() {
    repaint_view(design, *this);
    pump_messages();
    repaint_view(design, *this);
    repaint_view(design, *this);
}

void Tlevmain::FormResize() {
    if (first_activation || maximise_pending_) {
        xscroll->setValue(0);
        yscroll->setValue(0);
        set_scroll_ranges(design, *this);
        draw_grid(design);
        show_grid(design, *this);
        if (!first_activation) {
            // The window manager's maximise arrives after the first paint:
            // put the outline (or the prompt) back over the fresh grid.
            maximise_pending_ = false;
            repaint_view(design, *this);
        }
    } else {
        place_logo();
        for (QScrollBar* bar : {xscroll, yscroll})
            if (bar->value() >= bar->maximum()) bar->setValue(0);
        pump_messages();
    }
}

void Tlevmain::Timer3Timer() {
    Timer3->stop();
    // A maximise that caused no resize leaves nothing pending after this.
    maximise_pending_ = false;
    pump_messages();
    FormResize();
}

void Tlevmain::system_command_hook() {
    WaitCursor wait(*this);
    repaint_view(design, *this);
    draw_segment_dimensions(design, *this);
    draw_overall_dimensions(design, *this);
}

void Tlevmain::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange && !programmatic_state_change_)
        Application::guarded([this] { system_command_hook(); });
    QMainWindow::changeEvent(e);
}

void Tlevmain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (!first_activation) place_logo();
}

void Tlevmain::closeEvent(QCloseEvent* e) {
    design.grid_bitmap = Bitmap();
    design.layout_bitmap = Bitmap();
    tab_names.clear();
    e->accept();
}

bool Tlevmain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Image2) {
        if (e->type() == QEvent::MouseMove) {
            set_status_text(kLogoPrompt);
        } else if (e->type() == QEvent::MouseButtonPress &&
                   static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            open_document(kMakerWebAddress);
            return true;
        } else if (e->type() == QEvent::MouseButtonDblClick) {
            return true;  // nothing beyond the click
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

// ---- File commands -------------------------------------------------------

void Tlevmain::idm_newClick() {
    reset_design(design);
    design.drawing_active = 0;
    enable_view_drawing(false);
    enable_layout(false);
    design.file_name.clear();
    set_caption("[new design] Plankora");
    const QRect area = screen()->availableGeometry();
    const std::string error = reload_grid_bitmap(design, "quartel.dll", area.width(), area.height());
    draw_grid(design);
    design.grid_ready = 0;
    memo_clear();
    show_memo(false);
    tab_names = QStringList{"Outline"};
    while (modecontrol->count() > 0) modecontrol->removeTab(0);
    for (const QString& t : tab_names) modecontrol->addTab(t);
    modecontrol->setCurrentIndex(0);
    pump_messages();
    repaint_view(design, *this);
    set_status_text(kNewStatus);
    FormPaint();
    // The canvas kept its size; the missing picture is still worth a word.
    if (!error.empty()) Application::show_error(error);
}

void Tlevmain::idm_openClick() {
    const QString path = choose_open_file(this, {"Open", "Floor Layout|*.PK1", "PK1", "*.PK1"});
    if (path.isEmpty()) return;
    set_status_text(path.toStdString());
    load_design(path.toStdString());
}

void Tlevmain::idm_saveClick() {
    if (design.segment_count < 1) return;
    design.file_name = "myfloor.pk1";
    save_design(design);
}

void Tlevmain::idm_saveasClick() {
    if (design.segment_count < 1) return;
    const QString path = choose_save_file(this, {"Save As", "Floor Layout |*.PK1", "PK1", savdlg_file_name_});
    if (path.isEmpty()) return;
    savdlg_file_name_ = path;
    design.file_name = path.toStdString();
    save_design(design);
}

void Tlevmain::load_design(const std::string& path) {
    design.segment_count = 0;
    design.outline_centre = {kNone, kNone};
    WaitCursor wait(*this);
    memo_clear();
    draw_grid(design);
    show_grid(design, *this);
    pump_messages();

    const std::vector<std::string> lines = read_design_lines(path);
    const std::string name = file_name_part(path);
    set_caption(QString::fromStdString("[" + name + "] Floor Plan"));
    design.file_name = name;
    apply_design_lines(design, lines);

    repaint_view(design, *this);
    pump_messages();
    repaint_view(design, *this);
    wait.restore();

    design.edit_mode = 2;
    enable_view_drawing(false);
    enable_layout(true);
    memo_clear();
    design.outline_centre = close_outline(design);
    flash_outline(design, *this);
    repaint_view(design, *this);
    draw_segment_dimensions(design, *this);
    draw_overall_dimensions(design, *this);
}

// ---- Edit menu -----------------------------------------------------------

void Tlevmain::English1Click() {
    Metric1->setChecked(false);
    English1->setChecked(true);
    design.unit_system = kEnglish;
    WaitCursor wait(*this);
    repaint_view(design, *this);
    wait.restore();
    draw_segment_dimensions(design, *this);
    draw_overall_dimensions(design, *this);
}

void Tlevmain::Metric1Click() {
    English1->setChecked(false);
    Metric1->setChecked(true);
    design.unit_system = kMetric;
    WaitCursor wait(*this);
    repaint_view(design, *this);
    wait.restore();
    draw_segment_dimensions(design, *this);
    draw_overall_dimensions(design, *this);
}

void Tlevmain::idm_materialClick() {
    {
        Tmaterialform f(design, this);
        f.exec();
    }
    pump_messages();
    repaint_view(design, *this);
}

void Tlevmain::idm_styleClick() {
    {
        Tstyleform f(design, this);
        f.exec();
    }
    pump_messages();
    derive_stagger(design.style);
    pump_messages();
    repaint_view(design, *this);
}

void Tlevmain::idm_layoutClick() { idm_layout_command(design, *this); }

void Tlevmain::idm_pricecalcClick() { idm_pricecalc_command(design, *this); }

// ---- Help menu -----------------------------------------------------------

void Tlevmain::open_help_page(const std::string& page) {
    const std::string path = help_page_path(design.program_dir, page);
    open_document(path);  // the result is not examined
    statusbar->showMessage(QString::fromStdString(path));
}

void Tlevmain::idm_helpClick() { open_help_page(help_page_for(design.file_name)); }

void Tlevmain::idm_aboutClick() {
    show_about_box();
    pump_messages();
    WaitCursor wait(*this);
    repaint_view(design, *this);
    draw_segment_dimensions(design, *this);
    draw_overall_dimensions(design, *this);
}

// ---- ViewHost / LayoutHost -----------------------------------------------

Bitmap& Tlevmain::panel_surface() { return placedisplay->surface(); }
void Tlevmain::panel_changed() { placedisplay->update(); }
int Tlevmain::scroll_x() const { return xscroll->value(); }
int Tlevmain::scroll_y() const { return yscroll->value(); }

void Tlevmain::set_scroll_max(int x_max, int y_max) {
    xscroll->setMaximum(x_max);
    yscroll->setMaximum(y_max);
}

void Tlevmain::pump_messages() { QCoreApplication::processEvents(); }

void Tlevmain::set_wait_cursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++wait_depth_;
    } else if (wait_depth_ > 0 && QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
        --wait_depth_;
    }
}

void Tlevmain::show_dimlabel(bool visible) {
    place_dimlabel();
    dimlabel->setVisible(visible);
}

void Tlevmain::set_dimlabel_text(const std::string& text) { dimlabel->setText(QString::fromStdString(text)); }
void Tlevmain::enable_layout(bool enabled) { idm_layout->setEnabled(enabled); }

void Tlevmain::set_status_text(const std::string& text) {
    statusbar->showMessage(QString::fromStdString(text));
    statusbar->repaint();
    pump_messages();
}

void Tlevmain::memo_clear() { Memo1->clear(); }
void Tlevmain::memo_add(const std::string& line) { Memo1->appendPlainText(QString::fromStdString(line)); }
void Tlevmain::show_memo(bool visible) { Memo1->setVisible(visible); }
int Tlevmain::progress() const { return progress1->value(); }
void Tlevmain::set_progress(int position) { progress1->setValue(position); }
void Tlevmain::show_progress(bool visible) { progress1->setVisible(visible); }
void Tlevmain::enable_view_drawing(bool enabled) { idm_pricecalc->setEnabled(enabled); }

}  // namespace plk
