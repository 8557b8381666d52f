#pragma once
// The main window: menus, header strip, the drawing panel with its scroll
// bars, and the status bar. It holds the one design and forwards every event
// to plain code in editor/ and layout/ (it is their LayoutHost).
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <string>

#include "app/design_state.h"
#include "editor/outline_editor.h"
#include "layout/layout_host.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QScrollBar;
class QStatusBar;
class QTabBar;
class QTimer;

namespace plk {

class Placedisplay;

class Tlevmain : public QMainWindow, public LayoutHost {
    Q_OBJECT
public:
    // args: the command-line parameters after the program name.
    explicit Tlevmain(const QStringList& args = {}, QWidget* parent = nullptr);
    ~Tlevmain() override;

    DesignState design;
    int first_activation = 1;
    QStringList tab_names;

    // The text the task bar would show (kept apart from Qt's display name,
    // which Qt would append to every window title).
    QString application_title() const { return application_title_; }

    // Seams for dialogs and the desktop. Each returns the chosen path, or an
    // empty text when the user cancels.
    struct FileRequest {
        QString caption;
        QString filter;
        QString default_suffix;
        QString initial_name;
    };
    std::function<QString(QWidget*, const FileRequest&)> choose_open_file;
    std::function<QString(QWidget*, const FileRequest&)> choose_save_file;
    // Opens a document or web address with the desktop's default handler.
    std::function<bool(const std::string&)> open_document;
    // Shows the about box modally (tests replace it to look at the box).
    std::function<void()> show_about_box;

    // Visible controls, named as the user knows them.
    QAction* idm_new = nullptr;
    QAction* idm_open = nullptr;
    QAction* idm_save = nullptr;
    QAction* idm_saveas = nullptr;
    QAction* English1 = nullptr;
    QAction* Metric1 = nullptr;
    QAction* blah = nullptr;
    QAction* idm_material = nullptr;
    QAction* idm_style = nullptr;
    QAction* idm_layout = nullptr;
    QAction* idm_pricecalc = nullptr;
    QAction* idm_help = nullptr;
    QAction* idm_about = nullptr;
    QFrame* Panel6 = nullptr;
    QLabel* Image2 = nullptr;
    QTabBar* modecontrol = nullptr;
    QLabel* Label74 = nullptr;
    Placedisplay* placedisplay = nullptr;
    QLabel* dimlabel = nullptr;
    QScrollBar* xscroll = nullptr;
    QScrollBar* yscroll = nullptr;
    QStatusBar* statusbar = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QProgressBar* progress1 = nullptr;
    QTimer* Timer3 = nullptr;
    OutlineEditor editor{design, *this};

    // Commands of the menus.
    void idm_newClick();
    void idm_openClick();
    void idm_saveClick();
    void idm_saveasClick();
    void English1Click();
    void Metric1Click();
    void idm_materialClick();
    void idm_styleClick();
    void idm_layoutClick();
    void idm_pricecalcClick();
    void idm_helpClick();
    void idm_aboutClick();

    // Reads a design file into the design and refreshes the window.
    void load_design(const std::string& path);
    void open_help_page(const std::string& page);
    void set_caption(const QString& caption);

    // Window-level handlers (see the event map in levmain.cpp).
    void FormActivate();
    void FormPaint();
    void FormResize();
    void Timer3Timer();
    void system_command_hook();

    // ViewHost / LayoutHost.
    Bitmap& panel_surface() override;
    void panel_changed() override;
    int scroll_x() const override;
    int scroll_y() const override;
    void set_scroll_max(int x_max, int y_max) override;
    void pump_messages() override;
    void set_wait_cursor(bool on) override;
    void show_dimlabel(bool visible) override;
    void set_dimlabel_text(const std::string& text) override;
    void enable_layout(bool enabled) override;
    void set_status_text(const std::string& text) override;
    void memo_clear() override;
    void memo_add(const std::string& line) override;
    void show_memo(bool visible) override;
    int progress() const override;
    void set_progress(int position) override;
    void show_progress(bool visible) override;
    void enable_view_drawing(bool enabled) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menus();
    void build_controls();
    void place_logo();
    void place_dimlabel();
    void schedule_activate();
    void on_application_state(Qt::ApplicationState state);

    QStringList args_;
    QString application_title_;
    QString savdlg_file_name_ = "myfloor.PK1";
    std::string canvas_error_;
    bool activate_pending_ = false;
    // Maximising at first activation: its resize is still a first one.
    bool maximise_pending_ = false;
    bool programmatic_state_change_ = false;
    int wait_depth_ = 0;
};

}  // namespace plk
