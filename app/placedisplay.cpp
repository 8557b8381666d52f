#include "app/placedisplay.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/application.h"

namespace plk {

Placedisplay::Placedisplay(QWidget* parent) : QWidget(parent) {
    setObjectName("placedisplay");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Bitmap& Placedisplay::surface() {
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (surface_.width() != w || surface_.height() != h) surface_ = Bitmap(w, h, 32);
    return surface_;
}

void Placedisplay::paintEvent(QPaintEvent*) {
    Bitmap& s = surface();
    // 32-bit rows hold B, G, R, 0: the byte order of QImage::Format_RGB32.
    const QImage image(s.bits().data(), s.width(), s.height(), s.stride(), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

void Placedisplay::resizeEvent(QResizeEvent*) {
    surface();
    if (on_resized) on_resized();
}

void Placedisplay::press(QMouseEvent* event) {
    MouseButton b = MouseButton::Middle;
    if (event->button() == Qt::LeftButton)
        b = MouseButton::Left;
    else if (event->button() == Qt::RightButton)
        b = MouseButton::Right;
    const QPoint p = event->position().toPoint();
    if (on_mouse_down) Application::guarded([&] { on_mouse_down(b, p.x(), p.y()); });
}

void Placedisplay::mousePressEvent(QMouseEvent* event) { press(event); }

// Qt delivers the second click of a double click as a press before this
// event, so the double click itself adds nothing.
void Placedisplay::mouseDoubleClickEvent(QMouseEvent*) {}

void Placedisplay::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (on_mouse_move) Application::guarded([&] { on_mouse_move(p.x(), p.y()); });
}

// Releasing a button does nothing.
void Placedisplay::mouseReleaseEvent(QMouseEvent*) {}

}  // namespace plk
