// The design view: grid, grid shown on the panel, scroll ranges, and the
// repaint that copies the scrolled window of layout_bitmap.
#include <gtest/gtest.h>

#include <chrono>

#include "editor/view.h"
#include "tests/editor/fake_view_host.h"

namespace plk {
namespace {

constexpr Color kGrid = rgb(240, 240, 240);

TEST(View, DrawGridPutsLinesEveryGridStepOnGridBitmapOnly) {
    DesignState d;
    d.grid_bitmap = Bitmap(40, 30, 32);
    d.layout_bitmap = Bitmap(40, 30, 32);
    d.layout_bitmap.fill(kBlack);
    draw_grid(d);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            const bool on_line = x % 3 == 0 || y % 3 == 0;
            ASSERT_EQ(d.grid_bitmap.pixel(x, y), on_line ? kGrid : kWhite) << x << "," << y;
            ASSERT_EQ(d.layout_bitmap.pixel(x, y), kWhite) << x << "," << y;
        }
}

TEST(View, ShowGridCopiesUnscrolledAndResetsLayoutBitmap) {
    FakeViewHost host(60, 50);
    DesignState d;
    d.grid_bitmap = Bitmap(100, 80, 32);
    d.layout_bitmap = Bitmap(100, 80, 32);
    draw_grid(d);
    d.grid_bitmap.set_pixel(1, 1, kPureRed);
    d.layout_bitmap.fill(kBlack);
    host.sx = 7;
    host.sy = 5;
    show_grid(d, host);
    EXPECT_EQ(host.surface.pixel(1, 1), kPureRed) << "the copy ignores the scroll positions";
    EXPECT_EQ(d.layout_bitmap.pixel(1, 1), kPureRed);
    EXPECT_EQ(d.layout_bitmap.pixel(99, 79), d.grid_bitmap.pixel(99, 79));
    EXPECT_EQ(d.grid_ready, 1);
}

TEST(View, ScrollRangesAreCanvasMinusPanelAndNeverNegative) {
    struct Case {
        int canvas_w, canvas_h, panel_w, panel_h, max_x, max_y;
    };
    const Case cases[] = {
        {2400, 1700, 1000, 700, 1400, 1000},
        {300, 250, 300, 250, 0, 0},
        {200, 100, 300, 250, 0, 0},  // a canvas smaller than the panel
    };
    for (const Case& c : cases) {
        FakeViewHost host(c.panel_w, c.panel_h);
        DesignState d;
        d.grid_bitmap = Bitmap(c.canvas_w, c.canvas_h, 32);
        set_scroll_ranges(d, host);
        EXPECT_EQ(host.max_x, c.max_x) << c.canvas_w;
        EXPECT_EQ(host.max_y, c.max_y) << c.canvas_h;
    }
}

TEST(View, RepaintShowsCanvasPixelAtScrollPositionInTheCorner) {
    FakeViewHost host(100, 80);
    DesignState d = design_on(host, 400, 300);
    d.layout_bitmap.set_pixel(37, 21, kPureRed);
    d.layout_bitmap.set_pixel(136, 100, kBlack);
    host.sx = 37;
    host.sy = 21;
    add_segment(d, 0, 0, 3, 0);  // one segment: no outline and no prompt drawn over the view
    repaint_view(d, host);
    EXPECT_EQ(host.surface.pixel(0, 0), kPureRed);
    EXPECT_EQ(host.surface.pixel(99, 79), kBlack);
    // The layout picture survives repaints until show_grid replaces it.
    repaint_view(d, host);
    EXPECT_EQ(host.surface.pixel(0, 0), kPureRed);
    show_grid(d, host);
    repaint_view(d, host);
    EXPECT_NE(host.surface.pixel(0, 0), kPureRed);
}

TEST(View, RepaintDrawsTheOutlineOverTheDimensions) {
    // A closed square: its green outline lies on top of whatever else.
    FakeViewHost host;
    DesignState d = design_on(host);
    add_segment(d, 60, 60, 150, 60);
    add_segment(d, 150, 60, 150, 150);
    add_segment(d, 150, 150, 60, 150);
    add_segment(d, 60, 150, 60, 60);
    repaint_view(d, host);
    EXPECT_EQ(host.surface.pixel(100, 60), rgb(0, 200, 0));
    EXPECT_EQ(host.surface.pixel(100, 50), rgb(0, 10, 10)) << "segment dimension line";
    EXPECT_EQ(host.surface.pixel(100, 40), rgb(255, 10, 10)) << "overall dimension line";
}

TEST(View, RepaintOfLargeCanvasCopiesOnlyThePanel) {
    // A 2400 x 1700 canvas behind a 1000 x 700 panel.
    FakeViewHost host(1000, 700);
    DesignState d;
    d.grid_bitmap = Bitmap(2400, 1700, 32);
    d.layout_bitmap = Bitmap(2400, 1700, 32);
    draw_grid(d);
    show_grid(d, host);
    host.sx = 1400;
    host.sy = 1000;
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRuns = 20;
    for (int i = 0; i < kRuns; ++i) repaint_view(d, host);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kRuns;
    RecordProperty("repaint_ms", std::to_string(ms));
    EXPECT_EQ(host.surface.pixel(999, 699), d.layout_bitmap.pixel(2399, 1699));
}

}  // namespace
}  // namespace plk
