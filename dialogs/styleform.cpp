#include "dialogs/styleform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "dialogs/dialog_widgets.h"

namespace {

QFont arial_bold(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

QLabel* coloured_label(QWidget* parent, const char* name, const QString& text, int left,
                       int top, const QColor& colour) {
    QLabel* label = plk::make_label(parent, name, text, left, top);
    label->setFont(arial_bold(12));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->adjustSize();
    return label;
}

}  // namespace

Tstyleform::Tstyleform(plk::DesignState& design, QWidget* owner)
    : QDialog(owner), design_(design) {
    setObjectName(QStringLiteral("styleform"));
    plk::make_fixed_dialog(this, QStringLiteral("Styles"), 322, 356);

    Label1 = plk::make_label(this, "Label1", QStringLiteral("0"), 68, 6);
    Label2 = plk::make_label(this, "Label2", QStringLiteral("1/2"), 154, 6);
    Label3 = plk::make_label(this, "Label3", QStringLiteral("1/3"), 246, 6);
    for (QLabel* l : {Label1, Label2, Label3}) {
        l->setFont(arial_bold(13));
        l->adjustSize();
    }

    plk::PictureBox** pictures[] = {&Image1, &Image2, &Image3};
    const int lefts[] = {32, 124, 216};
    for (int i = 0; i < 3; ++i) {
        auto* box = new plk::PictureBox(plk::floor_pattern(i, 80, 45), this);
        box->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        box->setGeometry(lefts[i], 28, 80, 45);
        box->setCursor(Qt::PointingHandCursor);
        *pictures[i] = box;
    }
    // The frame lets clicks through to the picture under it.
    Shape1 = new plk::ShapeBox(this, Qt::red, 2);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(32, 28, 80, 45);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    kerfcheck = new QCheckBox(QStringLiteral("Kerf"), this);
    kerfcheck->setObjectName(QStringLiteral("kerfcheck"));
    kerfcheck->setGeometry(36, 120, 57, 17);
    kerfcheck->setFont(arial_bold(12));
    Label7 = plk::make_label(this, "Label7", QStringLiteral("L = AC - B"), 110, 120);
    Label7->setFont(arial_bold(12));
    Label7->adjustSize();

    Image5 = new plk::PictureBox(plk::board_picture(251, 60), this);
    Image5->setObjectName(QStringLiteral("Image5"));
    Image5->setGeometry(36, 146, 251, 60);
    coloured_label(this, "Label4", QStringLiteral("A"), 46, 150, Qt::yellow);
    coloured_label(this, "Label5", QStringLiteral("C"), 236, 150, Qt::yellow);
    Image4 = new plk::PictureBox(plk::saw_blade_picture(83, 85), this, true);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(148, 186, 83, 85);
    coloured_label(this, "Label6", QStringLiteral("B ="), 126, 218, Qt::red);

    BitBtn1 = plk::make_button(this, "BitBtn1", QStringLiteral("OK"), 103, 282, 107, 57);
    BitBtn1->setDefault(true);
    setTabOrder(BitBtn1, kerfcheck);

    connect(Image1, &plk::PictureBox::clicked, this, [this] { Image1Click(); });
    connect(Image2, &plk::PictureBox::clicked, this, [this] { Image2Click(); });
    connect(Image3, &plk::PictureBox::clicked, this, [this] { Image3Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { plk::run_handler([this] { BitBtn1Click(); }); });
}

void Tstyleform::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (activated_) return;
    activated_ = true;
    FormActivate();
}

void Tstyleform::reject() {}

void Tstyleform::FormActivate() {
    move_frame();
    kerfcheck->setChecked(design_.style.kerf != 0);
}

void Tstyleform::Image1Click() {
    design_.style.stagger_style = 0;
    move_frame();
}

void Tstyleform::Image2Click() {
    design_.style.stagger_style = 1;
    move_frame();
}

void Tstyleform::Image3Click() {
    design_.style.stagger_style = 2;
    move_frame();
}

void Tstyleform::BitBtn1Click() {
    design_.style.kerf = kerfcheck->isChecked() ? 1 : 0;
    done(QDialog::Accepted);
}

void Tstyleform::move_frame() {
    const plk::PictureBox* pictures[] = {Image1, Image2, Image3};
    const int style = design_.style.stagger_style;
    if (style < 0 || style > 2) return;
    Shape1->move(pictures[style]->pos());
}
