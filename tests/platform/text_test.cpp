// Text output: placement by alignment, cell height, background modes, clip,
// underline and font choice. Glyph shapes vary between font versions, so the
// checks look at the box of set pixels rather than at exact pictures.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/region.h"

namespace plk {
namespace {

constexpr Color kRed10 = rgb(255, 10, 10);

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    int count = 0;
    bool empty() const { return count == 0; }
    int width() const { return right - left + 1; }
};

// The box of pixels that are not `background`.
Box ink(const Bitmap& bm, Color background = kWhite) {
    Box b;
    for (int y = 0; y < bm.height(); ++y) {
        for (int x = 0; x < bm.width(); ++x) {
            if (bm.pixel(x, y) == background) continue;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
            ++b.count;
        }
    }
    return b;
}

Font font(const char* family, int height, int weight = 400, bool underline = false) {
    return Font{family, height, weight, underline};
}

TEST(Text, DefaultFontIsSmallAndLegible) {
    const Font f = default_font();
    EXPECT_EQ(f.family, "Arial");
    EXPECT_GE(f.height, 12);
    EXPECT_LE(f.height, 20);
    Bitmap bm(60, 30);
    Dc dc(bm);
    EXPECT_EQ(dc.font(), f);
    dc.text_out(2, 2, "12' 6\"");
    const Box b = ink(bm);
    ASSERT_FALSE(b.empty()) << "no font found for Arial";
    EXPECT_GT(b.width(), 20);
}

// Centred on x by the advance width, with the baseline on y: capitals sit
// on the row just above y and digits of a label are balanced around x.
TEST(Text, CenterBaselinePlacement) {
    struct Case {
        const char* family;
        int height;
        int weight;
        const char* text;
    };
    const Case cases[] = {
        {"Arial", 16, 400, "HHHH"},
        {"Arial", 64, 400, "FOR NON-COMMERCIAL USE ONLY"},
        {"Comic Sans MS", 30, 700, "DRAW OUTLINE"},
        {"Arial", 13, 700, "10' 4\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.height) + " " + c.text);
        Bitmap bm(1400, 160);
        Dc dc(bm);
        dc.select_font(font(c.family, c.height, c.weight));
        dc.set_text_align(TextAlign::CenterBaseline);
        dc.set_bk_mode(BkMode::Transparent);
        dc.set_text_color(kRed10);
        const int x = 700, y = 100;
        dc.text_out(x, y, c.text);
        const Box b = ink(bm);
        ASSERT_FALSE(b.empty());
        // No descenders in these texts: the lowest ink row is the one above
        // the baseline (round letters may overshoot onto the baseline row).
        EXPECT_GE(b.bottom, y - 2);
        EXPECT_LE(b.bottom, y);
        // Capitals reach up to half or more of the cell (the rest is the
        // font's descent and accent room, which varies by font).
        EXPECT_GE(y - b.top, 0.45 * c.height);
        EXPECT_LE(y - b.top, 0.85 * c.height + 1);
        // Centred: the ink box lies around x within the side bearings.
        const int slack = c.height / 8 + 2;
        EXPECT_NEAR((b.left + b.right) / 2.0, x, slack);
        const Point ext = dc.text_extent(c.text);
        EXPECT_LE(b.width(), ext.x);
        EXPECT_GE(b.left, x - ext.x / 2);
        EXPECT_LE(b.right, x - ext.x / 2 + ext.x - 1);
        // Only the text colour is drawn.
        for (int yy = b.top; yy <= b.bottom; ++yy)
            for (int xx = b.left; xx <= b.right; ++xx)
                ASSERT_TRUE(bm.pixel(xx, yy) == kWhite || bm.pixel(xx, yy) == kRed10);
    }
}

// The default alignment puts the top of the character cell at y and the
// left edge at x; a descender reaches into the bottom of the cell.
TEST(Text, LeftTopPlacementFillsTheCell) {
    for (int height : {11, 16, 30, 64}) {
        SCOPED_TRACE(height);
        Bitmap bm(400, 120);
        Dc dc(bm);
        dc.select_font(font("Arial", height));
        dc.set_bk_mode(BkMode::Transparent);
        dc.text_out(10, 20, "Hgjy");
        const Box b = ink(bm);
        ASSERT_FALSE(b.empty());
        EXPECT_GE(b.top, 20);
        EXPECT_LT(b.top, 20 + height / 2);
        EXPECT_LE(b.bottom, 20 + height - 1);
        EXPECT_GE(b.bottom, 20 + height * 3 / 4);
        EXPECT_GE(b.left, 10);
        EXPECT_LE(b.left, 10 + height / 4 + 1);
    }
}

// The extent's height is the cell height the font asked for; the width is
// the sum of advances, so it grows with the text and is 0 for no text.
TEST(Text, ExtentHeightIsTheCellHeight) {
    struct Case {
        const char* family;
        int height;
        int weight;
    };
    const Case cases[] = {{"Arial", 16, 400}, {"Arial", 64, 400}, {"Comic Sans MS", 30, 700},
                          {"MS Sans Serif", 11, 400}, {"No Such Family", 20, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        Bitmap bm(10, 10);
        Dc dc(bm);
        dc.select_font(font(c.family, c.height, c.weight));
        EXPECT_EQ(dc.text_extent("Ag").y, c.height);
        EXPECT_EQ(dc.text_extent("").x, 0);
        EXPECT_EQ(dc.text_extent("").y, c.height);
        const int one = dc.text_extent("8").x;
        EXPECT_GT(one, 0);
        EXPECT_EQ(dc.text_extent("88888").x, 5 * one);
    }
}

TEST(Text, OddHeightsStaySane) {
    struct Case {
        int height;
        int expect;
    };
    // 0 falls back to the default height; a negative height counts as its
    // size; a huge one is limited so that glyph bitmaps stay small.
    const Case cases[] = {{0, 16}, {-20, 20}, {1, 1}, {100000, 1024}};
    for (const Case& c : cases) {
        Bitmap bm(50, 50);
        Dc dc(bm);
        dc.select_font(font("Arial", c.height));
        EXPECT_EQ(dc.text_extent("W").y, c.expect) << c.height;
        dc.text_out(0, 0, "W");
    }
}

// Transparent text leaves every pixel that is not part of a glyph alone;
// opaque text first fills exactly the text cell with the background colour.
TEST(Text, BackgroundModes) {
    for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
        Bitmap bm(200, 60);
        bm.fill(rgb(240, 240, 240));
        Dc dc(bm);
        dc.select_font(font("Arial", 20));
        dc.set_bk_mode(mode);
        dc.set_bk_color(rgb(0, 0, 255));
        dc.set_text_color(kBlack);
        dc.set_text_align(TextAlign::CenterBaseline);
        dc.text_out(100, 40, "Oak 12");
        const Point ext = dc.text_extent("Oak 12");
        const int left = 100 - ext.x / 2, top = 40 - ext.y + ext.y / 5;  // approximate top, checked loosely below
        int blue = 0, black = 0;
        Box blue_box;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 200; ++x) {
                const Color c = bm.pixel(x, y);
                if (c == kBlack) ++black;
                if (c == rgb(0, 0, 255)) {
                    ++blue;
                    blue_box.left = std::min(blue_box.left, x);
                    blue_box.right = std::max(blue_box.right, x);
                    blue_box.top = std::min(blue_box.top, y);
                    blue_box.bottom = std::max(blue_box.bottom, y);
                }
            }
        }
        EXPECT_GT(black, 0);
        if (mode == BkMode::Transparent) {
            EXPECT_EQ(blue, 0);
        } else {
            EXPECT_EQ(blue_box.left, left);
            EXPECT_EQ(blue_box.right, left + ext.x - 1);
            EXPECT_EQ(blue_box.bottom - blue_box.top + 1, ext.y);
            EXPECT_NEAR(blue_box.top, top, 2);
            EXPECT_EQ(blue + black, ext.x * ext.y);  // the cell, all of it
        }
    }
}

