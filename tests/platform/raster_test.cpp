// Raster drawing of the device context: lines, boxes, fills, copies,
// stretches and polygon clips, checked against small expected pictures and
// against properties that must hold for every input.
//
// Expected pictures live in tests/data/golden/<name>.txt as one character
// per pixel (see kLegend). PLK_UPDATE_GOLDEN=1 rewrites them from the actual
// drawing; a mismatch writes the actual picture to <build>/golden-actual/.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/region.h"

namespace plk {
namespace {

constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kGrid = rgb(240, 240, 240);

struct Legend {
    char ch;
    Color color;
};
constexpr Legend kLegend[] = {
    {'.', kWhite}, {'#', kBlack}, {'r', kPureRed}, {'b', kBlue}, {'-', kGrid}, {'x', rgb(15, 15, 15)},
};

std::vector<Color> colours(const Bitmap& bm) {
    std::vector<Color> v;
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) v.push_back(bm.pixel(x, y));
    return v;
}

char art_char(Color c) {
    for (const Legend& l : kLegend)
        if (l.color == c) return l.ch;
    return '?';
}

std::string to_art(const Bitmap& bm) {
    std::string s;
    for (int y = 0; y < bm.height(); ++y) {
        for (int x = 0; x < bm.width(); ++x) s += art_char(bm.pixel(x, y));
        s += '\n';
    }
    return s;
}

std::string read_text(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void expect_golden(const Bitmap& bm, const std::string& name) {
    const std::filesystem::path expected_path = std::filesystem::path(PLK_TEST_DATA_DIR) / "golden" / (name + ".txt");
    const std::string actual = to_art(bm);
    const char* update = std::getenv("PLK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(expected_path, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(expected_path))
        << expected_path << " is missing; run with PLK_UPDATE_GOLDEN=1 to create it. Actual:\n" << actual;
    const std::string expected = read_text(expected_path);
    if (expected != actual) {
        const std::filesystem::path dir = std::filesystem::path(PLK_BIN_DIR).parent_path() / "golden-actual";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / (name + ".txt"), std::ios::binary) << actual;
        ADD_FAILURE() << "picture " << name << " differs (actual written to " << (dir / (name + ".txt"))
                      << ")\nexpected:\n" << expected << "actual:\n" << actual;
    }
}

Bitmap white(int w, int h, int bpp = 32) { return Bitmap(w, h, bpp); }

// A background that every XOR must restore: a grid of light lines.
Bitmap gridded(int w, int h) {
    Bitmap bm(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x % 4 == 0 || y % 3 == 0) bm.set_pixel(x, y, kGrid);
    return bm;
}

// Pixels compared by colour (the unused fourth byte of 32-bit pixels may differ).
bool same_pixels(const Bitmap& a, const Bitmap& b) { return colours(a) == colours(b); }

int count_not(const Bitmap& bm, Color c) {
    int n = 0;
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) n += bm.pixel(x, y) != c;
    return n;
}

// ---------------------------------------------------------------- lines

TEST(Line, EightOctantsFromTheCentre) {
    Bitmap bm = white(17, 17);
    Dc dc(bm);
    const Point ends[] = {{16, 11}, {14, 16}, {5, 16}, {0, 12}, {0, 4}, {4, 0}, {12, 0}, {16, 5}};
    for (const Point& e : ends) dc.line(8, 8, e.x, e.y);
    expect_golden(bm, "line_octants");
}

// In every direction: the first pixel is drawn, the last is not, and a width-1
// line sets exactly max(|dx|, |dy|) pixels, one per step of the major axis.
TEST(Line, FirstPixelDrawnLastExcludedOnePixelPerStep) {
    for (int dx = -6; dx <= 6; ++dx) {
        for (int dy = -6; dy <= 6; ++dy) {
            if (dx == 0 && dy == 0) continue;
            SCOPED_TRACE("dx " + std::to_string(dx) + " dy " + std::to_string(dy));
            Bitmap bm = white(15, 15);
            Dc dc(bm);
            dc.line(7, 7, 7 + dx, 7 + dy);
            EXPECT_EQ(bm.pixel(7, 7), kBlack);
            EXPECT_EQ(bm.pixel(7 + dx, 7 + dy), kWhite);
            EXPECT_EQ(count_not(bm, kWhite), std::max(std::abs(dx), std::abs(dy)));
        }
    }
}

TEST(Line, ZeroLengthDrawsNothing) {
    for (int width : {1, 3}) {
        Bitmap bm = white(5, 5);
        Dc dc(bm);
        dc.select_pen({kBlack, width});
        dc.line(2, 2, 2, 2);
        EXPECT_EQ(count_not(bm, kWhite), 0) << "width " << width;
    }
}

// Lines far outside the target are clipped, and the walk along them is
// bounded by the target rather than by the coordinates.
TEST(Line, HugeCoordinatesAreClippedQuickly) {
    Bitmap bm = white(20, 10);
    Dc dc(bm);
    const auto start = std::chrono::steady_clock::now();
    dc.line(-2000000000, 4, 2000000000, 4);
    dc.line(3, 2000000000, 3, -2000000000);
    dc.line(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    for (int x = 0; x < 20; ++x) EXPECT_NE(bm.pixel(x, 4), kWhite) << x;
    for (int y = 0; y < 10; ++y) EXPECT_NE(bm.pixel(3, y), kWhite) << y;
    EXPECT_EQ(bm.pixel(7, 7), kBlack);  // the diagonal through the origin
}

// A rubber band: a white pen XORed onto a white canvas with grid lines shows
// black on white and nearly black on the grid; the same line again restores.
TEST(Line, XorRubberBandOnGrid) {
    Bitmap bm = gridded(16, 10);
    const Bitmap before = bm;
    Dc dc(bm);
    dc.select_pen({kWhite, 1});
    dc.set_mix(MixMode::XorPen);
    dc.line(1, 1, 14, 8);
    expect_golden(bm, "line_xor_grid");
    dc.line(1, 1, 14, 8);
    EXPECT_TRUE(same_pixels(bm, before));
}

// Drawing the same line twice in XOR mode restores every pixel, whatever the
// direction, pen width, clipping at the edges or clip region.
TEST(Line, XorTwiceRestoresForEveryWidthAndDirection) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-5, 25);
    const Region clip({{2, 0}, {18, 3}, {10, 19}, {0, 12}});
    for (int width : {0, 1, 2, 3, 4, 7}) {
        for (bool clipped : {false, true}) {
            for (int i = 0; i < 60; ++i) {
                const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
                Bitmap bm = gridded(20, 20);
                const Bitmap before = bm;
                Dc dc(bm);
                if (clipped) dc.set_clip(&clip);
                dc.select_pen({rgb(200, 100, 50), width});
                dc.set_mix(MixMode::XorPen);
                dc.line(x1, y1, x2, y2);
                dc.line(x1, y1, x2, y2);
                ASSERT_TRUE(same_pixels(bm, before)) << "width " << width << " clipped " << clipped << " line " << x1
                                                    << "," << y1 << " -> " << x2 << "," << y2;
            }
        }
    }
}

