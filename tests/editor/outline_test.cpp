// Closing an outline: move the last end or append a closing wall, and the
// bounding-box centre.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "app/design_state.h"
#include "editor/outline.h"

namespace plk {
namespace {

struct Seg {
    double x1, y1, x2, y2;
};

DesignState with_segments(std::initializer_list<Seg> segs) {
    DesignState d;
    for (const Seg& s : segs) {
        OutlineSegment& o = d.segments[static_cast<std::size_t>(d.segment_count++)];
        o.x1 = s.x1;
        o.y1 = s.y1;
        o.x2 = s.x2;
        o.y2 = s.y2;
    }
    return d;
}

void expect_segment(const DesignState& d, int i, Seg want) {
    const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
    EXPECT_EQ(s.x1, want.x1) << "segment " << i;
    EXPECT_EQ(s.y1, want.y1) << "segment " << i;
    EXPECT_EQ(s.x2, want.x2) << "segment " << i;
    EXPECT_EQ(s.y2, want.y2) << "segment " << i;
}

TEST(CloseOutline, ClosedRectangleGetsNoNewWall) {
    DesignState d = with_segments({{30, 30, 390, 30}, {390, 30, 390, 318}, {390, 318, 30, 318}, {30, 318, 30, 30}});
    EXPECT_EQ(close_outline(d), (Point{210, 174}));
    EXPECT_EQ(d.segment_count, 4);
    expect_segment(d, 3, {30, 318, 30, 30});
}

TEST(CloseOutline, ThreeSidesFarApartAppendClosingWall) {
    DesignState d = with_segments({{30, 30, 390, 30}, {390, 30, 390, 318}, {390, 318, 30, 318}});
    EXPECT_EQ(close_outline(d), (Point{210, 174}));
    ASSERT_EQ(d.segment_count, 4);
    expect_segment(d, 2, {390, 318, 30, 318});
    expect_segment(d, 3, {30, 318, 30, 30});
}

TEST(CloseOutline, ShortGapMovesTheLastEnd) {
    struct Case {
        const char* name;
        double gap;  // the missing side's length; the last end lies this far below the start
        int count_after;
    };
    const Case cases[] = {
        {"gap of 30 moves", 30, 3},
        {"gap of 1 moves", 1, 3},
        {"gap of 31 appends", 31, 4},
    };
    for (const Case& c : cases) {
        DesignState d = with_segments({{30, 30, 390, 30}, {390, 30, 390, 318}, {390, 318, 30, 30 + c.gap}});
        close_outline(d);
        EXPECT_EQ(d.segment_count, c.count_after) << c.name;
        if (c.count_after == 3) expect_segment(d, 2, {390, 318, 30, 30});  // now slanted
    }
}

TEST(CloseOutline, NearestPairDecidesButEndIsJoinedToStart) {
    // The first segment's end is close to the last segment's start; the last
    // segment's end is far from the first's start. The smallest distance (0)
    // chooses "move", and the last end is moved onto the first start.
    DesignState d = with_segments({{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 0, 300, 300}});
    close_outline(d);
    EXPECT_EQ(d.segment_count, 3);
    expect_segment(d, 2, {100, 0, 0, 0});
}

TEST(CloseOutline, FewerThanThreeSegmentsChangeNothing) {
    for (int n = 0; n < 3; ++n) {
        DesignState d = with_segments({{0, 0, 100, 0}, {100, 0, 100, 100}});
        d.segment_count = n;
        EXPECT_EQ(close_outline(d), (Point{kNone, kNone})) << n;
        EXPECT_EQ(d.segment_count, n);
        expect_segment(d, 1, {100, 0, 100, 100});
    }
}

TEST(CloseOutline, DecimalCoordinatesAreTruncated) {
    DesignState d = with_segments({{30.9, 30.7, 390.5, 30.2}, {390.5, 30.2, 390.1, 318.9}, {390.1, 318.9, 30.99, 318.5}});
    EXPECT_EQ(close_outline(d), (Point{210, 174}));
    ASSERT_EQ(d.segment_count, 4);
    expect_segment(d, 3, {30, 318, 30, 30});
}

TEST(CloseOutline, CentreUsesTheFixedStartsOfTheBox) {
    // Negative coordinates never lower the maxima below their start of 0.
    DesignState d = with_segments({{-100, -100, -40, -100}, {-40, -100, -40, -40}, {-40, -40, -100, -100}});
    EXPECT_EQ(close_outline(d), (Point{-50, -50}));
}

TEST(CloseOutline, NeverGrowsBeyondTheMaximum) {
    // A zigzag of 100 walls whose end is far from its start: no room for a
    // 101st, so the last end is moved onto the start instead.
    DesignState d;
    for (int i = 0; i < kMaxOutlineSegments; ++i) {
        OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        s.x1 = i * 10;
        s.y1 = (i % 2) * 50;
        s.x2 = (i + 1) * 10;
        s.y2 = ((i + 1) % 2) * 50;
    }
    d.segment_count = kMaxOutlineSegments;
    close_outline(d);
    EXPECT_EQ(d.segment_count, kMaxOutlineSegments);
    expect_segment(d, kMaxOutlineSegments - 1, {990, 50, 0, 0});

    d.segment_count = kMaxOutlineSegments - 1;  // one below: room for the wall
    d.segments[98].x2 = 990;
    d.segments[98].y2 = 50;
    close_outline(d);
    EXPECT_EQ(d.segment_count, kMaxOutlineSegments);
    expect_segment(d, kMaxOutlineSegments - 1, {990, 50, 0, 0});
}

TEST(CloseOutline, HugeOrOddCountsStayInsideStorage) {
    DesignState d = with_segments({{0, 0, 1e300, 0}, {1e300, 0, 0, -1e300}, {0, -1e300, 0, 0}});
    EXPECT_EQ(close_outline(d).x, 500000000);  // coordinates clamped, no overflow
    d.segment_count = 100000;  // a corrupt count does not reach past the storage
    close_outline(d);
    EXPECT_LE(d.segment_count, 100000);
}

}  // namespace
}  // namespace plk