TEST(Text, RespectsClipRegion) {
    Bitmap bm(200, 60);
    Dc dc(bm);
    dc.select_font(font("Arial", 30));
    dc.set_bk_mode(BkMode::Opaque);
    dc.set_bk_color(rgb(0, 0, 255));
    const Region left_half({{0, 0}, {100, 0}, {100, 60}, {0, 60}});
    dc.set_clip(&left_half);
    dc.text_out(40, 10, "WWWWWW");
    const Box b = ink(bm);
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(b.right, 99);
    EXPECT_EQ(b.left, 40);
}

TEST(Text, UnderlineRunsBelowTheBaselineAcrossTheText) {
    Bitmap plain_bm(300, 60), under_bm(300, 60);
    for (bool underline : {false, true}) {
        Bitmap& bm = underline ? under_bm : plain_bm;
        Dc dc(bm);
        dc.select_font(font("Arial", 13, 700, underline));
        dc.set_bk_mode(BkMode::Transparent);
        dc.set_text_align(TextAlign::CenterBaseline);
        dc.text_out(150, 30, "www.oak-floor.com");
    }
    const Box plain = ink(plain_bm), under = ink(under_bm);
    EXPECT_GT(under.bottom, plain.bottom);
    EXPECT_LE(under.bottom, 30 + 13 / 4 + 1);  // inside the cell's descent
    // The lowest row is one line as wide as the text.
    int run = 0;
    for (int x = 0; x < 300; ++x) run += under_bm.pixel(x, under.bottom) != kWhite;
    Bitmap probe(1, 1);
    Dc measure(probe);
    measure.select_font(font("Arial", 13, 700));
    EXPECT_EQ(run, measure.text_extent("www.oak-floor.com").x);
}

