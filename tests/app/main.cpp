// Runs the window tests on the offscreen platform with the program's own
// application object; its error messages are recorded instead of shown.
#include <gtest/gtest.h>

#include <QtGlobal>

#include "app/application.h"
#include "tests/app/window_fixture.h"

std::vector<std::string>& reported_messages() {
    static std::vector<std::string> messages;
    return messages;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    plk::Application app(argc, argv);
    plk::Application::set_message_hook([](const std::string& text) { reported_messages().push_back(text); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
