// Drawing the outline with the mouse: chains of clicks, ending a chain, the
// closing step, the rubber band, the green outline and the prompt.
#include <gtest/gtest.h>

#include <vector>

#include "editor/outline_editor.h"
#include "tests/editor/fake_view_host.h"

namespace plk {
namespace {

struct Click {
    MouseButton button;
    int x, y;
};
constexpr MouseButton L = MouseButton::Left;
constexpr MouseButton R = MouseButton::Right;

struct Seg {
    double x1, y1, x2, y2;
};

struct Drawing {
    FakeViewHost host;
    DesignState d = design_on(host);
    OutlineEditor editor{d, host};

    void click(Click c) {
        editor.mouse_move(c.x, c.y);
        editor.mouse_down(c.button, c.x, c.y);
    }
    void clicks(const std::vector<Click>& cs) {
        for (const Click& c : cs) click(c);
    }
};

void expect_segments(const DesignState& d, const std::vector<Seg>& want) {
    ASSERT_EQ(d.segment_count, static_cast<int>(want.size()));
    for (std::size_t i = 0; i < want.size(); ++i) {
        const OutlineSegment& s = d.segments[i];
        EXPECT_EQ(s.x1, want[i].x1) << "segment " << i;
        EXPECT_EQ(s.y1, want[i].y1) << "segment " << i;
        EXPECT_EQ(s.x2, want[i].x2) << "segment " << i;
        EXPECT_EQ(s.y2, want[i].y2) << "segment " << i;
    }
}

// Chains of clicks and what the outline is once they end. Every chain here
// ends, so the outline is finished and "&Layout" is enabled.
TEST(OutlineEditor, ChainsOfClicks) {
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        std::vector<Seg> outline;
        Point centre;
    };
    const Case cases[] = {
        {"rectangle back to the start, then in place: no closing segment",
         {{L, 30, 30}, {L, 120, 30}, {L, 120, 90}, {L, 30, 90}, {L, 30, 30}, {L, 30, 30}},
         {{30, 30, 120, 30}, {120, 30, 120, 90}, {120, 90, 30, 90}, {30, 90, 30, 30}},
         {75, 60}},
        {"three sides, in place: closing segment appended",
         {{L, 30, 30}, {L, 120, 30}, {L, 120, 90}, {L, 30, 90}, {L, 31, 91}},
         {{30, 30, 120, 30}, {120, 30, 120, 90}, {120, 90, 30, 90}, {30, 90, 30, 30}},
         {75, 60}},
        {"three sides with a gap of 24: the last point moves onto the first",
         {{L, 30, 30}, {L, 120, 30}, {L, 120, 54}, {L, 30, 54}, {L, 30, 54}},
         {{30, 30, 120, 30}, {120, 30, 120, 54}, {120, 54, 30, 30}},
         {75, 42}},
        {"clicks between grid points snap",
         {{L, 31, 29}, {L, 119, 31}, {L, 121, 89}, {L, 29, 91}, {L, 29, 91}},
         {{30, 30, 120, 30}, {120, 30, 120, 90}, {120, 90, 30, 90}, {30, 90, 30, 30}},
         {75, 60}},
        {"right click adds its segment and ends the chain",
         {{L, 30, 30}, {L, 120, 30}, {L, 120, 90}, {R, 30, 90}},
         {{30, 30, 120, 30}, {120, 30, 120, 90}, {120, 90, 30, 90}, {30, 90, 30, 30}},
         {75, 60}},
        {"right click on the previous point adds a zero-length segment",
         {{L, 30, 30}, {L, 120, 30}, {R, 120, 30}},
         {{30, 30, 120, 30}, {120, 30, 120, 30}},
         {kNone, kNone}},
        {"in place right after the first click: no segment",
         {{L, 30, 30}, {L, 30, 30}},
         {},
         {kNone, kNone}},
        {"one segment", {{L, 30, 30}, {L, 66, 30}, {L, 66, 30}}, {{30, 30, 66, 30}}, {kNone, kNone}},
        {"two segments are not closed",
         {{L, 30, 30}, {L, 66, 30}, {L, 66, 66}, {L, 66, 66}},
         {{30, 30, 66, 30}, {66, 30, 66, 66}},
         {kNone, kNone}},
        {"exactly grid_pixels away in x and y is still in place",
         {{L, 30, 30}, {L, 66, 30}, {L, 69, 33}},
         {{30, 30, 66, 30}},
         {kNone, kNone}},
        {"one pixel more is a new point",
         {{L, 30, 30}, {L, 66, 30}, {L, 70, 30}, {L, 69, 30}},
         {{30, 30, 66, 30}, {66, 30, 69, 30}},
         {kNone, kNone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Drawing w;
        w.clicks(c.clicks);
        expect_segments(w.d, c.outline);
        EXPECT_EQ(w.d.outline_centre, c.centre);
        EXPECT_EQ(w.d.edit_mode, 2);
        EXPECT_EQ(w.d.drawing_active, 0);
        EXPECT_TRUE(w.host.layout_enabled);
        EXPECT_FALSE(w.host.dimlabel_visible);
    }
}

TEST(OutlineEditor, DoubleClickAddsThePointAndEndsTheChain) {
    Drawing w;
    w.clicks({{L, 30, 30}, {L, 90, 30}, {L, 90, 30}});
    expect_segments(w.d, {{30, 30, 90, 30}});
    EXPECT_EQ(w.d.edit_mode, 2);
}

TEST(OutlineEditor, ChainInProgressShowsTheLabel) {
    Drawing w;
    w.clicks({{L, 30, 30}, {L, 120, 30}});
    EXPECT_EQ(w.d.drawing_active, 1);
    EXPECT_EQ(w.d.edit_mode, 1);
    EXPECT_TRUE(w.host.dimlabel_visible);
    EXPECT_FALSE(w.host.layout_enabled);
    w.editor.mouse_move(147, 39);
    EXPECT_EQ(w.host.dimlabel_text, "0' 9\" x 0' 3\"");
    EXPECT_EQ(w.editor.draw_start(), (Point{120, 30}));
    EXPECT_EQ(w.editor.draw_end(), (Point{147, 39}));
}

TEST(OutlineEditor, ClicksAreIgnoredOnceTheOutlineIsFinished) {
    Drawing w;
    w.d.edit_mode = 2;
    const std::vector<std::uint8_t> before = w.host.surface.bits();
    w.clicks({{L, 30, 30}, {L, 120, 30}, {R, 120, 90}});
    EXPECT_EQ(w.d.segment_count, 0);
    EXPECT_EQ(w.d.drawing_active, 0);
    EXPECT_FALSE(w.host.dimlabel_visible);
    EXPECT_EQ(w.host.surface.bits(), before);
}

TEST(OutlineEditor, RightClickWithoutChainDoesNothing) {
    Drawing w;
    w.click({R, 30, 30});
    w.click({MouseButton::Middle, 60, 30});
    EXPECT_EQ(w.d.drawing_active, 0);
    EXPECT_EQ(w.d.edit_mode, 1);
}

TEST(OutlineEditor, RubberBandLeavesThePixelsAsTheyWere) {
    Drawing w;
    w.click({L, 30, 30});
    const std::vector<std::uint8_t> before = w.host.surface.bits();
    w.editor.mouse_move(90, 60);
    EXPECT_EQ(w.host.surface.pixel(62, 46), kBlack) << "the band is drawn";
    w.editor.mouse_move(150, 30);
    EXPECT_NE(w.host.surface.pixel(62, 46), kBlack) << "the old band is erased";
    w.editor.mouse_move(30, 30);  // back on the start: a band of no length
    EXPECT_EQ(w.host.surface.bits(), before);
}

TEST(OutlineEditor, CommittedSegmentIsSolidBlack) {
    Drawing w;
    w.click({L, 30, 30});
    w.click({L, 120, 30});
    for (int x : {30, 60, 119}) EXPECT_EQ(w.host.surface.pixel(x, 30), kBlack) << x;
}

TEST(OutlineEditor, ScrolledClickStoresCanvasPointAndDrawsWhereClicked) {
    Drawing w;
    w.host.sx = 30;
    w.host.sy = 60;
    w.clicks({{L, 10, 10}, {L, 100, 10}});
    expect_segments(w.d, {{39, 69, 129, 69}});
    EXPECT_EQ(w.host.surface.pixel(50, 9), kBlack);
}

TEST(OutlineEditor, FinishedOutlineIsGreenAndPromptGoneUntilEmpty) {
    Drawing w;
    w.clicks({{L, 30, 30}, {L, 120, 30}, {L, 120, 90}, {L, 30, 90}, {L, 30, 90}});
    EXPECT_EQ(w.host.surface.pixel(75, 30), kOutlineColor);
    EXPECT_EQ(w.host.surface.pixel(120, 60), kOutlineColor);
    EXPECT_EQ(w.host.surface.pixel(30, 60), kOutlineColor) << "the closing segment";
}

TEST(OutlineEditor, PromptIsCentredOnThePanelWithItsBaselineAt40) {
    for (int width : {300, 501}) {
        FakeViewHost host(width, 200);
        DesignState d = design_on(host);
        draw_outline(d, host);
        const Box above{0, 0, width - 1, 40};
        const Box below{0, 48, width - 1, 199};
        EXPECT_GT(ink(host.surface, kPromptColor, above), 100);
        EXPECT_NEAR(ink_centre_x(host.surface, kPromptColor, above), width / 2, 3.0);
        EXPECT_EQ(ink(host.surface, kPromptColor, below), 0);
    }
}

TEST(OutlineEditor, OneSegmentDrawsNeitherOutlineNorPrompt) {
    FakeViewHost host;
    DesignState d = design_on(host);
    add_segment(d, 30, 30, 120, 30);
    const std::vector<std::uint8_t> before = host.surface.bits();
    draw_outline(d, host);
    EXPECT_EQ(host.surface.bits(), before);
}

TEST(OutlineEditor, FirstMoveAfterNewBringsTheGrid) {
    FakeViewHost host;
    DesignState d = design_on(host);
    d.grid_ready = 0;
    host.surface.fill(kWhite);
    OutlineEditor editor(d, host);
    EXPECT_TRUE(editor.mouse_move(50, 50)) << "cross cursor while no chain is drawn";
    EXPECT_EQ(d.grid_ready, 1);
    EXPECT_EQ(host.surface.pixel(3, 1), rgb(240, 240, 240));
    EXPECT_EQ(host.max_x, 800 - 300);
}

// An outline holds at most 100 walls once closed: the 100th point of a chain
// is refused with a status text, and closing still fits.
TEST(OutlineEditor, ChainStopsTakingPointsAtTheOutlineLimit) {
    Drawing w;
    auto zigzag = [](int i) { return Click{L, 30 + 6 * i, 30 + (i % 2) * 30}; };
    for (int i = 0; i < kMaxOutlineSegments; ++i) w.click(zigzag(i));
    EXPECT_EQ(w.d.segment_count, kMaxOutlineSegments - 1);
    EXPECT_TRUE(w.host.status.empty());
    w.click(zigzag(kMaxOutlineSegments));
    EXPECT_EQ(w.d.segment_count, kMaxOutlineSegments - 1);
    EXPECT_EQ(w.host.status, kOutlineFullText);
    EXPECT_EQ(w.d.drawing_active, 1) << "the chain goes on and can still be ended";
    w.click({R, 30, 300});
    EXPECT_EQ(w.d.segment_count, kMaxOutlineSegments);
    EXPECT_EQ(w.d.edit_mode, 2);
}

}  // namespace
}  // namespace plk