// A wide pen stamps a square of the pen width around each point of the line:
// from p - w/2 to p - w/2 + w - 1 on each axis. In XOR mode every covered
// pixel changes once (overlapping squares must not cancel out).
TEST(Line, WidePens) {
    Bitmap bm = white(20, 14);
    Dc dc(bm);
    dc.select_pen({kBlack, 3});
    dc.line(2, 2, 9, 2);
    dc.line(2, 6, 8, 12);
    dc.select_pen({kBlue, 2});
    dc.line(12, 2, 12, 6);
    dc.set_mix(MixMode::XorPen);
    dc.select_pen({kWhite, 3});
    dc.line(11, 9, 18, 12);
    expect_golden(bm, "line_wide");
}

TEST(Line, MixModes) {
    struct Case {
        MixMode mode;
        Color pen;
        Color before;
        Color after;
    };
    const Case cases[] = {
        {MixMode::CopyPen, kBlue, kGrid, kBlue},
        {MixMode::XorPen, kWhite, kWhite, kBlack},
        {MixMode::XorPen, kWhite, kGrid, rgb(15, 15, 15)},
        {MixMode::XorPen, rgb(255, 0, 0), rgb(255, 10, 10), rgb(0, 10, 10)},
        {MixMode::White, kBlack, kBlue, kWhite},
    };
    for (const Case& c : cases) {
        Bitmap bm(4, 1);
        bm.fill(c.before);
        Dc dc(bm);
        dc.select_pen({c.pen, 1});
        dc.set_mix(c.mode);
        dc.line(0, 0, 3, 0);
        EXPECT_EQ(bm.pixel(0, 0), c.after) << static_cast<int>(c.mode);
        EXPECT_EQ(bm.pixel(3, 0), c.before) << "last pixel";
    }
}