TEST(Text, BoldIsHeavierThanRegular) {
    int ink_count[2] = {0, 0};
    for (int bold = 0; bold < 2; ++bold) {
        Bitmap bm(500, 60);
        Dc dc(bm);
        dc.select_font(font("Comic Sans MS", 30, bold ? 700 : 400));
        dc.set_bk_mode(BkMode::Transparent);
        dc.text_out(5, 5, "Draw outline");
        ink_count[bold] = ink(bm).count;
    }
    EXPECT_GT(ink_count[0], 0);
    EXPECT_GT(ink_count[1], ink_count[0] * 11 / 10);
}

// Texts are UTF-8 when they decode as such; other bytes are one Latin-1
// character each. Neither crashes nor draws nothing.
TEST(Text, EncodingsAndControlCharacters) {
    const std::string texts[] = {"4,5 m\xC2\xB2", "4,5 m\xB2", std::string("a\0b", 3), "\xF0\x9F", "\xE2\x82\xAC 9\n"};
    for (const std::string& t : texts) {
        Bitmap bm(200, 40);
        Dc dc(bm);
        dc.set_bk_mode(BkMode::Transparent);
        dc.text_out(5, 5, t);
        EXPECT_GT(ink(bm).count, 0) << t;
        EXPECT_GT(dc.text_extent(t).x, 0);
    }
    // The UTF-8 and the Latin-1 spelling of the same text are the same width.
    Bitmap bm(1, 1);
    Dc dc(bm);
    EXPECT_EQ(dc.text_extent("m\xC2\xB2").x, dc.text_extent("m\xB2").x);
}

// Reference points at the ends of the int range and long texts neither
// overflow nor draw anywhere they should not.
TEST(Text, ExtremePositionsAndLongTexts) {
    Bitmap bm(40, 20);
    Dc dc(bm);
    dc.set_bk_mode(BkMode::Opaque);
    dc.set_bk_color(kRed10);
    for (TextAlign align : {TextAlign::LeftTop, TextAlign::CenterBaseline}) {
        dc.set_text_align(align);
        dc.text_out(INT32_MAX, INT32_MAX, "WWW");
        dc.text_out(INT32_MIN, INT32_MIN, "WWW");
        dc.text_out(INT32_MAX - 5, 5, "WWW");
        dc.text_out(INT32_MIN + 5, 5, "WWW");
    }
    EXPECT_EQ(ink(bm).count, 0);
    dc.set_text_align(TextAlign::LeftTop);
    const std::string long_text(20000, 'W');
    dc.text_out(-100, 2, long_text);
    EXPECT_EQ(ink(bm).count, 40 * 16);  // the opaque cell covers the whole width
    EXPECT_GT(dc.text_extent(long_text).x, 20000 * 8);
}

// A layout run writes a few hundred labels; after the first use of a font
// they must cost well under a millisecond each.
TEST(Text, HundredsOfLabelsAreQuick) {
    Bitmap bm(2400, 1700);
    Dc dc(bm);
    dc.set_text_align(TextAlign::CenterBaseline);
    dc.set_bk_mode(BkMode::Transparent);
    dc.set_text_color(kRed10);
    dc.text_out(100, 100, "0123456789");  // opens the font
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 400; ++i) dc.text_out(50 + (i % 40) * 55, 40 + (i / 40) * 150, std::to_string(i + 1));
    dc.select_font(font("Arial", 64));
    dc.text_out(1200, 1600, "FOR NON-COMMERCIAL USE ONLY");
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("labels_ms", std::to_string(ms));
    EXPECT_LT(ms, 200) << ms << " ms";
}

}  // namespace
}  // namespace plk
