#pragma once
// Small widgets and helpers shared by the material and style dialogs: fixed
// pictures, clickable pictures, outlined and filled shapes, and the way a
// handler's error reaches the application's message box.
#include <QDialog>
#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace plk {

// A picture shown at its own size from the widget's top-left corner (no
// stretching unless asked for). Emits pressed() for any mouse button and
// clicked() for a left press and release inside the widget.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QImage& image, QWidget* parent, bool stretch = false);
    const QImage& image() const { return image_; }
    void set_image(const QImage& image);

signals:
    void pressed(Qt::MouseButton button, QPoint pos);
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage image_;
    bool stretch_ = false;
    bool left_down_ = false;
};

// A rectangle shape: an optional brush fill and a pen drawn inside the
// widget's edge. With no fill the shape is a frame.
class ShapeBox : public QWidget {
    Q_OBJECT
public:
    ShapeBox(QWidget* parent, QColor pen, int pen_width, QColor fill = QColor());
    QColor pen_color() const { return pen_; }
    int pen_width() const { return pen_width_; }
    bool filled() const { return fill_.isValid(); }

signals:
    void pressed(Qt::MouseButton button, QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QColor pen_;
    int pen_width_;
    QColor fill_;
};

// Makes a dialog the way both forms are shown: title without buttons, fixed
// client size, application-modal.
void make_fixed_dialog(QDialog* dialog, const QString& caption, int width, int height);

// Runs a handler from a control's signal. Its error is handed to the
// application's default handler from the event loop (an event on the
// application object), so it never unwinds through the toolkit's own frames
// and still arrives when the dialog has been closed and destroyed meanwhile.
void run_handler(const std::function<void()>& handler);

// Child helpers that set the object name, geometry and text in one go.
QLabel* make_label(QWidget* parent, const char* name, const QString& text, int left, int top);
QLineEdit* make_edit(QWidget* parent, const char* name, int left, int top, int width);
QPushButton* make_button(QWidget* parent, const char* name, const QString& text, int left,
                         int top, int width, int height);

// The pictures of the dialogs, drawn in code.
QImage board_picture(int width, int height);       // a laminate board, ends A and C
QImage coins_picture(int width, int height);       // a small stack of coins
QImage floor_pattern(int style, int width, int height);  // rows staggered 0, 1/2, 1/3
QImage saw_blade_picture(int width, int height);   // a circular saw blade (transparent)

// The samples picture: the sample sheet file read as it is (its pixels from
// the top-left corner, cut or padded white to width x height). When the file
// cannot be read, numbered placeholder cells of cell_w x cell_h, four to a row.
QImage sample_sheet_picture(const std::string& path, int width, int height, int cell_w,
                            int cell_h);

}  // namespace plk
