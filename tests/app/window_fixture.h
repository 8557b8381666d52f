#pragma once
// A main window in a scratch working directory that holds the program's
// support files; the desktop and the file dialogs are replaced by recorders.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/levmain.h"
#include "app/placedisplay.h"
#include "tests/editor/fake_view_host.h"

// Texts the application's default handler received, in order.
std::vector<std::string>& reported_messages();

namespace plk {

namespace fs = std::filesystem;

inline void settle(int rounds = 3) {
    for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents();
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_dir_ = fs::current_path();
        char pattern[] = "/tmp/plk_window_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        for (const char* name : {"quartel.dll", "logo.bmp", "lcolours.qvp", "lcolorT.qvp", "defcube5.pic"})
            if (fs::exists(fs::path(PLK_BIN_DIR) / name) && !skip_support_file(name))
                fs::copy_file(fs::path(PLK_BIN_DIR) / name, dir_ / name);
        fs::current_path(dir_);
        reported_messages().clear();
    }

    void TearDown() override {
        w.reset();
        settle();
        fs::current_path(old_dir_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // A support file the test wants missing.
    virtual bool skip_support_file(const std::string&) const { return false; }

    // Creates, shows and activates the window and waits for its first
    // activation to have run.
    Tlevmain& start(const QStringList& args = {}) {
        w = std::make_unique<Tlevmain>(args);
        w->open_document = [this](const std::string& target) {
            opened.push_back(target);
            return true;
        };
        w->choose_open_file = [this](QWidget*, const Tlevmain::FileRequest& r) {
            open_requests.push_back(r);
            return next_open;
        };
        w->choose_save_file = [this](QWidget*, const Tlevmain::FileRequest& r) {
            save_requests.push_back(r);
            return next_save;
        };
        w->show();
        w->activateWindow();
        QElapsedTimer t;
        t.start();
        while (w->first_activation != 0 && t.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QTest::qWait(10);
        }
        EXPECT_EQ(w->first_activation, 0) << "the window was not activated";
        settle();
        return *w;
    }

    Bitmap& panel() { return w->placedisplay->surface(); }

    void move_to(int x, int y) {
        QTest::mouseMove(w->windowHandle(), w->placedisplay->mapTo(w.get(), QPoint(x, y)));
        settle(1);
    }
    void click(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        move_to(x, y);
        QTest::mouseClick(w->placedisplay, b, {}, QPoint(x, y));
        settle(1);
    }
    void draw_rectangle() {
        for (const QPoint p : {QPoint(30, 60), QPoint(120, 60), QPoint(120, 120), QPoint(30, 120), QPoint(30, 60)})
            click(p.x(), p.y());
        click(30, 60);
    }

    fs::path file(const std::string& name) const { return dir_ / name; }
    void write_file(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    std::string read_text(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::unique_ptr<Tlevmain> w;
    std::vector<std::string> opened;
    std::vector<Tlevmain::FileRequest> open_requests;
    std::vector<Tlevmain::FileRequest> save_requests;
    QString next_open;
    QString next_save;
    fs::path dir_;
    fs::path old_dir_;
};

// The 10 x 8 foot rectangle from (30, 30) with the default material.
inline const char* kRectangleDesign =
    "UNIFORMAT\r\n[PK]\r\n0.083334,3,1\r\n[ENDSEC]\r\n[OUTLINE]\r\n[x1/y1/x2/y2]\r\n"
    "30,30,390,30\r\n390,30,390,318\r\n390,318,30,318\r\n30,318,30,30\r\n[ENDSEC]\r\n"
    "[CONSUMER]\r\n47.6377,7.5984,8,23.55,7.5,22,1\r\n[ENDSEC]\r\n";

}  // namespace plk
