#pragma once
// The "Material" dialog: board size in inches with millimetre companions,
// boards and price per carton, tax, and the wood sample. Created fresh for
// each use and shown modally; OK is the only way out.
#include <QDialog>

#include "app/design_state.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace plk {
class PictureBox;
class ShapeBox;
}  // namespace plk

class Tmaterialform : public QDialog {
    Q_OBJECT
public:
    Tmaterialform(plk::DesignState& design, QWidget* owner);

    // Geometry of the samples picture: four cells to a row, nine rows.
    static constexpr int kCellWidth = 78;
    static constexpr int kCellHeight = 45;
    static constexpr int kColumns = 4;

    // Handlers. Each throws plk::AppError with the user's text when a field
    // does not hold a number or a division has no result; the control glue
    // hands that error to the application's message box.
    void FormActivate();    // fill the fields from the design, place the frame, calculate
    void BitBtn3Click();    // "Inch -> mm"
    void BitBtn2Click();    // "Inch <- mm"
    void BitBtn4Click();    // ">> Calc"
    void BitBtn1Click();    // OK: close, then store the fields
    void cimageMouseDown(Qt::MouseButton button, int x, int y);

    // Puts the red frame over sample n (1-based, row by row). An index
    // outside 1..36 puts it outside the picture.
    void place_frame(long long n);

    // Escape and the window's close request do nothing: OK is the only way out.
    void reject() override;

    QLabel* Label11 = nullptr;
    plk::PictureBox* Image1 = nullptr;
    plk::PictureBox* Image2 = nullptr;
    plk::PictureBox* cimage = nullptr;
    QLineEdit* Edit1 = nullptr;  // length, inches
    QLineEdit* Edit2 = nullptr;  // width, inches
    QLineEdit* Edit3 = nullptr;  // length, millimetres
    QLineEdit* Edit4 = nullptr;  // width, millimetres
    QLineEdit* Edit5 = nullptr;  // units per carton
    QLineEdit* Edit6 = nullptr;  // area per carton (read-only)
    QLineEdit* Edit7 = nullptr;  // price per carton
    QLineEdit* Edit8 = nullptr;  // price per area (read-only)
    QLineEdit* Edit9 = nullptr;  // tax percent
    QPushButton* BitBtn1 = nullptr;  // OK
    QPushButton* BitBtn2 = nullptr;  // Inch <- mm
    QPushButton* BitBtn3 = nullptr;  // Inch -> mm
    QPushButton* BitBtn4 = nullptr;  // >> Calc
    plk::ShapeBox* Shape1 = nullptr;  // coverage square, 3 m by 3 m
    plk::ShapeBox* Shape2 = nullptr;  // coverage bar
    plk::ShapeBox* sbox = nullptr;    // red frame over the chosen sample

protected:
    void showEvent(QShowEvent* e) override;

private:
    plk::DesignState& design_;
    bool activated_ = false;
};
