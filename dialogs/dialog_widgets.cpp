#include "dialogs/dialog_widgets.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <cmath>

#include "platform/bmp.h"
#include "platform/error.h"

namespace plk {

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(const QImage& image, QWidget* parent, bool stretch)
    : QWidget(parent), image_(image), stretch_(stretch) {}

void PictureBox::set_image(const QImage& image) {
    image_ = image;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (stretch_)
        p.drawImage(rect(), image_);
    else
        p.drawImage(0, 0, image_);
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) left_down_ = true;
    emit pressed(e->button(), e->position().toPoint());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const bool was_down = left_down_;
    left_down_ = false;
    if (was_down && rect().contains(e->position().toPoint())) emit clicked();
}

// ------------------------------------------------------------------ ShapeBox

ShapeBox::ShapeBox(QWidget* parent, QColor pen, int pen_width, QColor fill)
    : QWidget(parent), pen_(pen), pen_width_(pen_width), fill_(fill) {}

void ShapeBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0) return;
    if (fill_.isValid()) p.fillRect(rect(), fill_);
    // The pen lies inside the shape's bounds, so a frame never paints outside it.
    const int pw = std::min({pen_width_, (w + 1) / 2, (h + 1) / 2});
    if (pw <= 0) return;
    p.fillRect(0, 0, w, pw, pen_);
    p.fillRect(0, h - pw, w, pw, pen_);
    p.fillRect(0, 0, pw, h, pen_);
    p.fillRect(w - pw, 0, pw, h, pen_);
}

void ShapeBox::mousePressEvent(QMouseEvent* e) {
    emit pressed(e->button(), e->position().toPoint());
}

// ------------------------------------------------------------------- helpers

void make_fixed_dialog(QDialog* dialog, const QString& caption, int width, int height) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(width, height);
    dialog->setModal(true);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    dialog->setFont(font);
}

void run_handler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const AppError& e) {
        std::string text = e.what();
        QMetaObject::invokeMethod(
            qApp, [text] { throw AppError(text); }, Qt::QueuedConnection);
    }
}

QLabel* make_label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* make_edit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QPushButton* make_button(QWidget* parent, const char* name, const QString& text, int left,
                         int top, int width, int height) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    return button;
}

// ------------------------------------------------------------------ pictures

namespace {

const QColor kWood(206, 160, 104);
const QColor kWoodDark(150, 104, 60);
const QColor kJoint(70, 45, 25);

// Wavy grain lines across a board rectangle.
void draw_grain(QPainter& p, const QRectF& r, int lines, double phase) {
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(kWoodDark, 1));
    for (int i = 1; i <= lines; ++i) {
        const double y0 = r.top() + r.height() * i / (lines + 1);
        QPainterPath path;
        path.moveTo(r.left(), y0);
        for (double x = r.left(); x <= r.right(); x += 4)
            path.lineTo(x, y0 + 1.5 * std::sin((x + phase * 37 + i * 13) / 9.0));
        p.drawPath(path);
    }
    p.restore();
}

}  // namespace

