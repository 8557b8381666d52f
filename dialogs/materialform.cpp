#include "dialogs/materialform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "dialogs/dialog_widgets.h"
#include "platform/error.h"
#include "platform/numfmt.h"

using plk::AppError;

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kInchPerMm = 0.03937;  // the product's own factor, not 1/25.4
constexpr int kSquareSide = 90;         // 3.0 m at 30 pixels per metre

std::string text_of(const QLineEdit* edit) { return edit->text().toStdString(); }
double read_float(const QLineEdit* edit) { return plk::parse_float_regional(text_of(edit)); }
int read_int(const QLineEdit* edit) { return plk::parse_int(text_of(edit)); }
void write(QLineEdit* edit, const std::string& text) { edit->setText(QString::fromStdString(text)); }

// A product too large for a double is an error, as the platform's arithmetic
// would report it, rather than a text like "inf" in a field.
double checked_finite(double v) {
    if (!std::isfinite(v)) throw AppError("Floating point overflow");
    return v;
}

// Division as the platform reports it: by zero an error, 0 / 0 an invalid
// operation.
double divide(double num, double den) {
    if (den == 0) {
        if (num == 0 || std::isnan(num)) throw AppError("Invalid floating point operation");
        throw AppError("Floating point division by zero");
    }
    return checked_finite(num / den);
}

}  // namespace

