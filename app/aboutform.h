#pragma once
// The about box: name, tag line, the maker's logo and web link, contact block
// and an OK button. The link turns red while the mouse is over it or the logo.
#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace plk {

class Taboutform : public QDialog {
    Q_OBJECT
public:
    // open_link opens a web address (the desktop's default handler).
    explicit Taboutform(QWidget* owner, std::function<bool(const std::string&)> open_link);

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label10 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void set_link_colour(bool hot);
    std::function<bool(const std::string&)> open_link_;
};

}  // namespace plk
