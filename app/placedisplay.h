#pragma once
// The drawing panel. It owns a surface bitmap at its own size: that surface is
// the panel's "window device context" that the editor and layout code draw on.
// The paint event only shows the surface; mouse events are handed on as plain
// calls.
#include <QWidget>
#include <functional>

#include "editor/outline_editor.h"
#include "platform/bitmap.h"

namespace plk {

class Placedisplay : public QWidget {
    Q_OBJECT
public:
    explicit Placedisplay(QWidget* parent = nullptr);

    // The surface, resized (white) first when the widget's size has changed.
    Bitmap& surface();

    std::function<void(MouseButton, int, int)> on_mouse_down;
    std::function<void(int, int)> on_mouse_move;
    std::function<void()> on_resized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void press(QMouseEvent* event);
    Bitmap surface_;
};

}  // namespace plk