// ---------------------------------------------------------------- rectangles

TEST(Rectangle, OutlinesThinAndWide) {
    Bitmap bm = white(22, 12);
    Dc dc(bm);
    dc.rectangle_outline(1, 1, 6, 5);
    dc.rectangle_outline(9, 10, 8, 7);  // corners in any order
    dc.rectangle_outline(3, 8, 3, 10);  // a degenerate box is a line
    dc.select_pen({kPureRed, 3});
    dc.rectangle_outline(13, 2, 19, 9);
    expect_golden(bm, "rectangle_outline");
}

TEST(Rectangle, XorTwiceRestoresAndCornersAreDrawnOnce) {
    struct Case {
        int x1, y1, x2, y2, width;
    };
    const Case cases[] = {
        {2, 2, 10, 8, 1}, {10, 8, 2, 2, 1}, {2, 2, 2, 8, 1}, {2, 5, 10, 5, 1},  {4, 4, 4, 4, 1},
        {2, 2, 10, 8, 3}, {3, 3, 5, 5, 4},  {-3, -2, 30, 25, 2}, {1, 1, 3, 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x1) + "," + std::to_string(c.y1) + " " + std::to_string(c.x2) + "," +
                     std::to_string(c.y2) + " w" + std::to_string(c.width));
        Bitmap bm = gridded(16, 14);
        const Bitmap before = bm;
        Dc dc(bm);
        dc.select_pen({kWhite, c.width});
        dc.set_mix(MixMode::XorPen);
        dc.rectangle_outline(c.x1, c.y1, c.x2, c.y2);
        // Every pixel of a thin frame changed once: none is back to its old value.
        if (c.width == 1 && c.x1 >= 0) {
            for (int x = std::min(c.x1, c.x2); x <= std::max(c.x1, c.x2); ++x)
                EXPECT_NE(bm.pixel(x, c.y1), before.pixel(x, c.y1)) << x;
        }
        dc.rectangle_outline(c.x1, c.y1, c.x2, c.y2);
        EXPECT_TRUE(same_pixels(bm, before));
    }
}

