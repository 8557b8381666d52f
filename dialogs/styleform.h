#pragma once
// The "Styles" dialog: how rows of boards are staggered (three pictures to
// click) and whether the layout allows for the saw cut ("Kerf"). Created
// fresh for each use and shown modally; OK is the only way out.
#include <QDialog>

#include "app/design_state.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace plk {
class PictureBox;
class ShapeBox;
}  // namespace plk

class Tstyleform : public QDialog {
    Q_OBJECT
public:
    Tstyleform(plk::DesignState& design, QWidget* owner);

    void FormActivate();  // frame over the current style, "Kerf" from the design
    void Image1Click();   // style 0, joints in line
    void Image2Click();   // style 1, half a board
    void Image3Click();   // style 2, thirds
    void BitBtn1Click();  // OK: store "Kerf" and close

    // Escape and the window's close request do nothing: OK is the only way out.
    void reject() override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    plk::PictureBox* Image1 = nullptr;
    plk::PictureBox* Image2 = nullptr;
    plk::PictureBox* Image3 = nullptr;
    plk::ShapeBox* Shape1 = nullptr;  // red frame over the chosen style
    QCheckBox* kerfcheck = nullptr;
    QLabel* Label7 = nullptr;
    plk::PictureBox* Image5 = nullptr;  // board from end A to end C
    plk::PictureBox* Image4 = nullptr;  // saw blade B
    QPushButton* BitBtn1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Moves the frame over the picture of the current style; any other
    // style leaves it where it is.
    void move_frame();

    plk::DesignState& design_;
    bool activated_ = false;
};
