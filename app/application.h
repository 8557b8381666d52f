#pragma once
// The application object. Its notify override is the program's default error
// handler: an AppError (or any other std::exception) that escapes an event
// handler is shown with its exact text in a message box, and the event loop
// goes on. The operation that failed stops where it failed; what it changed
// stays changed.
#include <QApplication>
#include <functional>
#include <string>

namespace plk {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error text the way the default handler does (also used for
    // reports of the window itself, such as a missing canvas picture).
    static void show_error(const std::string& text);
    // Runs fn; an exception it throws goes to show_error. Command handlers run
    // through this so that no exception has to unwind through Qt's own frames.
    static void guarded(const std::function<void()>& fn);

    // Replaces the message box (tests record the texts instead). Empty
    // restores the message box.
    static void set_message_hook(std::function<void(const std::string&)> hook);
};

}  // namespace plk
