// The six helper functions of the "common" library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "helperlib/common.h"
#include "platform/bitmap.h"
#include "platform/dc.h"

namespace plk {
namespace {

TEST(Common, PenColourIsNotWallRed) { EXPECT_NE(getdwgpencolor(), kPureRed); }

TEST(Common, LineUsesPenAndMixAndSkipsLastPixel) {
    Bitmap b(8, 4);
    b.fill(kWhite);
    Dc dc(b);
    dc.select_pen(Pen{getdwgpencolor(), 1});
    line(dc, 1, 1, 5, 1);
    EXPECT_EQ(b.pixel(0, 1), kWhite);
    for (int x = 1; x < 5; ++x) EXPECT_EQ(b.pixel(x, 1), getdwgpencolor()) << x;
    EXPECT_EQ(b.pixel(5, 1), kWhite);

    // The same line twice in XOR leaves the pixels as they were.
    Bitmap before = b;
    dc.set_mix(MixMode::XorPen);
    line(dc, 0, 3, 7, 0);
    line(dc, 0, 3, 7, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) EXPECT_EQ(b.pixel(x, y), before.pixel(x, y)) << x << "," << y;
    }
}

TEST(Common, BoxDrawsTheFourSidesOnly) {
    Bitmap b(8, 8);
    b.fill(kWhite);
    Dc dc(b);
    Box(dc, 1, 1, 5, 4);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 1 && x <= 5 && y >= 1 && y <= 4;
            bool edge = inside && (x == 1 || x == 5 || y == 1 || y == 4);  // may be drawn
            if (!edge) {
                EXPECT_EQ(b.pixel(x, y), kWhite) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(b.pixel(1, 1), kBlack);
    EXPECT_EQ(b.pixel(3, 1), kBlack);
    EXPECT_EQ(b.pixel(1, 3), kBlack);
}

TEST(Common, DistanceIsRoundedAndNeverOverflows) {
    struct Case {
        int x1, y1, x2, y2;
        int want;
    };
    const Case cases[] = {
        {0, 0, 3, 4, 5},
        {3, 4, 0, 0, 5},
        {0, 0, 1, 1, 1},        // 1.414
        {0, 0, 3, 3, 4},        // 4.243
        {0, 0, 1, 2, 2},        // 2.236
        {10, 10, 10, 10, 0},
        {-30, 0, 6, 0, 36},
        {0, 0, 1, 0, 1},
        {INT_MIN, 0, INT_MAX, 0, INT_MAX},  // 2^32 - 1 does not fit: clamped
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX},
        {0, 0, 1000000, 1000000, 1414214},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cdistance(c.x1, c.y1, c.x2, c.y2), c.want) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(Common, SnapToGridCases) {
    Bitmap b(4, 4);
    Dc dc(b);
    struct Case {
        int x, y, spacing;
        Point want;
    };
    const Case cases[] = {
        {0, 0, 3, {0, 0}},
        {1, 1, 3, {0, 0}},
        {2, 4, 3, {3, 3}},
        {5, 8, 3, {6, 9}},
        {30, 318, 3, {30, 318}},  // a grid point maps to itself
        {-1, -2, 3, {0, -3}},
        {2, -2, 4, {4, 0}},       // halves go up, on both sides of zero
        {6, -6, 4, {8, -4}},
        {7, 9, 1, {7, 9}},
        {7, 9, 0, {7, 9}},        // no grid: unchanged
        {7, 9, -3, {7, 9}},
        {INT_MAX, INT_MIN, 1000, {2147483000, -2147483000}},  // stays in range
        {INT_MAX, INT_MIN, 3, {2147483646, -2147483646}},
        {5, 5, INT_MAX, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(adjustcoordstogrid(c.x, c.y, dc, c.spacing), c.want) << c.x << "," << c.y << " / " << c.spacing;
    }
}

TEST(Common, SnapLandsNearOnTheGridAndIsStable) {
    Bitmap b(4, 4);
    Dc dc(b);
    for (int spacing = 1; spacing <= 8; ++spacing) {
        for (int v = -40; v <= 40; ++v) {
            Point p = adjustcoordstogrid(v, -v, dc, spacing);
            EXPECT_EQ(p.x % spacing, 0);
            EXPECT_LE(std::abs(p.x - v), spacing / 2) << v << " / " << spacing;
            EXPECT_LE(std::abs(p.y + v), spacing / 2) << v << " / " << spacing;
            EXPECT_EQ(adjustcoordstogrid(p.x, p.y, dc, spacing), p) << v << " / " << spacing;
        }
    }
}

TEST(Common, RunAndWaitWaitsForTheProgram) {
    namespace fs = std::filesystem;
    fs::path marker = fs::temp_directory_path() / ("plk_common_" + std::to_string(::getpid()));
    fs::remove(marker);
    std::string cmd = "sh -c \"sleep 0.2; echo done > " + marker.string() + "\"";
    WinExecAndWait32(cmd.c_str());
    EXPECT_TRUE(fs::exists(marker));  // it returned only after the program ended
    fs::remove(marker);
}

TEST(Common, RunAndWaitIsQuietWhenNothingCanStart) {
    WinExecAndWait32(nullptr);
    WinExecAndWait32("");
    WinExecAndWait32("   ");
    WinExecAndWait32("plk_no_such_viewer.exe fdraw.gif");
    SUCCEED();
}

}  // namespace
}  // namespace plk
