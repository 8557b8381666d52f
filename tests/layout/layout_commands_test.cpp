// The two layout commands against a fake main window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "layout/layout_commands.h"
#include "layout_fixtures.h"
#include "platform/error.h"
#include "platform/files.h"

namespace plk {
namespace {

using test::ChangeDir;
using test::load_design_fixture;
using test::TempDir;

class FakeHost : public LayoutHost {
public:
    Bitmap surface{400, 300, 32};
    std::vector<std::string> memo;
    std::vector<std::string> events;
    int wait_depth = 0;
    int progress_pos = -1;
    bool view_drawing = false;

    Bitmap& panel_surface() override { return surface; }
    void panel_changed() override {}
    int scroll_x() const override { return 0; }
    int scroll_y() const override { return 0; }
    void set_scroll_max(int, int) override {}
    void pump_messages() override {}
    void set_wait_cursor(bool on) override { wait_depth += on ? 1 : -1; }
    void show_dimlabel(bool visible) override { events.push_back(visible ? "dimlabel on" : "dimlabel off"); }
    void set_dimlabel_text(const std::string&) override {}
    void enable_layout(bool) override {}
    void set_status_text(const std::string&) override {}
    void memo_clear() override {
        memo.clear();
        events.push_back("memo clear");
    }
    void memo_add(const std::string& line) override { memo.push_back(line); }
    void show_memo(bool visible) override { events.push_back(visible ? "memo shown" : "memo hidden"); }
    int progress() const override { return progress_pos; }
    void set_progress(int position) override { progress_pos = position; }
    void show_progress(bool visible) override { events.push_back(visible ? "progress on" : "progress off"); }
    void enable_view_drawing(bool enabled) override { view_drawing = enabled; }
};

// A working directory with the texture pictures the program ships.
class LayoutCommands : public testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"lcolours.qvp", "lcolorT.qvp"})
            std::filesystem::copy_file(std::string(PLK_BIN_DIR) + "/" + f, tmp_.file(f));
        cd_ = std::make_unique<ChangeDir>(tmp_.path());
        // The picture viewer is not started from a test.
        const char* path = std::getenv("PATH");
        old_path_ = path ? path : "";
        ::setenv("PATH", "/nonexistent", 1);
    }
    void TearDown() override {
        ::setenv("PATH", old_path_.c_str(), 1);
        cd_.reset();
    }
    TempDir tmp_;
    std::unique_ptr<ChangeDir> cd_;
    std::string old_path_;
};

TEST_F(LayoutCommands, LayoutShowsTheEstimateAndTheTexture) {
    DesignState d = load_design_fixture("rect_10x8.pk1");
    d.export_drawing = 1;  // left over from somewhere: Layout clears it
    FakeHost host;
    idm_layout_command(d, host);
    ASSERT_EQ(host.memo.size(), 5u);
    EXPECT_EQ(host.memo[1], "Boards: 45 Cartons: 6");
    EXPECT_EQ(d.export_drawing, 0);
    EXPECT_FALSE(file_exists("fdraw.gif"));
    EXPECT_TRUE(host.view_drawing);
    EXPECT_EQ(host.wait_depth, 0);
    EXPECT_EQ(host.events.front(), "memo clear");
    EXPECT_NE(std::find(host.events.begin(), host.events.end(), "dimlabel off"), host.events.end());
    // The view holds the texture now: the outline's inside is no longer white
    // and the numbered drawing is gone (the vertices are design pixels again).
    EXPECT_NE(d.layout_bitmap.pixel(200, 200), kWhite);
    EXPECT_EQ(d.polygon_points[0], (Point{30, 30}));

    // Twice gives the same five lines.
    const std::vector<std::string> first = host.memo;
    idm_layout_command(d, host);
    EXPECT_EQ(host.memo, first);
}

TEST_F(LayoutCommands, ViewDrawingSavesThePicture) {
    DesignState d = load_design_fixture("l_shape.pk1");
    FakeHost host;
    idm_pricecalc_command(d, host);
    EXPECT_EQ(host.memo.size(), 5u);
    EXPECT_TRUE(file_exists("fdraw.gif"));
    EXPECT_EQ(d.export_drawing, 0);
    EXPECT_EQ(host.wait_depth, 0);
}

TEST_F(LayoutCommands, RefusedRunStopsTheCommandCleanly) {
    DesignState d = load_design_fixture("rect_10x8.pk1");
    d.material.units_per_carton = 0;
    FakeHost host;
    EXPECT_THROW(idm_pricecalc_command(d, host), AppError);
    EXPECT_TRUE(host.memo.empty());
    EXPECT_EQ(d.export_drawing, 0);
    EXPECT_EQ(host.wait_depth, 0);
    EXPECT_FALSE(host.view_drawing);
    EXPECT_FALSE(file_exists("fdraw.gif"));
}

TEST_F(LayoutCommands, MissingSampleSheetIsNamed) {
    std::filesystem::remove("lcolours.qvp");
    DesignState d = load_design_fixture("rect_10x8.pk1");
    FakeHost host;
    try {
        idm_layout_command(d, host);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_NE(std::string(e.what()).find("lcolours.qvp"), std::string::npos) << e.what();
    }
    EXPECT_EQ(host.memo.size(), 5u);  // the run itself was done
    EXPECT_EQ(host.wait_depth, 0);
}

}  // namespace
}  // namespace plk
