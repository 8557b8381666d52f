// quartel: the floor planner. Arguments that need no window (--version,
// --help, --layout ...) are handled headless; anything else opens the window,
// with an optional design file named on the command line.
#include <QStringList>
#include <exception>

#include "app/application.h"
#include "app/cli.h"
#include "app/levmain.h"
#include "platform/numfmt.h"

int main(int argc, char** argv) {
    const int status = plk::run_cli(argc, argv);
    if (status >= 0) return status;

    // The window's own copy of the parameters, taken before Qt removes the
    // options it knows.
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);

    plk::Application app(argc, argv);
    plk::init_regional_settings();
    try {
        plk::Tlevmain window(args);
        window.show();
        // Without a window manager a shown window is not activated by itself.
        window.activateWindow();
        return app.exec();
    } catch (const std::exception& e) {
        // An error that escapes the window ends the program with its message.
        plk::Application::show_error(e.what());
        return 1;
    }
}
