#include "app/application.h"

#include <QCursor>
#include <QMessageBox>
#include <exception>

#include "platform/error.h"

namespace plk {

namespace {
std::function<void(const std::string&)>& message_hook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}
}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::set_message_hook(std::function<void(const std::string&)> hook) {
    message_hook() = std::move(hook);
}

void Application::show_error(const std::string& text) {
    // A failed operation may have left the hourglass on.
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    if (message_hook()) {
        message_hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void Application::guarded(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        show_error(e.what());
    }
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        show_error(e.what());
        return false;
    }
}

}  // namespace plk
