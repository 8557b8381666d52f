// The board walk: point-in-outline rule and its look-up table, leftover
// table, tags, the cut-cell rules and whole walks over small rectangles.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "editor/length_text.h"
#include "layout/board_walk.h"
#include "layout_fixtures.h"

namespace plk {
namespace {

using test::WalkScene;

TEST(InsidePoly, CrossingRuleCases) {
    // A 10 x 10 square: the rule counts the top row and the left column as
    // outside, the bottom row and the right column as inside (y <= max,
    // x <= threshold).
    const Point sq[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    // A triangle whose sloped edge needs the truncating division: x at y = 1
    // is 0 + (1 * 7) / 3 = 2 (2.33 truncated).
    const Point tri[] = {{0, 0}, {7, 3}, {0, 3}};
    // A negative quotient: the division truncates towards zero, not down:
    // at y = 1, xi = 7 + (1 * -7) / 3 = 7 - 2 = 5 (flooring would give 4).
    const Point tri2[] = {{7, 0}, {0, 3}, {7, 3}};
    struct Case {
        const Point* p;
        int n;
        int x, y;
        bool inside;
    } cases[] = {
        {sq, 4, 5, 5, true},   {sq, 4, 0, 5, false},  {sq, 4, 1, 5, true},   {sq, 4, 10, 5, true},
        {sq, 4, 11, 5, false},
        {sq, 4, 9, 5, true},   {sq, 4, 5, 0, false},  {sq, 4, 5, 1, true},   {sq, 4, 5, 10, true},
        {sq, 4, 5, 11, false}, {sq, 4, -3, 5, false}, {sq, 4, 15, 5, false},
        {tri, 3, 1, 1, true},  {tri, 3, 2, 1, true},  {tri, 3, 3, 1, false},
        {tri2, 3, 4, 1, false}, {tri2, 3, 5, 1, false}, {tri2, 3, 6, 1, true}, {tri2, 3, 7, 1, true},
        {tri2, 3, 8, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(insidepoly(c.p, c.n, c.x, c.y), c.inside) << c.x << "," << c.y;
    }
    // The loose test: one diagonal neighbour inside is enough.
    EXPECT_TRUE(insidepoly5(sq, 4, 0, 0));    // (1, 1) is inside
    EXPECT_TRUE(insidepoly5(sq, 4, 11, 11));  // (10, 10) is inside
    EXPECT_FALSE(insidepoly5(sq, 4, -1, 5));
    EXPECT_FALSE(insidepoly5(sq, 4, 12, 5));
    EXPECT_FALSE(insidepoly5(sq, 4, 5, -1));
}

TEST(InsidePoly, LookupTableAgreesWithThePlainRuleOnRandomPolygons) {
    std::mt19937 rng(12345);
    for (int iter = 0; iter < 300; ++iter) {
        const int n = 1 + static_cast<int>(rng() % 24);
        const int span = iter % 3 == 0 ? 12 : 80;  // small ones hit many degenerate edges
        std::vector<Point> pts;
        for (int i = 0; i < n; ++i) {
            pts.push_back({static_cast<int>(rng() % span) - 5, static_cast<int>(rng() % span) - 5});
            // Axis-parallel and repeated vertices now and then.
            if (i > 0 && rng() % 5 == 0) pts.back().y = pts[pts.size() - 2].y;
            if (i > 0 && rng() % 7 == 0) pts.back().x = pts[pts.size() - 2].x;
        }
        const InsideMask mask(pts.data(), n);
        for (int y = -9; y < span + 4; ++y) {
            for (int x = -9; x < span + 4; ++x) {
                ASSERT_EQ(mask.inside5(x, y), insidepoly5(pts.data(), n, x, y))
                    << "polygon " << iter << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(InsidePoly, LargeCoordinatesDoNotOverflow) {
    // The product (y - y1) * (x2 - x1) exceeds 32 bits here.
    const Point p[] = {{-900000, -900000}, {900000, -800000}, {0, 900000}};
    EXPECT_TRUE(insidepoly(p, 3, 0, 0));
    EXPECT_FALSE(insidepoly(p, 3, 899000, 800000));
    const InsideMask mask(p, 3);  // too large for a table: falls back to the rule
    EXPECT_TRUE(mask.inside5(0, 0));
    EXPECT_FALSE(mask.inside5(899000, 800000));
}

TEST(NearLength, WithinTwoPixelsInclusive) {
    struct Case {
        int a, b;
        bool near;
    } cases[] = {{100, 100, true}, {100, 98, true}, {100, 102, true}, {100, 97, false},
                 {100, 103, false}, {0, 2, true}, {-2, 0, true}};
    for (const Case& c : cases) EXPECT_EQ(nearlength(c.a, c.b), c.near) << c.a << " " << c.b;
}

TEST(LeftoverTag, Letters8BitCodesAndBeyond) {
    struct Case {
        int i;
        const char* tag;
    } cases[] = {
        {0, "A"},  {25, "Z"},  {26, "a"},  {51, "z"},       {52, "{"},      {55, "~"},
        {57, "\xE2\x82\xAC"} /* 128: euro sign */,           {184, "\xC3\xBF"} /* 255: y diaeresis */,
        {185, "@185"},        {6001, "@6001"},
    };
    for (const Case& c : cases) EXPECT_EQ(leftover_tag(c.i), c.tag) << c.i;
    // Every tag names one leftover, also the codes with no character.
    std::set<std::string> seen;
    for (int i = 0; i < 7000; ++i) {
        const std::string t = leftover_tag(i);
        EXPECT_FALSE(t.empty());
        EXPECT_TRUE(seen.insert(t).second) << "tag of " << i << " repeats: " << t;
    }
}

TEST(LeftoverTable, BestFitLowestIndexOnTiesAndDirection) {
    LeftoverTable t;
    t.clear();
    EXPECT_EQ(t.take(0.1, kLeft), kNone);  // empty table
    t.add(2.0, kLeft);   // 0
    t.add(1.5, kLeft);   // 1
    t.add(1.5, kLeft);   // 2
    t.add(1.0, kRight);  // 3
    t.add(3.0, kLeft);   // 4
    EXPECT_EQ(t.take(1.2, kLeft), 1);  // shortest that fits; 1 before 2
    EXPECT_EQ(t[1].length, 0);         // taken: keeps its slot
    EXPECT_EQ(t.take(1.2, kLeft), 2);
    EXPECT_EQ(t.take(1.2, kLeft), 0);
    EXPECT_EQ(t.take(3.0, kLeft), 4);  // exactly as long fits
    EXPECT_EQ(t.take(0.5, kLeft), kNone);
    EXPECT_EQ(t.take(1.5, kRight), kNone);  // too short
    EXPECT_EQ(t.take(1.0, kRight), 3);
    EXPECT_EQ(t.count(), 5);
}

// A 300 x 100 pixel room from (100, 20), boards of 100 pixels (one foot at
// 100 pixels per foot) by 25.
std::vector<Point> room(int width) { return {{100, 20}, {100 + width, 20}, {100 + width, 120}, {100, 120}}; }

struct CutCase {
    const char* name;
    int wall_x;         // the room's left wall; the cell is [0, 150] x [40, 60]
    int board_px;
    int kerf;
    double right_leftover;  // a right leftover in the table first (0: none)
    int result;
    const char* label;  // printf pattern with the length text and tag, "" for none
    double offcut;      // length of the new leftover, 0 for none
};

TEST(CutPiece, OutcomesOfACellCutByTheLeftWall) {
    const double kerf = 0.0125;
    // The piece is 150 - wall_x pixels = (150 - wall_x) / 100 feet.
    const CutCase cases[] = {
        {"new board, offcut with kerf", 110, 100, 1, 0, kCutBoardWithOffcut, "#1 Len: %s (A)", 1.0 - 0.4 - kerf},
        {"new board, offcut without kerf", 110, 100, 0, 0, kCutBoardWithOffcut, "#1 Len: %s (A)", 1.0 - 0.4},
        {"piece of 0.07 ft: counted, nothing drawn", 143, 100, 1, 0, kCutBoard, "", 0},
        {"piece within 2 px of a board", 60, 92, 1, 0, kCutBoard, "# 1", 0},
        {"piece 3 px short of a board", 60, 93, 1, 0, kCutBoardWithOffcut, "#1 Len: %s (A)", 1.0 - 0.9 - kerf},
        {"reuses a right leftover", 110, 100, 1, 0.5, kCutNoBoard, "Len: %s (A)", 0},
        {"right leftover too short", 110, 100, 1, 0.39, kCutBoardWithOffcut, "#1 Len: %s (B)", 1.0 - 0.4 - kerf},
        {"whole board wins over a taken leftover", 60, 90, 1, 0.95, kCutBoard, "# 1", 0},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        WalkScene s({{c.wall_x, 20}, {400, 20}, {400, 120}, {c.wall_x, 120}}, 500, 200, c.board_px, 25, 100);
        s.d.material.board_length = 12;  // one foot
        s.d.style.kerf = c.kerf;
        Dc dc(s.d.layout_bitmap);
        BoardWalk walk(s.d, dc, s.in);
        std::vector<LabelRecord> log;
        walk.set_label_log(&log);
        int had = 0;
        if (c.right_leftover > 0) {
            // The only way into the table is a walk step; a starter cell makes one
            // of board_length / 24 - kerf, so set the wanted length through it.
            s.d.material.board_length = (c.right_leftover + (c.kerf ? kerf : 0)) * 24;
            int n = 0;
            walk.full_cell(300, 40, 340, 60, n);  // 40 px <= 100 / 2: a starter
            s.d.material.board_length = 12;
            had = 1;
            log.clear();
        }
        const bool ul = walk.inside5(0, 40), bl = walk.inside5(0, 60);
        const bool ur = walk.inside5(150, 40), br = walk.inside5(150, 60);
        ASSERT_FALSE(ul || bl);
        ASSERT_TRUE(ur && br);
        const int r = walk.cutpiece(0, 40, 150, 60, kLeft, 0, ul, bl, ur, br);
        EXPECT_EQ(r, c.result);
        const double piece = (150 - c.wall_x) / 100.0;
        if (*c.label == 0) {
            EXPECT_TRUE(log.empty());
        } else {
            char want[200];
            std::snprintf(want, sizeof want, c.label, format_length(s.d, piece).c_str());
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].text, want);
            // Centred between the wall and the start edge, between the hits.
            EXPECT_EQ(log[0].x, static_cast<int>(midpoint(150, c.wall_x)));
            EXPECT_EQ(log[0].y, 50);
        }
        if (c.offcut > 0) {
            ASSERT_EQ(walk.leftovers().count(), had + 1);
            EXPECT_NEAR(walk.leftovers()[had].length, c.offcut, 1e-12);
            EXPECT_EQ(walk.leftovers()[had].direction, kLeft);
        } else {
            EXPECT_EQ(walk.leftovers().count(), had);
        }
        EXPECT_EQ(s.d.leftover_count, walk.leftovers().count());
        // The wall pixels the scan found are painted black.
        EXPECT_EQ(s.d.layout_bitmap.pixel(c.wall_x, 50), kBlack);
    }
}

TEST(CutPiece, PieceOfExactly0075FeetIsCountedButNotDrawn) {
    // 3 px at 40 px per foot is 0.075 ft, the largest piece that is not drawn.
    for (int px : {3, 4}) {
        WalkScene s({{150 - px, 20}, {400, 20}, {400, 120}, {150 - px, 120}}, 500, 200, 160, 25, 40);
        Dc dc(s.d.layout_bitmap);
        BoardWalk walk(s.d, dc, s.in);
        std::vector<LabelRecord> log;
        walk.set_label_log(&log);
        const int r = walk.cutpiece(0, 40, 150, 60, kLeft, 0, false, false, true, true);
        if (px == 3) {
            EXPECT_EQ(r, kCutBoard);
            EXPECT_TRUE(log.empty());
            EXPECT_EQ(walk.leftovers().count(), 0);
        } else {
            EXPECT_EQ(r, kCutBoardWithOffcut);
            EXPECT_EQ(log.size(), 1u);
        }
    }
}

TEST(CutPiece, RightWallTurnsTheScanAndNothingFoundIsNoBoard) {
    // Cell [350, 450] across the right wall at 400: the right corners are
    // outside, so the scan runs from the left edge and the piece is 50 px.
    WalkScene s(room(300), 500, 200, 100, 25, 100);
    s.d.material.board_length = 12;
    Dc dc(s.d.layout_bitmap);
    BoardWalk walk(s.d, dc, s.in);
    std::vector<LabelRecord> log;
    walk.set_label_log(&log);
    EXPECT_EQ(walk.cutpiece(350, 40, 450, 60, kLeft, 4, true, true, false, false), kCutBoardWithOffcut);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "#5 Len: " + format_length(s.d, 0.5) + " (A)");
    EXPECT_EQ(walk.leftovers()[0].direction, kRight);

    // The same wall column again: its pixels are black now, and the scan from
    // the right edge finds nothing: no board.
    EXPECT_EQ(walk.cutpiece(300, 40, 400, 60, kLeft, 5, true, true, false, false), kCutBoard);
}

// The texts of the labels, in drawing order.
std::vector<std::string> texts(const std::vector<LabelRecord>& log) {
    std::vector<std::string> out;
    for (const auto& l : log) out.push_back(l.text);
    return out;
}

struct WalkCase {
    const char* name;
    int width;  // of the room, pixels
    int stagger_on, divisor, kerf;
    int boards;
    std::vector<std::string> labels;
};

TEST(BoardWalk, RectangleRowsLabelsAndTags) {
    // Boards of 100 px (1 ft at 100 px/ft) by 25 px, room 100 px high: 4 rows.
    // s = the text of a length in feet; each row is worked out in the comment.
    auto L = [](double ft) {
        DesignState d;
        return format_length(d, ft);
    };
    auto FI = [](double ft) { return format_feet_inches(ft); };
    const WalkCase cases[] = {
        // Width 320: three whole boards, then 20 px cut by the left wall,
        // leaving leftover A (0.7875 ft, left). No stagger: every row alike.
        {"no stagger", 320, 0, 2, 1, 16,
         {"#1", "#2", "#3", "#4 Len: " + L(0.2) + " (A)", "#5", "#6", "#7", "#8 Len: " + L(0.2) + " (B)",
          "#9", "#10", "#11", "#12 Len: " + L(0.2) + " (C)", "#13", "#14", "#15", "#16 Len: " + L(0.2) + " (D)"}},
        // Half stagger: row 2 starts with 50 px and takes A (0.7875 >= 0.5),
        // uncounted; its end piece is 70 px and leaves B (0.2875). Row 4's
        // half cell takes C, the best fit of B and C.
        {"half stagger", 320, 1, 2, 1, 14,
         {"#1", "#2", "#3", "#4 Len: " + L(0.2) + " (A)", "(lo)Len: " + FI(0.5) + " (A)", "#5", "#6",
          "#7 Len: " + L(0.7) + " (B)", "#8", "#9", "#10", "#11 Len: " + L(0.2) + " (C)",
          "(lo)Len: " + FI(0.5) + " (C)", "#12", "#13", "#14 Len: " + L(0.7) + " (D)"}},
        // Third stagger: rows start with 100, 33, 66, 100 px. Row 2: the 33 px
        // cell takes A; its cells are [387, 420] ... [87, 187], so the end piece
        // is 87 px and leaves B (0.1175). Row 3: 66 px is too long for B: a
        // new board (66 > 50, so a plain number); its end piece is 54 px.
        {"third stagger", 320, 1, 3, 1, 15,
         {"#1", "#2", "#3", "#4 Len: " + L(0.2) + " (A)", "(lo)Len: " + FI(0.33) + " (A)", "#5", "#6",
          "#7 Len: " + L(0.87) + " (B)", "#8", "#9", "#10", "#11 Len: " + L(0.54) + " (C)", "#12", "#13",
          "#14", "#15 Len: " + L(0.2) + " (D)"}},
        // Width 300: whole boards end on the left wall. The cell beyond it is
        // visited (its right corners test inside), but the last board's box
        // was drawn over the wall there, so the scan finds no wall and no
        // zero-length piece is bought. Half stagger with no left leftover:
        // row 2's 50 px starter is counted and leaves A (0.4875, right); the
        // end piece of 50 px is 0.5 ft: too long for A with the kerf.
        {"whole boards, kerf", 300, 1, 2, 1, 14,
         {"#1", "#2", "#3", "#4 (A)", "#5", "#6", "#7 Len: " + L(0.5) + " (B)", "#8", "#9", "#10", "#11 (C)",
          "#12", "#13", "#14 Len: " + L(0.5) + " (D)"}},
        // Without kerf the starter's offcut is exactly 0.5 ft and the end piece
        // reuses it, uncounted.
        {"whole boards, no kerf", 300, 1, 2, 0, 12,
         {"#1", "#2", "#3", "#4 (A)", "#5", "#6", "Len: " + L(0.5) + " (A)", "#7", "#8", "#9", "#10 (B)", "#11",
          "#12", "Len: " + L(0.5) + " (B)"}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        WalkScene s(room(c.width), 500, 200, 100, 25, 100);
        s.d.material.board_length = 12;
        s.d.style.stagger_on = c.stagger_on;
        s.d.style.stagger_divisor = c.divisor;
        s.d.style.kerf = c.kerf;
        Dc dc(s.d.layout_bitmap);
        BoardWalk walk(s.d, dc, s.in);
        std::vector<LabelRecord> log;
        walk.set_label_log(&log);
        EXPECT_EQ(walk.layboards(), c.boards);
        EXPECT_EQ(texts(log), c.labels);
    }
}

TEST(BoardWalk, FirstLeftoverOfARowIsALeftOffcut) {
    WalkScene s(room(320), 500, 200, 100, 25, 100);
    s.d.material.board_length = 12;
    s.d.style.stagger_on = 0;
    Dc dc(s.d.layout_bitmap);
    BoardWalk walk(s.d, dc, s.in);
    walk.layboards();
    ASSERT_GE(walk.leftovers().count(), 1);
    EXPECT_EQ(walk.leftovers()[0].direction, kLeft);
    EXPECT_NEAR(walk.leftovers()[0].length, 1.0 - 0.2 - 0.0125, 1e-12);
}

TEST(BoardWalk, StaggeredRowStartsAreHalvesAndThirds) {
    // The first label of each row sits in the middle of its first cell.
    struct Case {
        int on, divisor;
        std::vector<int> first;  // first cell width of rows 1..6
    } cases[] = {{0, 2, {99, 99, 99, 99, 99, 99}},
                 {1, 2, {99, 49, 99, 49, 99, 49}},
                 {1, 3, {99, 33, 66, 99, 33, 66}}};
    for (const Case& c : cases) {
        // A room wide enough that no row ends in a cut (no leftover to reuse).
        WalkScene s({{0, 0}, {500, 0}, {500, 60}, {0, 60}}, 600, 100, 99, 10, 99);
        s.d.material.board_length = 12;
        s.d.style.stagger_on = c.on;
        s.d.style.stagger_divisor = c.divisor;
        s.d.style.kerf = 0;
        Dc dc(s.d.layout_bitmap);
        BoardWalk walk(s.d, dc, s.in);
        std::vector<LabelRecord> log;
        walk.set_label_log(&log);
        walk.layboards();
        std::vector<int> first;
        int row_y = -1;
        for (const auto& l : log) {
            if (l.y == row_y) continue;
            row_y = l.y;
            first.push_back(2 * (500 - l.x));
        }
        ASSERT_EQ(first.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            // midpoint(start - f, start) truncated: start - f / 2 rounded up.
            EXPECT_NEAR(first[i], c.first[i], 1) << "row " << i + 1;
        }
    }
}

TEST(BoardWalk, CellWithAllCornersOutsideIsSkipped) {
    // A floor 10 px wide runs between the corners of a 100 px cell.
    WalkScene s({{140, 10}, {150, 10}, {150, 40}, {140, 40}}, 300, 100, 100, 50, 100);
    s.in.start_x = 200;  // the cells start right of the floor
    s.in.left_margin = 140;
    Dc dc(s.d.layout_bitmap);
    BoardWalk walk(s.d, dc, s.in);
    EXPECT_EQ(walk.layboards(), 0);
}

TEST(BoardWalk, ManyOffcutsGrowTheTableSafely) {
    // A saw-tooth ceiling: every row crosses many sloped walls, each cut
    // leaves an offcut; far more than the 6000 of the classic table.
    std::vector<Point> pts;
    pts.push_back({10, 300});
    for (int t = 0; t < 100; ++t) {
        pts.push_back({10 + 20 * t, 10});
        pts.push_back({20 + 20 * t, 200});
    }
    pts.push_back({2010, 300});
    // Boards of 6 px at 10 px per foot: every piece is over 0.075 ft.
    WalkScene s(pts, 2100, 320, 6, 1, 10);
    s.d.style.stagger_on = 0;
    s.d.material.board_length = 7.2;
    Dc dc(s.d.layout_bitmap);
    BoardWalk walk(s.d, dc, s.in);
    const int n = walk.layboards();
    EXPECT_GT(walk.leftovers().count(), kLeftoverTableSize);
    EXPECT_EQ(s.d.leftover_count, walk.leftovers().count());
    EXPECT_GT(n, 0);
}

TEST(BoardWalk, ProgressAddsTheBoardsSoFarTimesTheStepAndStopsAt100) {
    WalkScene s(room(320), 500, 200, 100, 25, 100);
    s.d.style.stagger_on = 0;  // one board per cell
    s.d.material.board_length = 12;
    s.in.progress_step = 2.0;  // floor(n * 2) per cell, n = the boards before it
    Dc dc(s.d.layout_bitmap);
    BoardWalk walk(s.d, dc, s.in);
    std::vector<int> seen;
    walk.set_progress([&](int p) { seen.push_back(p); });
    walk.layboards();
    // Cells see n = 0, 1, 2, ...: positions 0, 2, 6, 12, 20, ... capped at 100.
    EXPECT_EQ(seen, (std::vector<int>{2, 6, 12, 20, 30, 42, 56, 72, 90, 100}));
    EXPECT_EQ(walk.progress_position(), 100);
}

}  // namespace
}  // namespace plk