// Extreme corners and pen widths neither overflow nor hang: a frame far
// around the bitmap leaves it untouched, one through it draws its side, and
// a pen wider than any bitmap covers all of it.
TEST(Rectangle, ExtremeCornersAndPenWidths) {
    struct Case {
        int x1, y1, x2, y2, width;
        int expect_set;
    };
    const int M = INT32_MAX, m = INT32_MIN;
    const Case cases[] = {
        {m, m, M, M, 1, 0},
        {m, m, M, M, 3, 0},
        {m, 2, M, M, 1, 8},         // the top side runs through row 2
        {M, M, M, M, M, 0},
        {3, 3, 3, 3, M, 8 * 6},     // a huge square around one point
        {m, 2, M, 2, M, 8 * 6},
    };
    for (const Case& c : cases) {
        Bitmap bm = white(8, 6);
        Dc dc(bm);
        dc.select_pen({kBlack, c.width});
        dc.rectangle_outline(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(count_not(bm, kWhite), c.expect_set) << (&c - cases);
    }
    Bitmap bm = white(8, 6);
    Dc dc(bm);
    dc.select_pen({kBlack, M});
    dc.line(m, m, M, M);
    EXPECT_EQ(count_not(bm, kWhite), 8 * 6);
}

// ---------------------------------------------------------------- pixels, fills

TEST(Pixels, OutsideTargetAndClip) {
    Bitmap bm = white(6, 6);
    Dc dc(bm);
    dc.set_pixel(-1, 0, kBlack);
    dc.set_pixel(6, 0, kBlack);
    dc.set_pixel(0, 6, kBlack);
    EXPECT_EQ(count_not(bm, kWhite), 0);
    EXPECT_EQ(dc.get_pixel(-1, 0), kInvalidColor);
    EXPECT_EQ(dc.get_pixel(0, 6), kInvalidColor);
    const Region clip({{0, 0}, {3, 0}, {3, 6}, {0, 6}});
    dc.set_clip(&clip);
    EXPECT_TRUE(dc.has_clip());
    dc.set_pixel(2, 1, kBlue);
    dc.set_pixel(3, 1, kBlue);  // outside the clip
    EXPECT_EQ(dc.get_pixel(2, 1), kBlue);
    EXPECT_EQ(dc.get_pixel(4, 1), kInvalidColor);
    EXPECT_EQ(bm.pixel(3, 1), kWhite);
    dc.set_clip(nullptr);
    EXPECT_FALSE(dc.has_clip());
    EXPECT_EQ(dc.get_pixel(4, 1), kWhite);
}

TEST(Fill, PatBltOperationsAndFillWhite) {
    Bitmap bm = white(8, 6);
    Dc dc(bm);
    const Region clip({{0, 0}, {5, 0}, {5, 6}, {0, 6}});
    dc.set_clip(&clip);
    EXPECT_TRUE(dc.pat_blt(-2, 1, 20, 2, Dc::PatOp::Blackness));
    EXPECT_FALSE(dc.pat_blt(0, 0, 8, 6, Dc::PatOp::Source));  // needs a source: nothing drawn
    EXPECT_TRUE(dc.pat_blt(1, 2, 2, 1, Dc::PatOp::Whiteness));
    EXPECT_TRUE(dc.pat_blt(0, 4, 0, 5, Dc::PatOp::Blackness));   // empty
    EXPECT_TRUE(dc.pat_blt(0, 4, -3, 1, Dc::PatOp::Blackness));  // negative: empty
    const char* expected =
        "........\n"
        "#####...\n"
        "#..##...\n"
        "........\n"
        "........\n"
        "........\n";
    EXPECT_EQ(to_art(bm), expected);
    dc.fill_white();  // ignores the clip
    EXPECT_EQ(count_not(bm, kWhite), 0);
}

// ---------------------------------------------------------------- regions

// A pixel belongs to the region when its centre does, by the even-odd rule:
// the path below crosses itself so the square where its two loops overlap
// is covered twice and stays outside.
TEST(RegionClip, AlternateRuleLeavesOverlapUnfilled) {
    const Region overlap({{1, 1}, {9, 1}, {9, 7}, {5, 7}, {5, 4}, {13, 4}, {13, 10}, {1, 10}});
    Bitmap bm = white(15, 12);
    Dc dc(bm);
    dc.set_clip(&overlap);
    dc.pat_blt(0, 0, 15, 12, Dc::PatOp::Blackness);
    expect_golden(bm, "region_alternate");
}

TEST(RegionClip, SlantedEdgesUsePixelCentres) {
    const Region triangle({{0, 0}, {10, 0}, {0, 10}});
    Bitmap bm = white(11, 11);
    Dc dc(bm);
    dc.set_clip(&triangle);
    dc.pat_blt(0, 0, 11, 11, Dc::PatOp::Blackness);
    // Row y has its centres at y + 0.5, where the slanted edge is at
    // x = 9.5 - y. The centres strictly left of it are inside; a centre lying
    // exactly on a right-hand edge (x = 9 - y) is not, so no pixel is shared
    // by two regions meeting along that edge.
    for (int y = 0; y < 11; ++y) {
        int n = 0;
        for (int x = 0; x < 11; ++x) n += bm.pixel(x, y) == kBlack;
        EXPECT_EQ(n, std::max(0, 9 - y)) << "row " << y;
    }
}

// The per-row spans used for fast clipping agree with the pixel test for
// random polygons, including self-intersecting ones and ones partly outside.
TEST(RegionClip, SpansAgreeWithContains) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-4, 24);
    std::uniform_int_distribution<int> count(0, 9);
    for (int i = 0; i < 300; ++i) {
        std::vector<Point> pts(static_cast<std::size_t>(count(rng)));
        for (Point& p : pts) p = {coord(rng), coord(rng)};
        const Region r(pts);
        const auto rows = r.spans(20);
        ASSERT_EQ(rows.size(), 20u);
        for (int y = 0; y < 20; ++y) {
            for (std::size_t k = 1; k < rows[y].size(); ++k) ASSERT_LT(rows[y][k - 1].end, rows[y][k].begin);
            for (int x = -6; x < 27; ++x) {
                bool in_span = false;
                for (const Region::Span& s : rows[y]) in_span |= x >= s.begin && x < s.end;
                ASSERT_EQ(in_span, r.contains(x, y)) << "polygon " << i << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(RegionClip, DegenerateRegionsClipEverything) {
    for (const std::vector<Point>& pts :
         {std::vector<Point>{}, std::vector<Point>{{1, 1}}, std::vector<Point>{{0, 0}, {8, 8}},
          std::vector<Point>{{0, 2}, {5, 2}, {8, 2}}}) {
        const Region r(pts);
        Bitmap bm = white(8, 8);
        Dc dc(bm);
        dc.set_clip(&r);
        dc.pat_blt(0, 0, 8, 8, Dc::PatOp::Blackness);
        dc.line(0, 0, 8, 8);
        EXPECT_EQ(count_not(bm, kWhite), 0) << pts.size();
    }
}

// ---------------------------------------------------------------- copies

Bitmap numbered(int w, int h) {
    // Distinct colours, so every copied pixel shows where it came from.
    Bitmap bm(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bm.set_pixel(x, y, rgb(x, y, 100));
    return bm;
}

TEST(BitBlt, ClippedOnBothSides) {
    const Bitmap src = numbered(6, 5);
    struct Case {
        int dx, dy, w, h, sx, sy;
    };
    const Case cases[] = {
        {1, 1, 3, 2, 0, 0},     // inside
        {-2, -1, 6, 5, 0, 0},   // target rectangle starts outside
        {5, 4, 6, 6, 0, 0},     // runs past the target's right and bottom
        {0, 0, 6, 5, -2, -3},   // source rectangle starts outside
        {0, 0, 8, 8, 3, 2},     // runs past the source
        {0, 0, 0, 3, 0, 0},     // empty
        {0, 0, -3, 3, 0, 0},    // negative: empty
        {100, 0, 3, 3, 0, 0},   // entirely off the target
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy) + " " + std::to_string(c.w) + "x" +
                     std::to_string(c.h) + " from " + std::to_string(c.sx) + "," + std::to_string(c.sy));
        Bitmap bm = white(7, 6);
        Dc dc(bm);
        dc.bit_blt(c.dx, c.dy, c.w, c.h, src, c.sx, c.sy);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int ox = x - c.dx, oy = y - c.dy, sx = c.sx + ox, sy = c.sy + oy;
                const bool copied = ox >= 0 && oy >= 0 && ox < c.w && oy < c.h && src.contains(sx, sy);
                ASSERT_EQ(bm.pixel(x, y), copied ? src.pixel(sx, sy) : kWhite) << x << "," << y;
            }
        }
    }
}

