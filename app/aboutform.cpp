#include "app/aboutform.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include "app/help.h"

namespace plk {

namespace {
QFont font_of(const char* family, int pixel_height, bool bold, bool underline = false) {
    QFont f(family);
    f.setPixelSize(pixel_height);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QRect& where,
                   const QFont& font, Qt::Alignment align) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(where);
    l->setFont(font);
    l->setAlignment(align);
    l->setMouseTracking(true);
    return l;
}
}  // namespace

Taboutform::Taboutform(QWidget* owner, std::function<bool(const std::string&)> open_link)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      open_link_(std::move(open_link)) {
    setObjectName("aboutform");
    setWindowTitle("About");
    setFixedSize(562, 315);
    setMouseTracking(true);

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    Label1 = make_label(this, "Label1", "Plankora", {0, 0, 562, 40}, font_of("Arial Black", 27, true), centred);
    Label3 = make_label(this, "Label3", "For Laminate Flooring Layout", {0, 40, 562, 20},
                        font_of("Arial", 13, true), centred);
    Label4 = make_label(this, "Label4", "Powered By", {0, 60, 562, 24}, font_of("Arial Black", 15, true), centred);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(206, 110, 147, 77);
    Image1->setPixmap(QPixmap("logo.bmp"));
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setMouseTracking(true);

    Label10 = make_label(this, "Label10", kMakerWebAddress, {220, 190, 320, 20},
                         font_of("Arial", 13, true, true), Qt::AlignLeft | Qt::AlignTop);
    Label10->setCursor(Qt::PointingHandCursor);
    set_link_colour(false);

    static constexpr const char* kContact[] = {"Plankora Software", "12 Joinery Lane", "Timberton TB1 2PK",
                                               "Tel. +1 555 0100", "Fax +1 555 0101"};
    int top = 96;
    for (const char* line : kContact) {
        make_label(this, "contact", line, {380, top, 180, 16}, font_of("Arial", 12, false),
                   Qt::AlignLeft | Qt::AlignTop);
        top += 16;
    }

    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(368, 224, 139, 57);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    for (QObject* o : children()) o->installEventFilter(this);
}

void Taboutform::set_link_colour(bool hot) {
    Label10->setStyleSheet(hot ? "color: rgb(255, 0, 0);" : "color: rgb(0, 0, 255);");
    Label10->setProperty("hot", hot);
}

bool Taboutform::eventFilter(QObject* watched, QEvent* event) {
    const bool on_link = watched == Label10 || watched == Image1;
    if (event->type() == QEvent::MouseMove && watched != this) {
        // Handled here: passed on, the move would reach the box itself.
        set_link_colour(on_link);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && on_link) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && open_link_) open_link_(kMakerWebAddress);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Taboutform::mouseMoveEvent(QMouseEvent* event) {
    set_link_colour(false);
    QDialog::mouseMoveEvent(event);
}

}  // namespace plk