QImage board_picture(int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double top = height * 0.15;
    const double h = height * 0.5;
    const double left = 8;
    const double right = width - 12;
    // Side face for a little depth.
    QPolygonF side;
    side << QPointF(left, top + h) << QPointF(right, top + h) << QPointF(right + 6, top + h - 5)
         << QPointF(right + 6, top - 5) << QPointF(right, top);
    p.setPen(Qt::NoPen);
    p.setBrush(kWoodDark);
    p.drawPolygon(side);
    QPolygonF lid;
    lid << QPointF(left, top) << QPointF(left + 6, top - 5) << QPointF(right + 6, top - 5)
        << QPointF(right, top);
    p.setBrush(kWood.lighter(115));
    p.drawPolygon(lid);
    const QRectF face(left, top, right - left, h);
    p.setBrush(kWood);
    p.drawRect(face);
    draw_grain(p, face, 4, 0);
    p.setPen(QPen(kJoint, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(face);
    return img;
}

QImage coins_picture(int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double rw = width * 0.36;
    const double rh = height * 0.16;
    struct Stack { double cx; int coins; };
    const Stack stacks[] = {{width * 0.32, 4}, {width * 0.66, 6}};
    for (const Stack& s : stacks) {
        for (int i = 0; i < s.coins; ++i) {
            const double cy = height - rh - 3 - i * 4.5;
            p.setPen(QPen(QColor(140, 100, 20), 1));
            p.setBrush(QColor(212, 170, 50));
            p.drawEllipse(QPointF(s.cx, cy + 2), rw / 2, rh / 2);
            p.setBrush(QColor(244, 204, 80));
            p.drawEllipse(QPointF(s.cx, cy), rw / 2, rh / 2);
        }
    }
    return img;
}

QImage floor_pattern(int style, int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(kWood);
    QPainter p(&img);
    const int rows = 5;
    const double row_h = static_cast<double>(height) / rows;
    const double board = width * 0.45;
    for (int r = 0; r < rows; ++r) {
        double offset = 0;
        if (style == 1) offset = (r % 2) ? board / 2 : 0;
        if (style == 2) offset = board * (r % 3) / 3.0;
        const QRectF row(0, r * row_h, width, row_h);
        p.fillRect(row, (r % 2) ? kWood : kWood.lighter(108));
        draw_grain(p, row, 1, r);
        p.setPen(QPen(kJoint, 1));
        p.drawLine(QPointF(0, row.top()), QPointF(width, row.top()));
        for (double x = width - offset; x > 0; x -= board)
            p.drawLine(QPointF(x, row.top()), QPointF(x, row.bottom()));
    }
    p.setPen(QPen(kJoint, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width - 1, height - 1);
    return img;
}

QImage saw_blade_picture(int width, int height) {
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width / 2.0, height / 2.0);
    const double outer = std::min(width, height) / 2.0 - 1;
    const double inner = outer * 0.84;
    const int teeth = 24;
    QPolygonF blade;
    for (int i = 0; i < teeth; ++i) {
        const double a0 = 2 * M_PI * i / teeth;
        const double a1 = 2 * M_PI * (i + 0.7) / teeth;
        blade << QPointF(c.x() + inner * std::cos(a0), c.y() + inner * std::sin(a0))
              << QPointF(c.x() + outer * std::cos(a1), c.y() + outer * std::sin(a1));
    }
    p.setPen(QPen(QColor(80, 80, 90), 1));
    p.setBrush(QColor(190, 194, 200));
    p.drawPolygon(blade);
    p.setBrush(QColor(160, 164, 172));
    p.drawEllipse(c, outer * 0.45, outer * 0.45);
    p.setBrush(Qt::white);
    p.drawEllipse(c, outer * 0.12, outer * 0.12);
    return img;
}

QImage sample_sheet_picture(const std::string& path, int width, int height, int cell_w,
                            int cell_h) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    try {
        const Bitmap sheet = read_bmp(path);
        const int w = std::min(width, sheet.width());
        const int h = std::min(height, sheet.height());
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const Color c = sheet.pixel(x, y);
                line[x] = qRgb(red_of(c), green_of(c), blue_of(c));
            }
        }
        return img;
    } catch (const AppError&) {
        // No sheet beside the program: numbered cells keep the picker usable.
    }
    QPainter p(&img);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    const int columns = 4;
    const int rows = (height + cell_h - 1) / cell_h;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int n = r * columns + c + 1;
            const QRect cell(c * cell_w, r * cell_h, cell_w, cell_h);
            const int shade = 120 + (n * 37) % 110;
            p.fillRect(cell, QColor(shade, shade * 3 / 4, shade / 2));
            p.setPen(QColor(60, 40, 20));
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.setPen(Qt::white);
            p.drawText(cell, Qt::AlignCenter, QString::number(n));
        }
    }
    return img;
}

}  // namespace plk