TEST(BitBlt, RespectsClipAndOverlappingSelfCopy) {
    Bitmap bm = numbered(8, 4);
    const Bitmap orig = bm;
    Dc dc(bm);
    dc.bit_blt(2, 0, 6, 4, bm, 0, 0);  // shift right by two within itself
    for (int x = 2; x < 8; ++x) EXPECT_EQ(bm.pixel(x, 1), orig.pixel(x - 2, 1)) << x;

    Bitmap target = white(8, 8);
    Dc clipped(target);
    const Region r({{0, 0}, {8, 8}, {0, 8}});  // lower-left triangle
    clipped.set_clip(&r);
    const Bitmap src = numbered(8, 8);
    clipped.bit_blt(0, 0, 8, 8, src, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(target.pixel(x, y), r.contains(x, y) ? src.pixel(x, y) : kWhite);
}

TEST(BitBlt, BetweenDepths) {
    Bitmap indexed(4, 2, 8);
    indexed.palette()[7] = kBlue;
    indexed.set_pixel(1, 0, kBlue);
    Bitmap target = white(4, 2, 24);
    Dc dc(target);
    dc.bit_blt(0, 0, 4, 2, indexed, 0, 0);
    EXPECT_EQ(target.pixel(1, 0), kBlue);
    EXPECT_EQ(target.pixel(0, 0), indexed.pixel(0, 0));
}

// ---------------------------------------------------------------- stretches

TEST(StretchBlt, DoublingAndHalvingTakeTheNearestPixel) {
    Bitmap checker(2, 2);
    checker.set_pixel(0, 0, kBlack);
    checker.set_pixel(1, 1, kBlue);
    Bitmap bm = white(12, 6);
    Dc dc(bm);
    dc.stretch_blt(0, 0, 4, 4, checker, 0, 0, 2, 2);  // doubled
    Bitmap stripes(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) stripes.set_pixel(x, y, x % 2 ? kPureRed : (y % 2 ? kBlue : kBlack));
    dc.stretch_blt(5, 0, 4, 4, stripes, 0, 0, 8, 8);    // halved: even columns and rows
    dc.stretch_blt(10, 0, 2, 6, checker, 0, 0, 2, 2);   // 1:1 across, tripled down
    expect_golden(bm, "stretch_double_half");
}

// Every target pixel (tx, ty) of the rectangle takes the source pixel
// (sx + tx * sw / dw, sy + ty * sh / dh) with integer division.
TEST(StretchBlt, IntegerMappingForOddRatios) {
    const Bitmap src = numbered(9, 7);
    struct Case {
        int dx, dy, dw, dh, sx, sy, sw, sh;
    };
    const Case cases[] = {
        {0, 0, 7, 5, 0, 0, 3, 2},  {1, 2, 5, 3, 1, 1, 8, 6},  {-3, -2, 10, 9, 2, 1, 7, 5},
        {0, 0, 11, 8, 0, 0, 9, 7}, {2, 1, 3, 3, 6, 4, 5, 5},  // source runs past the bitmap
        {0, 0, 4, 4, -2, -2, 4, 4},                           // source starts outside
    };
    for (const Case& c : cases) {
        Bitmap bm = white(10, 8);
        Dc dc(bm);
        dc.stretch_blt(c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x) {
                const int tx = x - c.dx, ty = y - c.dy;
                Color want = kWhite;
                if (tx >= 0 && ty >= 0 && tx < c.dw && ty < c.dh) {
                    const int sx = c.sx + tx * c.sw / c.dw, sy = c.sy + ty * c.sh / c.dh;
                    if (src.contains(sx, sy)) want = src.pixel(sx, sy);
                }
                ASSERT_EQ(bm.pixel(x, y), want) << "case " << (&c - cases) << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(StretchBlt, EmptyOrMirroredRectanglesDrawNothing) {
    const Bitmap src = numbered(4, 4);
    const int sizes[][4] = {{0, 4, 4, 4}, {4, 0, 4, 4}, {4, 4, 0, 4}, {4, 4, 4, 0}, {-4, 4, 4, 4}, {4, 4, -4, 4}};
    for (const auto& s : sizes) {
        Bitmap bm = white(6, 6);
        Dc dc(bm);
        dc.stretch_blt(1, 1, s[0], s[1], src, 0, 0, s[2], s[3]);
        EXPECT_EQ(count_not(bm, kWhite), 0);
    }
}

// The floor texture: a tile stretched over the canvas inside a polygon clip
// lands only on pixels of the region.
TEST(StretchBlt, RespectsClipRegion) {
    Bitmap tile(3, 2);
    tile.fill(kBlue);
    tile.set_pixel(0, 0, kBlack);
    Bitmap bm = white(14, 10);
    Dc dc(bm);
    const Region room({{2, 1}, {12, 1}, {12, 5}, {7, 5}, {7, 9}, {2, 9}});
    dc.set_clip(&room);
    for (int y = 0; y < 10; y += 3)
        for (int x = 0; x < 14; x += 5) dc.stretch_blt(x, y, 5, 3, tile, 0, 0, 3, 2);
    expect_golden(bm, "stretch_clipped");
}

// Clipping costs about what the copy itself costs: the per-row spans are
// computed once when the clip is selected, not per pixel.
TEST(StretchBlt, ClippedFullCanvasIsAboutAsFastAsUnclipped) {
    Bitmap canvas(2400, 1700);
    Bitmap tile(78, 46);
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 78; ++x) tile.set_pixel(x, y, rgb(x * 3, y * 5, 90));
    std::vector<Point> pts;
    for (int i = 0; i < 100; ++i) {  // a 100-corner outline, the most the layout allows
        const double a = i * 2 * 3.14159265 / 100;
        const int r = i % 2 ? 800 : 700;
        pts.push_back({1200 + static_cast<int>(r * std::cos(a)), 850 + static_cast<int>(r * std::sin(a))});
    }
    const Region room(pts);
    auto fill = [&](bool clipped) {
        Dc dc(canvas);
        const auto start = std::chrono::steady_clock::now();
        if (clipped) dc.set_clip(&room);
        for (int y = 0; y < 1700; y += 30)
            for (int x = 0; x < 2400; x += 120) dc.stretch_blt(x, y, 120, 30, tile, 0, 0, 78, 46);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    fill(false);  // warm up
    const double plain = fill(false);
    const double clipped = fill(true);
    RecordProperty("unclipped_ms", std::to_string(plain));
    RecordProperty("clipped_ms", std::to_string(clipped));
    EXPECT_LT(clipped, 3 * plain + 20) << "unclipped " << plain << " ms, clipped " << clipped << " ms";
    EXPECT_EQ(canvas.pixel(5, 5), tile.pixel(5 * 78 / 120, 5 * 46 / 30));  // outside: from the unclipped pass
}

// Regions with corners near the ends of the int range still clip exactly.
TEST(RegionClip, HugeCoordinates) {
    const int big = 2147483000;
    const Region wide({{-big, -big}, {big, -big}, {big, big}, {-big, big}});
    const Region diamond({{0, -big}, {big, 0}, {0, big}, {-big, 0}});
    for (const Region* r : {&wide, &diamond}) {
        const auto rows = r->spans(4);
        for (int y = 0; y < 4; ++y) {
            ASSERT_EQ(rows[y].size(), 1u);
            EXPECT_LT(rows[y][0].begin, -1000000);
            EXPECT_GT(rows[y][0].end, 1000000);
            EXPECT_TRUE(r->contains(5, y));
        }
    }
}

// Every operation on an empty bitmap (no pixels) is harmless.
TEST(Dc, EmptyTargetDrawsNothing) {
    Bitmap empty;
    Dc dc(empty);
    const Region r({{0, 0}, {5, 0}, {0, 5}});
    dc.set_clip(&r);
    dc.select_pen({kBlack, 3});
    dc.line(-5, -5, 5, 5);
    dc.rectangle_outline(0, 0, 4, 4);
    dc.set_pixel(0, 0, kBlack);
    EXPECT_EQ(dc.get_pixel(0, 0), kInvalidColor);
    EXPECT_TRUE(dc.pat_blt(0, 0, 5, 5, Dc::PatOp::Blackness));
    dc.fill_white();
    const Bitmap src = numbered(3, 3);
    dc.bit_blt(0, 0, 3, 3, src, 0, 0);
    dc.stretch_blt(0, 0, 6, 6, src, 0, 0, 3, 3);
    dc.text_out(0, 0, "x");
    Bitmap target = white(3, 3);
    Dc into(target);
    into.bit_blt(0, 0, 3, 3, empty, 0, 0);
    into.stretch_blt(0, 0, 3, 3, empty, 0, 0, 2, 2);
    EXPECT_EQ(count_not(target, kWhite), 0);
}

// ---------------------------------------------------------------- indexed bitmaps

TEST(IndexedBitmap, GetAndSetUseThePalette) {
    struct Case {
        int bpp;
        Color set;
        Color expect;
    };
    const Case cases[] = {
        {1, kBlack, kBlack},          {1, rgb(200, 200, 200), kWhite}, {4, rgb(0x11, 0x11, 0x11), rgb(0x11, 0x11, 0x11)},
        {4, rgb(0x20, 0x20, 0x20), rgb(0x22, 0x22, 0x22)},             {8, rgb(10, 10, 10), rgb(10, 10, 10)},
        {8, kBlue, rgb(85, 85, 85)},  // nearest grey of the default ramp
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("bpp " + std::to_string(c.bpp));
        Bitmap bm(9, 3, c.bpp);
        Dc dc(bm);
        for (int x = 0; x < 9; ++x) EXPECT_EQ(dc.get_pixel(x, 1), kWhite);
        // Neighbours sharing a byte keep their values.
        dc.set_pixel(3, 1, c.set);
        EXPECT_EQ(dc.get_pixel(3, 1), c.expect);
        EXPECT_EQ(dc.get_pixel(2, 1), kWhite);
        EXPECT_EQ(dc.get_pixel(4, 1), kWhite);
        EXPECT_EQ(dc.get_pixel(3, 0), kWhite);
        dc.line(0, 2, 9, 2);
        for (int x = 0; x < 9; ++x) EXPECT_EQ(bm.pixel(x, 2), kBlack) << x;
    }
}

TEST(IndexedBitmap, XorLineOnAOneBitBitmapRestores) {
    Bitmap bm(10, 4, 1);
    bm.set_pixel(2, 1, kBlack);
    const Bitmap before = bm;
    Dc dc(bm);
    dc.select_pen({kWhite, 1});
    dc.set_mix(MixMode::XorPen);
    dc.line(0, 1, 9, 1);
    EXPECT_EQ(bm.pixel(0, 1), kBlack);
    EXPECT_EQ(bm.pixel(2, 1), kWhite);
    dc.line(0, 1, 9, 1);
    EXPECT_TRUE(same_pixels(bm, before));
}


// A palette longer than the depth allows (a file or caller may supply one):
// colours beyond the first 2^bpp entries are never chosen, so writing a pixel
// cannot spill an out-of-range index into its neighbour's bits.
TEST(IndexedBitmap, OverlongPaletteNeverSpillsIntoNeighbours) {
    for (int bpp : {1, 4}) {
        Bitmap bm(8, 1, bpp);
        const int n = 1 << bpp;
        bm.palette().resize(static_cast<std::size_t>(n) + 4, kBlue);  // extra entries: an exact match
        bm.set_pixel(0, 0, kBlack);
        bm.set_pixel(2, 0, kBlack);
        bm.set_pixel(1, 0, kBlue);
        EXPECT_EQ(bm.pixel(0, 0), kBlack) << bpp;
        EXPECT_EQ(bm.pixel(2, 0), kBlack) << bpp;
        EXPECT_NE(bm.pixel(1, 0), kBlue) << bpp;  // no such entry in range
    }
}

}  // namespace
}  // namespace plk
