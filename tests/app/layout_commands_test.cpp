// The Edit menu's dialogs and layout commands driven from the window.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "dialogs/materialform.h"
#include "dialogs/styleform.h"
#include "tests/app/window_fixture.h"

namespace plk {
namespace {

struct LayoutCommands : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        // A picture viewer that records its arguments, found on PATH.
        viewer_dir_ = file("viewer");
        fs::create_directory(viewer_dir_);
        {
            std::ofstream script(viewer_dir_ / "imgview");
            script << "#!/bin/sh\necho \"$@\" > \"" << file("viewer_args.txt").string() << "\"\n";
        }
        fs::permissions(viewer_dir_ / "imgview", fs::perms::owner_all);
        const char* old = std::getenv("PATH");
        old_path_ = old != nullptr ? old : "";
        ::setenv("PATH", (viewer_dir_.string() + ":" + old_path_).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", old_path_.c_str(), 1);
        WindowTest::TearDown();
    }
    std::vector<std::string> memo_lines() const {
        std::vector<std::string> lines;
        for (const QString& l : w->Memo1->toPlainText().split('\n', Qt::SkipEmptyParts))
            lines.push_back(l.toStdString());
        return lines;
    }
    fs::path viewer_dir_;
    std::string old_path_;
};

TEST_F(LayoutCommands, LayoutFillsTheMemoTheSameEachTimeAndEnablesViewDrawing) {
    write_file("room.pk1", kRectangleDesign);
    Tlevmain& m = start();
    next_open = QString::fromStdString(file("room.pk1").string());
    m.idm_open->trigger();
    ASSERT_TRUE(m.idm_layout->isEnabled());
    m.idm_layout->trigger();
    settle();
    const std::vector<std::string> first = memo_lines();
    EXPECT_EQ(first.size(), 5u);
    EXPECT_TRUE(m.Memo1->isVisible());
    EXPECT_TRUE(m.idm_pricecalc->isEnabled());
    EXPECT_FALSE(m.dimlabel->isVisible());
    m.idm_layout->trigger();
    settle();
    EXPECT_EQ(memo_lines(), first);
    EXPECT_TRUE(reported_messages().empty());

    // New and Open disable "&View Drawing" again.
    m.idm_new->trigger();
    EXPECT_FALSE(m.idm_pricecalc->isEnabled());
    m.idm_open->trigger();
    m.idm_layout->trigger();
    EXPECT_TRUE(m.idm_pricecalc->isEnabled());
    m.idm_open->trigger();
    EXPECT_FALSE(m.idm_pricecalc->isEnabled());
}

TEST_F(LayoutCommands, ViewDrawingSavesThePictureAndStartsTheViewerOnIt) {
    Tlevmain& m = start();
    draw_rectangle();
    m.idm_layout->trigger();
    settle();
    m.idm_pricecalc->trigger();
    settle();
    EXPECT_TRUE(fs::exists(file("fdraw.gif")));
    EXPECT_EQ(read_text("viewer_args.txt"), "fdraw.gif\n");
    EXPECT_EQ(memo_lines().size(), 5u);
    EXPECT_EQ(m.design.export_drawing, 0);
}

TEST_F(LayoutCommands, MaterialAndStyleDialogsRunModallyFromTheMenu) {
    Tlevmain& m = start();
    // A design whose derived stagger disagrees with its style (as after Open).
    m.design.style.stagger_style = 2;
    m.design.style.stagger_on = 1;
    m.design.style.stagger_divisor = 2;
    QStringList seen;
    auto press_ok_on_modal = [&] {
        QTimer::singleShot(50, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            seen << modal->windowTitle();
            if (auto* ok = modal->findChild<QPushButton*>("BitBtn1")) ok->click();
        });
    };
    press_ok_on_modal();
    m.idm_material->trigger();
    press_ok_on_modal();
    m.idm_style->trigger();
    settle();
    EXPECT_EQ(seen, (QStringList{"Material", "Styles"}));
    EXPECT_EQ(m.design.style.stagger_divisor, 3) << "derived again after the style dialog";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace plk
