// The main window: controls and menus after start-up, the command-line
// design, the canvas, scrolling, units, and drawing with the mouse.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

#include "app/application.h"
#include "platform/error.h"
#include "tests/app/window_fixture.h"

namespace plk {
namespace {

struct MenuState {
    const char* name;
    bool enabled;
};

void expect_menu(Tlevmain& w, const std::vector<MenuState>& states) {
    for (const MenuState& s : states) {
        auto* a = w.findChild<QAction*>(s.name);
        ASSERT_NE(a, nullptr) << s.name;
        EXPECT_EQ(a->isEnabled(), s.enabled) << s.name;
    }
}

using Window = WindowTest;

TEST_F(Window, StartUpState) {
    Tlevmain& m = start();
    EXPECT_EQ(m.windowTitle(), "Plankora");
    EXPECT_EQ(m.application_title(), "Plankora");
    expect_menu(m, {{"idm_new", true}, {"idm_open", true}, {"idm_save", true}, {"idm_saveas", true},
                    {"English1", true}, {"Metric1", true}, {"idm_material", true}, {"idm_style", true},
                    {"idm_layout", false}, {"idm_pricecalc", false}, {"idm_help", true}, {"idm_about", true}});
    EXPECT_TRUE(m.English1->isChecked());
    EXPECT_FALSE(m.Metric1->isChecked());
    ASSERT_EQ(m.modecontrol->count(), 1);
    EXPECT_EQ(m.modecontrol->tabText(0), "Outline");
    EXPECT_EQ(m.Label74->text(), "Release 1.0.01");
    EXPECT_EQ(m.Label74->pos(), QPoint(596, 4));
    EXPECT_FALSE(m.Memo1->isVisible());
    EXPECT_FALSE(m.progress1->isVisible());
    EXPECT_FALSE(m.dimlabel->isVisible());
    EXPECT_EQ(m.dimlabel->text(), "dimlabel");
    EXPECT_EQ(m.Panel6->height(), 107);
    EXPECT_EQ(m.modecontrol->height(), 27);
    EXPECT_EQ(m.Image2->size(), QSize(147, 77));
    EXPECT_EQ(m.Image2->x(), m.width() - 147 - 15);
    EXPECT_EQ(m.Memo1->geometry(), QRect(308, 2, 249, 87));
    EXPECT_EQ(m.progress1->geometry(), QRect(46, 42, 189, 13));
    EXPECT_EQ(m.design.edit_mode, 1);
    EXPECT_EQ(m.design.segment_count, 0);
    EXPECT_EQ(m.design.file_name, "");
    EXPECT_FALSE(m.design.program_dir.empty());
    EXPECT_EQ(m.design.program_dir.back(), '/');
    EXPECT_TRUE(reported_messages().empty());
    // The grid is on the panel, with the prompt over it.
    EXPECT_EQ(panel().pixel(3, 100), rgb(240, 240, 240));
    EXPECT_GT(ink(panel(), kPromptColor, Box{0, 0, panel().width() - 1, 40}), 100);
}

TEST_F(Window, CanvasCoversThePanelAndScrollRangesFollowIt) {
    Tlevmain& m = start();
    EXPECT_GE(m.design.grid_bitmap.width(), m.placedisplay->width());
    EXPECT_GE(m.design.grid_bitmap.height(), m.placedisplay->height());
    EXPECT_EQ(m.xscroll->maximum(), m.design.grid_bitmap.width() - m.placedisplay->width());
    EXPECT_EQ(m.yscroll->maximum(), m.design.grid_bitmap.height() - m.placedisplay->height());
    EXPECT_EQ(m.xscroll->pageStep(), 10);
    EXPECT_EQ(m.design.grid_ready, 1);
}

struct MissingCanvas : WindowTest {
    bool skip_support_file(const std::string& name) const override { return name == "quartel.dll"; }
};

TEST_F(MissingCanvas, IsReportedByNameAndTheProgramStillDraws) {
    Tlevmain& m = start();
    settle();
    ASSERT_EQ(reported_messages().size(), 1u);
    EXPECT_NE(reported_messages()[0].find("quartel.dll"), std::string::npos) << reported_messages()[0];
    EXPECT_GE(m.design.grid_bitmap.width(), m.placedisplay->width());
    EXPECT_GE(m.xscroll->maximum(), 0);
    click(30, 60);
    click(90, 60);
    click(90, 60);
    EXPECT_EQ(m.design.segment_count, 1);
}

TEST_F(Window, CommandLineFileIsJoinedTrimmedAndReadFromTheWorkingDirectory) {
    write_file("my kitchen.pk1", kRectangleDesign);
    Tlevmain& m = start({"/plans/my", "kitchen.pk1", "  "});
    EXPECT_EQ(m.windowTitle(), "[my kitchen.pk1] Floor Plan");
    EXPECT_EQ(m.application_title(), "[my kitchen.pk1] Floor Plan");
    EXPECT_EQ(m.design.file_name, "my kitchen.pk1");
    EXPECT_EQ(m.design.segment_count, 4);
    EXPECT_EQ(m.design.edit_mode, 2);
    EXPECT_TRUE(m.idm_layout->isEnabled());
    EXPECT_EQ(m.modecontrol->tabText(0), "Outline");
}

TEST_F(Window, StartUpResetsTheCubePictureWhenPresent) {
    write_file("newcube5.bmp", "old");
    start();
    EXPECT_EQ(read_text("newcube5.bmp"), read_text("defcube5.pic"));
}

TEST_F(Window, ScrollingShowsTheCanvasAtTheScrollPositions) {
    Tlevmain& m = start();
    ASSERT_GT(m.xscroll->maximum(), 40);
    ASSERT_GT(m.yscroll->maximum(), 20);
    m.design.layout_bitmap.set_pixel(40, 20, kPureRed);
    m.xscroll->setValue(40);
    m.yscroll->setValue(20);
    settle();
    EXPECT_EQ(panel().pixel(0, 0), kPureRed);
}

TEST_F(Window, LaterResizeResetsOnlyScrollPositionsAtTheirMaximum) {
    Tlevmain& m = start();
    const int max_x = m.xscroll->maximum();
    const int max_y = m.yscroll->maximum();
    m.xscroll->setValue(max_x);
    m.yscroll->setValue(max_y / 2);
    m.FormResize();
    EXPECT_EQ(m.xscroll->value(), 0);
    EXPECT_EQ(m.yscroll->value(), max_y / 2);
    EXPECT_EQ(m.xscroll->maximum(), max_x) << "maxima are not recomputed";
}

TEST_F(Window, DrawingARoomWithTheMouse) {
    Tlevmain& m = start();
    move_to(20, 50);
    click(30, 60);
    EXPECT_TRUE(m.dimlabel->isVisible());
    move_to(57, 69);
    EXPECT_EQ(m.dimlabel->text(), "0' 9\" x 0' 3\"");
    EXPECT_EQ(m.placedisplay->cursor().shape(), Qt::CrossCursor);
    for (const QPoint p : {QPoint(120, 60), QPoint(120, 120), QPoint(30, 120)}) click(p.x(), p.y());
    click(30, 120);
    EXPECT_FALSE(m.dimlabel->isVisible());
    EXPECT_EQ(m.design.segment_count, 4) << "closing segment appended";
    EXPECT_EQ(m.design.edit_mode, 2);
    EXPECT_TRUE(m.idm_layout->isEnabled());
    EXPECT_EQ(panel().pixel(30, 90), kOutlineColor);
    EXPECT_EQ(panel().pixel(75, 60), kOutlineColor);
    // Further clicks are ignored.
    click(200, 200);
    click(250, 200);
    EXPECT_EQ(m.design.segment_count, 4);
}

TEST_F(Window, DoubleClickEndsTheChainAtThatPoint) {
    Tlevmain& m = start();
    click(30, 60);
    move_to(90, 60);
    // Through the window, so that Qt makes the events of a real double click:
    // press, release, press, double click, release.
    const QPoint at = m.placedisplay->mapTo(&m, QPoint(90, 60));
    QTest::mouseClick(m.windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m.windowHandle(), Qt::LeftButton, {}, at);
    settle();
    EXPECT_EQ(m.design.segment_count, 1);
    EXPECT_EQ(m.design.edit_mode, 2);
}

TEST_F(Window, UnitSwitchRedrawsTextsAndOnlyItsHandlersSetCheckMarks) {
    Tlevmain& m = start();
    draw_rectangle();
    const std::vector<std::uint8_t> english = panel().bits();
    m.Metric1->trigger();
    settle();
    EXPECT_EQ(m.design.unit_system, kMetric);
    EXPECT_TRUE(m.Metric1->isChecked());
    EXPECT_FALSE(m.English1->isChecked());
    EXPECT_NE(panel().bits(), english) << "dimension texts redrawn in metric";
    m.English1->trigger();
    settle();
    EXPECT_EQ(m.design.unit_system, kEnglish);
    EXPECT_TRUE(m.English1->isChecked());
    EXPECT_FALSE(m.Metric1->isChecked());
    EXPECT_EQ(panel().bits(), english);
    // New sets English units without touching the marks.
    m.Metric1->trigger();
    m.idm_new->trigger();
    settle();
    EXPECT_EQ(m.design.unit_system, kEnglish);
    EXPECT_TRUE(m.Metric1->isChecked());
}

TEST_F(Window, LaterActivationOnlyRepaints) {
    write_file("room.pk1", kRectangleDesign);
    Tlevmain& m = start({"room.pk1"});
    const std::vector<std::uint8_t> drawn = panel().bits();
    fs::remove(file("room.pk1"));  // reading it again would now fail
    panel().fill(kWhite);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&m, &activate);
    settle();
    EXPECT_EQ(panel().bits(), drawn);
    EXPECT_EQ(m.windowTitle(), "[room.pk1] Floor Plan");
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Window, StartUpTimerFiresOnceAfterAboutASecond) {
    Tlevmain& m = start();
    EXPECT_TRUE(m.Timer3->isActive());
    EXPECT_EQ(m.Timer3->interval(), 1000);
    QTest::qWait(1300);
    EXPECT_FALSE(m.Timer3->isActive());
}

TEST_F(Window, SystemCommandRepaintsWithDimensions) {
    Tlevmain& m = start();
    draw_rectangle();
    const std::vector<std::uint8_t> drawn = panel().bits();
    panel().fill(kWhite);
    m.setWindowState(Qt::WindowMinimized);
    settle();
    EXPECT_EQ(panel().bits(), drawn);
}

TEST_F(Window, DefaultHandlerShowsTheErrorTextAndTheLoopGoesOn) {
    struct Failing : QObject {
        bool event(QEvent*) override { throw AppError("Cannot open file x.pk1"); }
    } failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    settle();
    ASSERT_EQ(reported_messages().size(), 1u);
    EXPECT_EQ(reported_messages()[0], "Cannot open file x.pk1");
}

TEST_F(Window, CloseFreesTheCanvasesAndSavesNothing) {
    Tlevmain& m = start();
    draw_rectangle();
    m.close();
    settle();
    EXPECT_TRUE(m.design.grid_bitmap.empty());
    EXPECT_TRUE(m.design.layout_bitmap.empty());
    EXPECT_FALSE(fs::exists(file("autosave.pk1")));
}

}  // namespace
}  // namespace plk
