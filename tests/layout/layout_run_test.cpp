// The layout run: scale, area, drawing, estimate lines, the picture, refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "editor/length_text.h"
#include "layout/layout_run.h"
#include "layout_fixtures.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/numfmt.h"

namespace plk {
namespace {

using test::load_design_fixture;
using test::set_outline;
using test::TempDir;

TEST(LayoutScale, WideTallAndReducedOutlines) {
    struct Case {
        const char* name;
        double w, h, scale;
    } cases[] = {
        {"square: by the height", 10, 10, 140},
        {"taller than wide", 5, 20, 70},
        {"wide, height fits", 20, 5, 102.5},
        {"wide, 2050 * h / w > 1400: 1350 / h", 10, 8, 1350.0 / 8},
        {"wide, just fits", 10, 6.829, 205},
    };
    for (const Case& c : cases) EXPECT_NEAR(layout_scale(c.w, c.h), c.scale, 1e-9) << c.name;
}

TEST(Estimate, CartonsRoundUp) {
    struct Case {
        int boards, per, cartons;
    } cases[] = {{57, 8, 8}, {56, 8, 7}, {0, 8, 0}, {1, 8, 1}, {9, 1, 9}};
    for (const Case& c : cases) EXPECT_EQ(carton_count(c.boards, c.per), c.cartons) << c.boards << "/" << c.per;
}

TEST(PolyArea, ShoelaceOfStartPoints) {
    const double sx[] = {0, 4, 4, 0}, sy[] = {0, 0, 3, 3};
    EXPECT_DOUBLE_EQ(polyarea(4, sx, sy), 12);
    const double rx[] = {0, 0, 4, 4}, ry[] = {0, 3, 3, 0};  // the other way round
    EXPECT_DOUBLE_EQ(polyarea(4, rx, ry), 12);
    const double lx[] = {0, 14, 14, 8, 8, 0}, ly[] = {0, 0, 7, 7, 12, 12};  // the L of the examples
    EXPECT_DOUBLE_EQ(polyarea(6, lx, ly), 14 * 12 - 6 * 5);
}

LayoutRunHooks quiet(std::vector<std::string>* memo = nullptr) {
    LayoutRunHooks h;
    if (memo) h.memo_add = [memo](const std::string& s) { memo->push_back(s); };
    return h;
}

TEST(DrawLayout, TenByEightExampleWorkedByHand) {
    // The 10 x 8 ft room (360 x 288 design pixels = 10.00008 x 8.000064 ft),
    // half stagger, kerf, boards 47.6377 x 7.5984 in.
    //   scale: 2050 / 10.00008 gives a height of 1639 px > 1400, so
    //   scale = 1350 / 8.000064 = 168.7487; left margin trunc((2400 - 1687.5) / 2) = 356;
    //   walls x 356 and 2043, y 80 and 1430; board_px = ceil(669.9) = 670,
    //   row_px = ceil(106.85) = 107; 13 rows (80, 187, ..., 1364).
    // Whole rows (odd; the first row starts whole): cells 2043-1373, 1373-703
    //   and 703-33, cut by the wall at 356: a piece of 347 px (2.056 ft) that
    //   leaves a left offcut of 3.9698 - 2.0563 - 0.0125 = 1.901 ft: 3 boards.
    //   Row 13 is cut lengthwise by the bottom wall: its two long cells scan a
    //   whole board length ("# n"), the corner cell as above: 3 boards.
    // Half rows (even): the first cell is 335 px = 1.985 ft, longer than any
    //   left offcut (1.901), so it is a counted starter leaving a right offcut
    //   of 1.9849 - 0.0125 = 1.9724 ft; two whole boards; the last cell
    //   (-302..368) is cut 12 px from its right edge: 0.071 ft <= 0.075, so it
    //   is counted but not drawn: 4 boards. The end pieces of the whole rows
    //   (2.056 ft) never fit into a right offcut (1.9724).
    // Boards: 7 whole rows * 3 + 6 half rows * 4 = 45; cartons ceil(45 / 8) = 6;
    // subtotal 6 * 23.55 = 141.30; tax 7.5 % = 10.5975; total 151.8975.
    DesignState d = load_design_fixture("rect_10x8.pk1");
    std::vector<std::string> memo;
    std::vector<LabelRecord> labels;
    LayoutRunHooks h = quiet(&memo);
    h.label_log = &labels;
    const LayoutSummary s = drawlayout(d, h);
    ASSERT_TRUE(s.ran);
    EXPECT_NEAR(s.scale, 1350 / 8.000064, 1e-9);
    EXPECT_EQ(s.left_margin, 356);
    EXPECT_EQ(s.board_px, 670);
    EXPECT_EQ(s.row_px, 107);
    EXPECT_EQ(s.start_x, 2043);
    EXPECT_EQ(s.start_y, 80);
    EXPECT_EQ(s.boards, 45);
    EXPECT_EQ(s.cartons, 6);
    EXPECT_NEAR(s.subtotal, 141.3, 1e-9);
    EXPECT_NEAR(s.tax, 10.5975, 1e-9);
    EXPECT_NEAR(s.total, 151.8975, 1e-9);
    const std::vector<std::string> want = {
        "Area 80.0 sq ft 7.43 m2", "Boards: 45 Cartons: 6", "Subtotal: " + format_money(141.3),
        "Tax: " + format_money(10.5975) + " @ 7.500%", "Total: " + format_money(151.8975)};
    EXPECT_EQ(s.lines, want);
    EXPECT_EQ(memo, want);
    EXPECT_EQ(d.edit_mode, 2);
    // The outline in pure red where no board was drawn over it, and the
    // vertices kept for the walk.
    EXPECT_EQ(d.polygon_points[0], (Point{356, 80}));
    EXPECT_EQ(d.polygon_points[2], (Point{2043, 1430}));
    EXPECT_EQ(d.layout_bitmap.pixel(356, 1000), kBlack);  // the left wall, found by a scan
    // Every board is numbered on the drawing except the six tiny end pieces
    // of the half rows (no offcut is reused in this room).
    int numbered = 0;
    for (const auto& l : labels) numbered += l.text[0] == '#';
    EXPECT_EQ(numbered, 45 - 6);
    EXPECT_EQ(labels.front().text, "#1");
    EXPECT_EQ(labels[2].text, "#3 Len: " + format_length(d, 347 / s.scale) + " (A)");
    EXPECT_EQ(labels[3].text, "#4 (B)");
}

TEST(DrawLayout, SameResultWithThePlainRule) {
    // The look-up table must not change a single label or pixel.
    for (const char* name : {"rect_10x8.pk1", "l_shape.pk1", "slanted.pk1", "hall_60x6.pk1"}) {
        SCOPED_TRACE(name);
        DesignState fast = load_design_fixture(name), plain = load_design_fixture(name);
        std::vector<LabelRecord> a, b;
        LayoutRunHooks hf, hp;
        hf.label_log = &a;
        hp.label_log = &b;
        hp.plain_rule = true;
        const LayoutSummary sf = drawlayout(fast, hf), sp = drawlayout(plain, hp);
        EXPECT_EQ(sf.boards, sp.boards);
        EXPECT_EQ(sf.lines, sp.lines);
        EXPECT_EQ(a, b);
        EXPECT_TRUE(fast.layout_bitmap.bits() == plain.layout_bitmap.bits());
    }
}

TEST(DrawLayout, ExamplesGiveTheirEstimates) {
    // rect_10x8 (the first bundled example): 45 boards, worked out above.
    //
    // hall_60x6: 60.0005 x 6.00005 ft, no stagger. scale 2050 / 60.0005 =
    //   34.166 (height 205 px, fits); walls x 175..2225, y 80..285;
    //   board_px ceil(135.6) = 136, row_px ceil(21.6) = 22: 10 rows. Each row:
    //   15 whole cells from 2225 down to 185, then 49..185 cut 10 px from its
    //   right end (0.29 ft, a board with an offcut nothing reuses); the last
    //   row is cut lengthwise and scans whole lengths. 10 * 16 = 160 boards,
    //   20 cartons of 8.
    //
    // l_shape (the second example): 14 x 12 ft, 6 x 5 ft notch at the bottom
    //   right, third stagger, boards 54.3306 in (4.5276 ft), 10 per carton.
    //   scale 1350 / 12.0001 = 112.499; walls x 412, 1312 (notch), 1987;
    //   y 80, 867 (notch), 1430; board_px 510, row_px 72: 19 rows (tops 80 +
    //   72k); first cells 510, 170, 340, 510, ... px.
    //   Upper rows k = 0..9 (1575 px wide):
    //     510-rows: 3 whole + the end cut 45 px (0.40 ft) -> 4 boards, left
    //       offcut 4.115.
    //     170-rows: the 1.511 ft first cell takes the best left offcut >= it
    //       (uncounted), 2 whole, end cut 385 px (3.42 ft) -> 3 boards, left
    //       offcut 1.093.
    //     340-rows: the 3.022 ft first cell takes a 4.115 offcut when one is
    //       left, 2 whole, end cut 215 px (1.91 ft) -> 3 (or 4 boards when it
    //       finds none: row 2), left offcut 2.604.
    //     k = 0..9: 4+3+4+4+3+3+4+3+3+4 = 35.
    //   Row k = 10 (800..872) meets the notch wall at 867: its first cell is
    //     measured as a 170 px piece (new board), the next scans from its left
    //     edge to its right edge (a whole length, "# n"), a whole cell, the end
    //     cut 385 px: 4 boards.
    //   Lower rows k = 11..18 (412..1312): the cell that the notch wall cuts
    //     is scanned from its left edge:
    //     340-rows: 175 px piece (new, right offcut 2.959), whole, end cut
    //       215 px takes that offcut: 2 boards.
    //     510-rows: 345 px piece (new, right offcut 1.448), whole, end cut
    //       45 px takes it: 2 boards (also the last row, cut lengthwise).
    //     170-rows: a 5 px piece (0.044 ft: counted, not drawn), whole, end
    //       cut 385 px with no right offcut long enough: 3 boards.
    //     k = 11..18 (340, 510, 170, 340, 510, 170, 340, 510): 18.
    //   35 + 4 + 18 = 57 boards, 6 cartons of 10.
    //
    // slanted (the third example): 16 x 10 ft, the wall from (16, 5) to
    //   (12, 10) ft, half stagger, boards 50.5905 in (4.2159 ft), 9 per carton.
    //   scale 2050 / 16.0001 = 128.124 (height 1281 px, fits); walls x 175,
    //   2225, y 80, 1361, the sloped wall from (2225, 720) to (1712, 1361):
    //   x = 2225 - 0.8 (y - 720). board_px 541, row_px 81: 16 rows.
    //   Whole rows end with a 427 px cut (3.333 ft, new board, left offcut
    //   0.871); half rows start with 270 px.
    //   Rows 0..6 (above the sloped wall): whole rows 3 + 1; half rows: the
    //     270 px starter (no left offcut is long enough) leaves a right offcut
    //     of 2.0954 that the row's own 157 px end cut (1.225 ft) takes:
    //     1 + 3 + 0. 7 * 4 = 28.
    //   Rows 7..14: the cell at the sloped wall is scanned from its left edge
    //     to the wall; pieces (px): row 7: 270 (new), 8: 534 (new, not within
    //     2 px of 541), 9: 198 (new), 10: 404 (new), 11: 68 (takes row 10's
    //     1.050 offcut), 12: 274 (new), 13: 479 (new; its first cell is wholly
    //     outside), 14: 144 (new). The half rows' 157 px end cut takes the
    //     right offcut of the row's own wall piece (rows 7, 9, 13) or, in row
    //     11, finds none (a new board). Boards: 4, 4, 4, 4, 4, 4, 3, 4 = 31.
    //   Row 15 (cut lengthwise by the bottom wall): first cell outside, the
    //     350 px piece at the sloped wall takes row 14's 3.080 offcut, two
    //     whole lengths ("# n"), the 157 px corner piece is new: 3.
    //   28 + 31 + 3 = 62 boards, 7 cartons of 9.
    struct Case {
        const char* file;
        double area;
        int boards;
        int cartons;
    } cases[] = {
        {"rect_10x8.pk1", 80.0013, 45, 6},
        {"hall_60x6.pk1", 360.0058, 160, 20},
        {"l_shape.pk1", 138.0022, 57, 6},  // 14 x 12 less 6 x 5
        {"slanted.pk1", 150.0025, 62, 7},  // 16 x 10 less the 4 x 5 / 2 triangle
        {"poly_100.pk1", -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DesignState d = load_design_fixture(c.file);
        const LayoutSummary s = drawlayout(d, quiet());
        ASSERT_EQ(s.lines.size(), 5u);
        if (c.area > 0) {
            EXPECT_NEAR(s.area, c.area, 1e-3);
        }
        if (c.boards >= 0) {
            EXPECT_EQ(s.boards, c.boards);
            EXPECT_EQ(s.cartons, c.cartons);
        }
        EXPECT_EQ(s.cartons, carton_count(s.boards, d.material.units_per_carton));
    }
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(DrawLayout, PictureOnlyWithExport) {
    TempDir tmp;
    const std::string gif = tmp.file("fdraw.gif");
    write_file_atomic(gif, std::string("old picture"));
    DesignState d = load_design_fixture("rect_10x8.pk1");
    LayoutRunHooks h;
    h.gif_path = gif;

    d.export_drawing = 0;
    drawlayout(d, h);
    EXPECT_EQ(slurp(gif), "old picture");  // left as it was

    d.export_drawing = 1;
    drawlayout(d, h);
    const std::string bytes = slurp(gif);
    ASSERT_GE(bytes.size(), 10u);
    EXPECT_EQ(bytes.substr(0, 4), "GIF8");
    // The logical screen is the whole canvas.
    const auto u16 = [&](int at) { return (unsigned char)bytes[at] | ((unsigned char)bytes[at + 1] << 8); };
    EXPECT_EQ(u16(6), 2400);
    EXPECT_EQ(u16(8), 1700);
}

TEST(DrawLayout, FooterBelowTheOutline) {
    DesignState d = load_design_fixture("rect_10x8.pk1");
    const LayoutSummary s = drawlayout(d, quiet());
    // Some label-coloured pixels on the footer's line, centred on x 1200.
    int found = 0, min_x = 1 << 30, max_x = -1;
    for (int y = s.end_y + 20; y <= s.end_y + 80; ++y)
        for (int x = 0; x < d.layout_bitmap.width(); ++x)
            if (d.layout_bitmap.pixel(x, y) == kLabelColor) {
                ++found;
                min_x = std::min(min_x, x);
                max_x = std::max(max_x, x);
            }
    ASSERT_GT(found, 100);
    EXPECT_NEAR((min_x + max_x) / 2.0, 1200, 20);
}

TEST(DrawLayout, NoOutlineDoesNothing) {
    DesignState d;
    reset_design(d);
    d.layout_bitmap = Bitmap(50, 50, 32);
    d.layout_bitmap.set_pixel(3, 3, kBlack);
    d.leftover_count = 9;
    std::vector<std::string> memo;
    const LayoutSummary s = drawlayout(d, quiet(&memo));
    EXPECT_FALSE(s.ran);
    EXPECT_TRUE(memo.empty());
    EXPECT_EQ(d.leftover_count, 9);
    EXPECT_EQ(d.edit_mode, 1);
    EXPECT_EQ(d.layout_bitmap.pixel(3, 3), kBlack);
}

TEST(DrawLayout, RefusesWhatWouldDivideByZeroOrRunAway) {
    struct Case {
        const char* name;
        void (*spoil)(DesignState&);
        const char* message_part;
    } cases[] = {
        {"board length 0", [](DesignState& d) { d.material.board_length = 0; }, "Board length must be greater than 0 (it is 0 inches)"},
        {"board length negative", [](DesignState& d) { d.material.board_length = -4; }, "(it is -4 inches)"},
        {"board length NaN", [](DesignState& d) { d.material.board_length = NAN; }, "Board length"},
        {"board width 0", [](DesignState& d) { d.material.board_width = 0; }, "Board width must be greater than 0 (it is 0 inches)"},
        {"no boards per carton", [](DesignState& d) { d.material.units_per_carton = 0; }, "Boards per carton must be at least 1 (it is 0)"},
        {"negative per carton", [](DesignState& d) { d.material.units_per_carton = -3; }, "(it is -3)"},
        {"no height", [](DesignState& d) { test::set_outline(d, {{30, 30}, {390, 30}}); }, "no height"},
        {"no width", [](DesignState& d) { test::set_outline(d, {{30, 30}, {30, 318}, {30, 100}}); }, "no width"},
        {"a single point", [](DesignState& d) { test::set_outline(d, {{30, 30}}); }, "no width"},
        {"too many walls", [](DesignState& d) {
             std::vector<Point> p;
             for (int i = 0; i < 101; ++i) p.push_back({30 + 3 * i, 30 + (i % 2) * 30});
             test::set_outline(d, p);
         }, "101 walls"},
        {"coordinate out of range", [](DesignState& d) { d.segments[1].x2 = 1e300; }, "out of range"},
        {"coordinate not a number", [](DesignState& d) { d.segments[0].y1 = NAN; }, "out of range"},
        {"tiny boards", [](DesignState& d) { d.material.board_length = 0.001; d.material.board_width = 0.001; }, "too small"},
        {"huge board", [](DesignState& d) { d.material.board_length = 1e12; }, "too large"},
        {"grid of 0 pixels", [](DesignState& d) { d.grid_pixels = 0; }, "grid scale"},
    };
    TempDir tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesignState d = load_design_fixture("rect_10x8.pk1");
        c.spoil(d);
        d.layout_bitmap.set_pixel(5, 5, kBlack);
        d.leftover_count = 7;
        d.export_drawing = 1;
        std::vector<std::string> memo;
        LayoutRunHooks h = quiet(&memo);
        h.gif_path = tmp.file("fdraw.gif");
        try {
            drawlayout(d, h);
            ADD_FAILURE() << "not refused";
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message_part), std::string::npos) << e.what();
        }
        // Nothing changed, nothing written.
        EXPECT_TRUE(memo.empty());
        EXPECT_EQ(d.leftover_count, 7);
        EXPECT_EQ(d.edit_mode, 2);  // as read
        EXPECT_EQ(d.layout_bitmap.pixel(5, 5), kBlack);
        EXPECT_EQ(d.layout_bitmap.pixel(6, 6), kWhite);
        EXPECT_FALSE(file_exists(h.gif_path));
    }
}

TEST(DrawLayout, OutlineFarFromTheOriginIsDrawnInTheDrawingArea) {
    // Every coordinate beyond 10000 (a canvas that large is allowed): the
    // bounding box is the outline's own, so the drawing and the count are those
    // of the same room near the origin.
    DesignState near = load_design_fixture("rect_10x8.pk1");
    DesignState far = load_design_fixture("rect_10x8.pk1");
    for (int i = 0; i < far.segment_count; ++i) {
        auto& s = far.segments[static_cast<std::size_t>(i)];
        s.x1 += 12000, s.x2 += 12000, s.y1 += 12000, s.y2 += 12000;
    }
    const LayoutSummary a = drawlayout(near, quiet()), b = drawlayout(far, quiet());
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.left_margin, b.left_margin);
    EXPECT_EQ(near.polygon_points[0], far.polygon_points[0]);
}

TEST(DrawLayout, ProgressShownDuringTheRunOnly) {
    DesignState d = load_design_fixture("l_shape.pk1");
    std::vector<std::string> events;
    LayoutRunHooks h;
    h.show_progress = [&](bool on) { events.push_back(on ? "show" : "hide"); };
    h.set_progress = [&](int p) {
        if (p == 0 || p == 100) events.push_back("at " + std::to_string(p));
    };
    h.show_memo = [&](bool on) { events.push_back(on ? "memo" : "no memo"); };
    h.set_wait_cursor = [&](bool on) { events.push_back(on ? "wait" : "normal"); };
    drawlayout(d, h);
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(events[0], "wait");
    EXPECT_EQ(events[1], "at 0");
    EXPECT_EQ(events[2], "show");
    EXPECT_EQ(events[events.size() - 2], "hide");
    EXPECT_EQ(events.back(), "memo");
}

}  // namespace
}  // namespace plk
