// Dimension labels: overall and per-segment dimension lines and texts, and
// the live size text of the line being drawn.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <vector>

#include "editor/dimensions.h"
#include "editor/length_text.h"
#include "editor/outline_editor.h"
#include "tests/editor/fake_view_host.h"

namespace plk {
namespace {

constexpr Color kOverall = rgb(255, 10, 10);
constexpr Color kSegment = rgb(0, 10, 10);

// The text reference point (centre, baseline): glyphs lie in the rows above
// the baseline and are centred on x.
Box text_box(int x, int baseline, int skip_row = -1, int skip_col = -1) {
    return Box{x - 30, baseline - 12, x + 30, baseline, skip_row, skip_col};
}

void expect_text_at(const Bitmap& b, Color c, const Box& box, int x, const char* what) {
    EXPECT_GT(ink(b, c, box), 0) << what;
    EXPECT_NEAR(ink_centre_x(b, c, box), x, 3.0) << what;
}

TEST(Dimensions, NothingToDrawWithoutSegments) {
    FakeViewHost host;
    DesignState d = design_on(host);
    const std::vector<std::uint8_t> before = host.surface.bits();
    draw_overall_dimensions(d, host);
    draw_segment_dimensions(d, host);
    EXPECT_EQ(host.surface.bits(), before);
}

// One horizontal segment from (30, 60) to (66, 60), and the same moved by
// (100, 100) so that everything left of and above it lands on the panel.
TEST(Dimensions, OneHorizontalSegment) {
    for (const Point off : {Point{0, 0}, Point{100, 100}}) {
        SCOPED_TRACE(::testing::Message() << "offset " << off.x << "," << off.y);
        {
            FakeViewHost host;
            DesignState d = design_on(host);
            add_segment(d, 30 + off.x, 60 + off.y, 66 + off.x, 60 + off.y);
            draw_overall_dimensions(d, host);
            const Bitmap& s = host.surface;
            // Width line at y = 40 from x = 30 to 66, with ticks at both ends.
            for (int x : {31, 48, 64}) EXPECT_EQ(s.pixel(x + off.x, 40 + off.y), kOverall) << x;
            EXPECT_EQ(s.pixel(36 + off.x, 34 + off.y), kOverall) << "left tick";
            EXPECT_EQ(s.pixel(72 + off.x, 34 + off.y), kOverall) << "right tick";
            // The height line at x = 10 is a point; its two ticks cross there.
            EXPECT_EQ(s.pixel(10 + off.x, 60 + off.y), kOverall);
            EXPECT_NE(s.pixel(10 + off.x, 45 + off.y), kOverall) << "no height line";
            expect_text_at(s, kOverall, text_box(48 + off.x, 10 + off.y), 48 + off.x, "width text");
            if (off.x > 0) {
                EXPECT_EQ(ink(s, kOverall, text_box(-30 + off.x, 60 + off.y)), 0) << "no height text";
            }
        }
        {
            FakeViewHost host;
            DesignState d = design_on(host);
            add_segment(d, 30 + off.x, 60 + off.y, 66 + off.x, 60 + off.y);
            draw_segment_dimensions(d, host);
            const Bitmap& s = host.surface;
            EXPECT_EQ(s.pixel(48 + off.x, 50 + off.y), kSegment) << "line above at y = 50";
            EXPECT_NE(s.pixel(48 + off.x, 49 + off.y), kSegment) << "one pixel wide";
            EXPECT_NE(s.pixel(48 + off.x, 51 + off.y), kSegment) << "one pixel wide";
            EXPECT_EQ(s.pixel(33 + off.x, 47 + off.y), kSegment) << "tick";
            expect_text_at(s, kSegment, text_box(48 + off.x, 55 + off.y, 50 + off.y), 48 + off.x, "segment text");
        }
    }
}

TEST(Dimensions, RightToLeftSegmentKeepsItsLineAbove) {
    FakeViewHost host;
    DesignState d = design_on(host);
    add_segment(d, 66, 60, 30, 60);
    draw_segment_dimensions(d, host);
    EXPECT_EQ(host.surface.pixel(48, 50), kSegment);
    EXPECT_NE(host.surface.pixel(48, 70), kSegment);
}

// The four edges of a 90 x 60 rectangle from (90, 90) to (180, 150): where
// each dimension line and text goes, for both drawing directions.
TEST(Dimensions, RectangleSidesByOrientation) {
    struct Side {
        const char* name;
        Point line_probe;  // a pixel in the middle of its dimension line
        Point text;        // its text reference point
        bool vertical;
    };
    struct Case {
        const char* name;
        std::vector<Point> corners;  // drawing order, closed back to the first
        std::vector<Side> sides;
    };
    const Case cases[] = {
        {"clockwise from top-left",
         {{90, 90}, {180, 90}, {180, 150}, {90, 150}},
         {{"top: line and text above", {135, 80}, {135, 85}, false},
          {"right: line right, text left", {190, 120}, {160, 120}, true},
          {"bottom: line and text below", {135, 160}, {135, 175}, false},
          {"left: line left, text right", {80, 120}, {110, 120}, true}}},
        {"counter-clockwise from top-right",
         {{180, 90}, {90, 90}, {90, 150}, {180, 150}},
         {{"top: above", {135, 80}, {135, 85}, false},
          {"left: line and text left", {80, 120}, {70, 120}, true},
          {"bottom: below", {135, 160}, {135, 175}, false},
          {"right: line and text right", {190, 120}, {200, 120}, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeViewHost host;
        DesignState d = design_on(host);
        for (std::size_t i = 0; i < c.corners.size(); ++i) {
            const Point a = c.corners[i];
            const Point b = c.corners[(i + 1) % c.corners.size()];
            add_segment(d, a.x, a.y, b.x, b.y);
        }
        draw_segment_dimensions(d, host);
        for (const Side& side : c.sides) {
            SCOPED_TRACE(side.name);
            EXPECT_EQ(host.surface.pixel(side.line_probe.x, side.line_probe.y), kSegment);
            const Box box = side.vertical ? text_box(side.text.x, side.text.y, -1, side.line_probe.x)
                                          : text_box(side.text.x, side.text.y, side.line_probe.y);
            expect_text_at(host.surface, kSegment, box, side.text.x, "text");
        }
    }
}

TEST(Dimensions, SlantedSegmentHasOnlyItsTextMovedAside) {
    // From (60, 60) to (90, 100): 50 pixels long; the text sits at
    // x = 60 + 25 - 30 = 55 (moved left because it runs downwards), y = 80.
    FakeViewHost host;
    DesignState d = design_on(host);
    add_segment(d, 60, 60, 90, 100);
    draw_segment_dimensions(d, host);
    const Box box = text_box(55, 80);
    expect_text_at(host.surface, kSegment, box, 55, "slanted text");
    EXPECT_EQ(ink(host.surface, kSegment, box),
              ink(host.surface, kSegment, Box{0, 0, host.surface.width() - 1, host.surface.height() - 1}))
        << "no dimension line or ticks";
}

TEST(Dimensions, ScrolledViewMovesTheDrawings) {
    FakeViewHost host;
    DesignState d = design_on(host);
    host.sx = 10;
    host.sy = 20;
    add_segment(d, 30, 60, 66, 60);
    draw_segment_dimensions(d, host);
    EXPECT_EQ(host.surface.pixel(38, 30), kSegment);
    draw_overall_dimensions(d, host);
    EXPECT_EQ(host.surface.pixel(38, 20), kOverall);
}

// The bounding box of the overall dimensions starts empty, so outlines beyond
// 10000 pixels or at negative coordinates (possible in a design file) still
// get a box that fits them.
TEST(Dimensions, OverallBoxFitsOutlinesBeyondFixedLimits) {
    struct Case {
        const char* name;
        double x1, x2;
        int sx;
    };
    const Case cases[] = {{"beyond 10000", 10030, 10066, 10000}, {"negative", -70, -34, -100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeViewHost host;
        DesignState d = design_on(host);
        host.sx = c.sx;
        add_segment(d, c.x1, 60, c.x2, 60);
        draw_overall_dimensions(d, host);
        EXPECT_EQ(host.surface.pixel(48, 40), kOverall);
        EXPECT_NE(host.surface.pixel(5, 40), kOverall) << "the line starts at the outline";
        EXPECT_NE(host.surface.pixel(90, 40), kOverall) << "the line ends at the outline";
    }
}

// A design file may hold any number: drawing stays safe and quick.
TEST(Dimensions, AbsurdCoordinatesDrawWithoutFault) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    FakeViewHost host;
    DesignState d = design_on(host);
    add_segment(d, 1e300, -1e300, 30, 60);
    add_segment(d, nan, 60, 66, nan);
    add_segment(d, inf, -inf, 5e9, 60);
    add_segment(d, 30, 60, 66, 60);
    const auto start = std::chrono::steady_clock::now();
    draw_overall_dimensions(d, host);
    draw_segment_dimensions(d, host);
    draw_outline(d, host);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(Dimensions, DrawingSizeText) {
    struct Case {
        int units;
        Point start, mouse;
        const char* text;
    };
    // 9 grid steps right and 3 down: 27 and 9 pixels.
    const Case cases[] = {
        {kEnglish, {30, 30}, {57, 39}, "0' 9\" x 0' 3\""},
        {kEnglish, {57, 39}, {30, 30}, "0' 9\" x 0' 3\""},
        {kMetric, {30, 30}, {57, 39}, "229mm x 76mm"},
        {kEnglish, {30, 30}, {30, 30}, "0' 0\" x 0' 0\""},
    };
    for (const Case& c : cases) {
        FakeViewHost host;
        DesignState d = design_on(host);
        d.unit_system = c.units;
        show_drawing_size(d, host, c.start, c.mouse);
        EXPECT_EQ(host.dimlabel_text, c.text);
    }
}

}  // namespace
}  // namespace plk