Tmaterialform::Tmaterialform(plk::DesignState& design, QWidget* owner)
    : QDialog(owner), design_(design) {
    setObjectName(QStringLiteral("materialform"));
    plk::make_fixed_dialog(this, QStringLiteral("Material"), 702, 437);

    using plk::make_button;
    using plk::make_edit;
    using plk::make_label;

    Image1 = new plk::PictureBox(plk::board_picture(251, 60), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 24, 251, 60);

    Edit1 = make_edit(this, "Edit1", 60, 92, 55);
    make_label(this, "Label1", QStringLiteral("In"), 120, 94);
    Edit3 = make_edit(this, "Edit3", 142, 92, 55);
    make_label(this, "Label2", QStringLiteral("mm"), 200, 94);
    Edit2 = make_edit(this, "Edit2", 268, 28, 53);
    make_label(this, "Label3", QStringLiteral("In"), 324, 32);
    Edit4 = make_edit(this, "Edit4", 268, 54, 51);
    make_label(this, "Label4", QStringLiteral("mm"), 324, 58);
    BitBtn3 = make_button(this, "BitBtn3", QStringLiteral("Inch -> mm"), 268, 96, 65, 23);
    BitBtn2 = make_button(this, "BitBtn2", QStringLiteral("Inch <- mm"), 268, 122, 65, 23);

    Image2 = new plk::PictureBox(plk::coins_picture(55, 45), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(10, 150, 55, 45);

    make_label(this, "Label5", QStringLiteral("Price / CTN"), 12, 198);
    Edit7 = make_edit(this, "Edit7", 12, 214, 59);
    Edit7->setText(QStringLiteral("23.55"));
    make_label(this, "Label6", QStringLiteral("="), 92, 218);
    Edit8 = make_edit(this, "Edit8", 106, 214, 125);
    Edit8->setReadOnly(true);

    make_label(this, "Label7", QStringLiteral("Units / CTN"), 12, 240);
    Edit5 = make_edit(this, "Edit5", 12, 256, 59);
    Edit5->setText(QStringLiteral("8"));
    make_label(this, "Label8", QStringLiteral("Area:"), 106, 240);
    make_label(this, "Label9", QStringLiteral("="), 92, 260);
    Edit6 = make_edit(this, "Edit6", 106, 256, 125);
    Edit6->setReadOnly(true);

    make_label(this, "Label10", QStringLiteral("Tax / VAT%"), 12, 286);
    Edit9 = make_edit(this, "Edit9", 12, 302, 59);
    Edit9->setText(QStringLiteral("7.5"));
    BitBtn4 = make_button(this, "BitBtn4", QStringLiteral(">> Calc"), 106, 290, 125, 33);

    make_label(this, "Label12", QStringLiteral("<-- 3.0 M / 9' 10\" -->"), 252, 198);
    Shape1 = new plk::ShapeBox(this, Qt::black, 1, Qt::white);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(252, 214, kSquareSide, kSquareSide);
    Shape2 = new plk::ShapeBox(this, Qt::black, 1, QColor(160, 160, 160));
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(252, 214, 5, kSquareSide);

    BitBtn1 = make_button(this, "BitBtn1", QStringLiteral("OK"), 240, 366, 107, 57);
    BitBtn1->setDefault(true);

    Label11 = make_label(this, "Label11", QStringLiteral("Samples:"), 378, 0);
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(13);
    bold.setBold(true);
    Label11->setFont(bold);
    Label11->adjustSize();

    const int sheet_w = kColumns * kCellWidth;  // 312
    const int sheet_h = 9 * kCellHeight;        // 405
    cimage = new plk::PictureBox(
        plk::sample_sheet_picture("lcolours.qvp", sheet_w, sheet_h, kCellWidth, kCellHeight),
        this);
    cimage->setObjectName(QStringLiteral("cimage"));
    cimage->setGeometry(378, 18, sheet_w, sheet_h);

    sbox = new plk::ShapeBox(this, Qt::red, 3);
    sbox->setObjectName(QStringLiteral("sbox"));
    sbox->setGeometry(378, 18, kCellWidth, kCellHeight);
    sbox->setCursor(Qt::PointingHandCursor);

    setTabOrder(Edit1, Edit3);
    setTabOrder(Edit3, Edit2);
    setTabOrder(Edit2, Edit4);
    setTabOrder(Edit4, BitBtn3);
    setTabOrder(BitBtn3, BitBtn2);
    setTabOrder(BitBtn2, Edit7);
    setTabOrder(Edit7, Edit5);
    setTabOrder(Edit5, Edit9);
    setTabOrder(Edit9, BitBtn4);
    setTabOrder(BitBtn4, BitBtn1);
    setTabOrder(BitBtn1, Edit8);
    setTabOrder(Edit8, Edit6);

    connect(BitBtn3, &QPushButton::clicked, this, [this] { plk::run_handler([this] { BitBtn3Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { plk::run_handler([this] { BitBtn2Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { plk::run_handler([this] { BitBtn4Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { plk::run_handler([this] { BitBtn1Click(); }); });
    connect(cimage, &plk::PictureBox::pressed, this, [this](Qt::MouseButton b, QPoint p) {
        cimageMouseDown(b, p.x(), p.y());
    });
    // A press on the frame picks the sample under it, as on the picture.
    connect(sbox, &plk::ShapeBox::pressed, this, [this](Qt::MouseButton b, QPoint p) {
        const QPoint at = sbox->mapTo(this, p) - cimage->pos();
        if (cimage->rect().contains(at)) cimageMouseDown(b, at.x(), at.y());
    });

    // Centred on the screen.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
}

void Tmaterialform::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (activated_) return;
    activated_ = true;
    // The dialog opens even when filling or calculating fails; the error is
    // reported once the dialog is up.
    plk::run_handler([this] { FormActivate(); });
}

void Tmaterialform::reject() {}

void Tmaterialform::FormActivate() {
    const plk::MaterialSpec& m = design_.material;
    write(Edit1, plk::format_general(m.board_length));
    write(Edit2, plk::format_general(m.board_width));
    write(Edit3, plk::format_fixed(checked_finite(m.board_length * kMmPerInch), 0));
    write(Edit4, plk::format_fixed(checked_finite(m.board_width * kMmPerInch), 0));
    Edit5->setText(QString::number(m.units_per_carton));
    write(Edit7, plk::format_general(m.price_per_carton));
    write(Edit9, plk::format_general(m.tax_percent));
    place_frame(m.sample_index);
    BitBtn4Click();
}

void Tmaterialform::BitBtn3Click() {
    const double length = read_float(Edit1);
    const double width = read_float(Edit2);
    write(Edit3, plk::format_fixed(checked_finite(length * kMmPerInch), 0));
    write(Edit4, plk::format_fixed(checked_finite(width * kMmPerInch), 0));
}

void Tmaterialform::BitBtn2Click() {
    const double length = read_float(Edit3);
    const double width = read_float(Edit4);
    write(Edit1, plk::format_fixed(checked_finite(length * kInchPerMm), 4));
    write(Edit2, plk::format_fixed(checked_finite(width * kInchPerMm), 4));
}

void Tmaterialform::BitBtn4Click() {
    const double length_in = read_float(Edit1);
    const double width_in = read_float(Edit2);
    const double length_mm = read_float(Edit3);
    const double width_mm = read_float(Edit4);
    const int units = read_int(Edit5);

    // Square feet from the inch fields, square metres from the millimetre
    // fields: they disagree when the two pairs of fields do.
    const double area_sqft = checked_finite(length_in * width_in * units / 144);
    const double area_m2 = checked_finite(length_mm * width_mm * units * 0.000001);
    write(Edit6, plk::format_fixed(area_sqft, 2) + " sq ft  " + plk::format_fixed(area_m2, 3) +
                     " m2");

    const double price = read_float(Edit7);
    const double per_sqft = divide(price, area_sqft);
    const double per_m2 = divide(price, area_m2);
    write(Edit8, plk::format_money(per_sqft) + " sq ft  " + plk::format_money(per_m2) + " m2");

    // One pixel of bar per 0.1 m2, up to the square's width. A negative
    // area (negative sizes are stored as typed) shows no bar.
    const double tenths = std::trunc(area_m2 * 10);
    const int bar = tenths > kSquareSide ? kSquareSide : std::max(0, static_cast<int>(tenths));
    Shape2->setGeometry(Shape1->x(), Shape1->y(), bar, Shape1->height());
}

void Tmaterialform::BitBtn1Click() {
    // The dialog closes even when a field below does not hold a number.
    done(QDialog::Accepted);
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty()) return;
    plk::MaterialSpec& m = design_.material;
    m.board_length = read_float(Edit1);
    m.board_width = read_float(Edit2);
    m.units_per_carton = read_int(Edit5);
    m.price_per_carton = read_float(Edit7);
    m.tax_percent = read_float(Edit9);
}

void Tmaterialform::cimageMouseDown(Qt::MouseButton, int x, int y) {
    if (x < 0 || y < 0) return;
    const int column = x / kCellWidth;
    const int row = y / kCellHeight;
    design_.material.sample_index = column + kColumns * row + 1;
    sbox->move(cimage->x() + kCellWidth * column, cimage->y() + kCellHeight * row);
}

void Tmaterialform::place_frame(long long n) {
    // 64-bit so that any index a design file can hold gives a position
    // without overflow; far-off positions are held within the widget range
    // (the frame is outside the picture either way).
    const long long row = (n - 1) >= 0 ? (n - 1) / kColumns : -((kColumns - n) / kColumns);
    const long long column = (n - 1) - kColumns * row;
    const auto clamp = [](long long v) { return static_cast<int>(std::clamp(v, -100000LL, 100000LL)); };
    sbox->move(clamp(cimage->x() + kCellWidth * column), clamp(cimage->y() + kCellHeight * row));
}
