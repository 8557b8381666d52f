// New, Open, Save and Save As as the user sees them: captions, menu states,
// status texts, files written, and every failure of reading a design.
#include <QAction>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "tests/app/window_fixture.h"

namespace plk {
namespace {

using FileCommands = WindowTest;

constexpr const char* kNewStatus = "Click grid area, move mouse, click at each intersection. Click in place to end.";

TEST_F(FileCommands, NewDiscardsTheDesignAndShowsTheInstruction) {
    write_file("room.pk1", kRectangleDesign);
    Tlevmain& m = start();
    next_open = QString::fromStdString(file("room.pk1").string());
    m.idm_open->trigger();
    m.Memo1->show();
    m.design.material.board_length = 10;
    m.idm_new->trigger();
    settle();
    EXPECT_EQ(m.windowTitle(), "[new design] Plankora");
    EXPECT_EQ(m.application_title(), "[new design] Plankora");
    EXPECT_EQ(m.statusbar->currentMessage(), kNewStatus);
    EXPECT_EQ(m.design.segment_count, 0);
    EXPECT_EQ(m.design.edit_mode, 1);
    EXPECT_EQ(m.design.file_name, "");
    EXPECT_EQ(m.design.material.board_length, 47.6377);
    EXPECT_EQ(m.design.grid_ready, 0);
    EXPECT_FALSE(m.idm_layout->isEnabled());
    EXPECT_FALSE(m.idm_pricecalc->isEnabled());
    EXPECT_FALSE(m.Memo1->isVisible());
    // A white view without grid, with the prompt; the first move brings the grid.
    EXPECT_EQ(panel().pixel(3, 100), kWhite);
    EXPECT_GT(ink(panel(), kPromptColor, Box{0, 0, panel().width() - 1, 40}), 100);
    move_to(50, 100);
    EXPECT_EQ(panel().pixel(3, 100), rgb(240, 240, 240));
    EXPECT_EQ(m.design.grid_ready, 1);
}

TEST_F(FileCommands, NewInTheMiddleOfAChainEndsIt) {
    Tlevmain& m = start();
    click(30, 60);
    click(90, 60);
    m.idm_new->trigger();
    settle();
    EXPECT_EQ(m.design.drawing_active, 0);
    click(150, 150);
    EXPECT_EQ(m.design.segment_count, 0) << "the click starts a new outline";
    EXPECT_EQ(m.design.drawing_active, 1);
}

TEST_F(FileCommands, OpenReadsTheChosenFile) {
    write_file("kitchen.pk1", kRectangleDesign);
    Tlevmain& m = start();
    const QString path = QString::fromStdString(file("kitchen.pk1").string());
    next_open = path;
    m.idm_open->trigger();
    settle();
    ASSERT_EQ(open_requests.size(), 1u);
    EXPECT_EQ(open_requests[0].filter, "Floor Layout|*.PK1");
    EXPECT_EQ(open_requests[0].default_suffix, "PK1");
    EXPECT_EQ(open_requests[0].initial_name, "*.PK1");
    EXPECT_EQ(m.statusbar->currentMessage(), path);
    EXPECT_EQ(m.windowTitle(), "[kitchen.pk1] Floor Plan");
    EXPECT_EQ(m.design.file_name, "kitchen.pk1");
    EXPECT_EQ(m.design.segment_count, 4);
    EXPECT_EQ(m.design.outline_centre, (Point{210, 174}));
    EXPECT_EQ(m.design.edit_mode, 2);
    EXPECT_TRUE(m.idm_layout->isEnabled());
    EXPECT_FALSE(m.idm_pricecalc->isEnabled());
    EXPECT_EQ(panel().pixel(200, 30), kOutlineColor);
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(FileCommands, OpenCancelledDoesNothing) {
    Tlevmain& m = start();
    draw_rectangle();
    next_open.clear();
    m.idm_open->trigger();
    settle();
    EXPECT_EQ(m.design.segment_count, 4);
    EXPECT_EQ(m.windowTitle(), "Plankora");
}

TEST_F(FileCommands, OpenMetricDesignLeavesTheCheckMarks) {
    std::string metric = kRectangleDesign;
    metric.replace(metric.find("0.083334,3,1"), 12, "0.083334,3,2.9");
    write_file("metric.pk1", metric);
    Tlevmain& m = start();
    next_open = QString::fromStdString(file("metric.pk1").string());
    m.idm_open->trigger();
    settle();
    EXPECT_EQ(m.design.unit_system, kMetric);
    EXPECT_TRUE(m.English1->isChecked());
}

// The failure rows of reading a design: the message, and the state left.
TEST_F(FileCommands, OpenFailures) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: the file does not exist
        std::string text;
        const char* message_part;
        int segments_after;
        bool caption_names_file;
    };
    const std::string outline_head = "UNIFORMAT\r\n[PK]\r\n0.083334,3,1\r\n[ENDSEC]\r\n[OUTLINE]\r\n[x1/y1/x2/y2]\r\n";
    const Case cases[] = {
        {"missing file", nullptr, "", "Cannot open file", 0, false},
        {"fewer than 3 lines", "short.pk1", "UNIFORMAT\r\n[PK]\r\n", "List index out of bounds (2)", 0, true},
        {"third line not a number", "units.pk1", "a\r\nb\r\n0.08,3,x\r\n", "'x' is not a valid floating point value",
         0, true},
        {"letter in a coordinate", "letters.pk1",
         outline_head + "30,30,390,30\r\n390,30,39O,318\r\n[ENDSEC]\r\n", "'39O'", 1, true},
        {"blank line in the outline", "blank.pk1", outline_head + "30,30,390,30\r\n\r\n[ENDSEC]\r\n",
         "is not a valid floating point value", 1, true},
        {"consumer line is the last line", "consumer.pk1",
         outline_head + "30,30,390,30\r\n[ENDSEC]\r\n[CONSUMER]\r\n", "List index out of bounds", 1, true},
        {"carton count not an integer", "material.pk1",
         outline_head + "30,30,390,30\r\n[ENDSEC]\r\n[CONSUMER]\r\n40,7,eight,1,1,1,1\r\n",
         "'eight' is not a valid integer value", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reported_messages().clear();
        if (c.file != nullptr) write_file(c.file, c.text);
        Tlevmain& m = start();
        draw_rectangle();
        const QString caption = m.windowTitle();
        next_open = QString::fromStdString(file(c.file != nullptr ? c.file : "nowhere.pk1").string());
        m.idm_open->trigger();
        settle();
        ASSERT_EQ(reported_messages().size(), 1u);
        EXPECT_NE(reported_messages()[0].find(c.message_part), std::string::npos) << reported_messages()[0];
        EXPECT_EQ(m.design.segment_count, c.segments_after);
        EXPECT_EQ(m.design.edit_mode, 2) << "left as it was (the drawn outline had finished)";
        if (c.caption_names_file) {
            EXPECT_EQ(m.windowTitle(), QString("[%1] Floor Plan").arg(c.file));
            EXPECT_EQ(m.design.file_name, c.file);
        } else {
            EXPECT_EQ(m.windowTitle(), caption);
        }
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is restored";
        // The window goes on working.
        m.idm_new->trigger();
        settle();
        EXPECT_EQ(m.design.segment_count, 0);
    }
}

TEST_F(FileCommands, SaveAndSaveAsWithAnEmptyOutlineDoNothing) {
    Tlevmain& m = start();
    m.idm_save->trigger();
    m.idm_saveas->trigger();
    settle();
    EXPECT_TRUE(save_requests.empty()) << "no dialog";
    EXPECT_FALSE(fs::exists(file("myfloor.pk1")));
    EXPECT_FALSE(fs::exists(file("autosave.pk1")));
    EXPECT_EQ(m.design.file_name, "");
}

TEST_F(FileCommands, SaveWritesMyfloorAndAutosaveInTheWorkingDirectory) {
    fs::create_directory(file("plans"));
    write_file("plans/kitchen.pk1", kRectangleDesign);
    Tlevmain& m = start();
    next_open = QString::fromStdString(file("plans/kitchen.pk1").string());
    m.idm_open->trigger();
    settle();
    m.idm_save->trigger();
    settle();
    EXPECT_EQ(m.design.file_name, "myfloor.pk1");
    EXPECT_EQ(read_text("myfloor.pk1"), kRectangleDesign);
    EXPECT_EQ(read_text("autosave.pk1"), kRectangleDesign);
    EXPECT_EQ(read_text("plans/kitchen.pk1"), kRectangleDesign);
    EXPECT_EQ(m.windowTitle(), "[kitchen.pk1] Floor Plan") << "saving never changes the caption";
}

TEST_F(FileCommands, SaveAsRemembersTheLastName) {
    Tlevmain& m = start();
    draw_rectangle();
    const QString first = QString::fromStdString(file("first.PK1").string());
    next_save = first;
    m.idm_saveas->trigger();
    settle();
    ASSERT_EQ(save_requests.size(), 1u);
    EXPECT_EQ(save_requests[0].filter, "Floor Layout |*.PK1");
    EXPECT_EQ(save_requests[0].default_suffix, "PK1");
    EXPECT_EQ(save_requests[0].initial_name, "myfloor.PK1");
    EXPECT_EQ(m.design.file_name, first.toStdString());
    EXPECT_TRUE(fs::exists(file("first.PK1")));
    EXPECT_EQ(read_text("autosave.pk1"), read_text("first.PK1"));
    // Cancelled: nothing written, the name stays.
    next_save.clear();
    fs::remove(file("autosave.pk1"));
    m.idm_saveas->trigger();
    settle();
    ASSERT_EQ(save_requests.size(), 2u);
    EXPECT_EQ(save_requests[1].initial_name, first);
    EXPECT_FALSE(fs::exists(file("autosave.pk1")));
    EXPECT_EQ(m.design.file_name, first.toStdString());
}

TEST_F(FileCommands, SaveThenOpenGivesTheSameDesign) {
    Tlevmain& m = start();
    draw_rectangle();
    m.Metric1->trigger();
    m.design.material.sample_index = 7;
    m.design.style.stagger_style = 2;
    m.idm_save->trigger();
    settle();
    const DesignState saved = m.design;
    m.idm_new->trigger();
    next_open = QString::fromStdString(file("myfloor.pk1").string());
    m.idm_open->trigger();
    settle();
    ASSERT_EQ(m.design.segment_count, saved.segment_count);
    for (int i = 0; i < saved.segment_count; ++i) {
        EXPECT_EQ(m.design.segments[i].x1, saved.segments[i].x1);
        EXPECT_EQ(m.design.segments[i].y2, saved.segments[i].y2);
    }
    EXPECT_EQ(m.design.unit_system, kMetric);
    EXPECT_EQ(m.design.material.sample_index, 7);
    EXPECT_EQ(m.design.style.stagger_style, 2);
}

}  // namespace
}  // namespace plk
