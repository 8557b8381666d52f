// Runs the dialog tests on the offscreen platform with an application whose
// default error handler records the messages instead of showing a box.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/dialogs/test_app.h"

namespace {

std::vector<std::string> g_reported;

class RecordingApp : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const plk::AppError& e) {
            g_reported.push_back(e.what());
            return false;
        }
    }
};

}  // namespace

std::vector<std::string>& reported_errors() { return g_reported; }

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    RecordingApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
