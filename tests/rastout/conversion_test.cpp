// Bitmap -> packed DIB: the header, the colour table, the bottom-up rows,
// the block's size, and every failure path giving back what it took.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/dib.h"
#include "rastout/rastout.h"
#include "rastout_fixture.h"

namespace plk {
namespace {

using test::block_bytes;
using test::info_header_of;
using ConversionTest = test::RastoutTest;

// Records every allocation and resize the conversion asks for.
struct SizeLog {
    std::vector<std::size_t> allocs, reallocs;
    void install() {
        set_mem_hook([this](MemOp op, std::size_t bytes) {
            if (op == MemOp::Alloc) allocs.push_back(bytes);
            if (op == MemOp::Realloc) reallocs.push_back(bytes);
            return true;
        });
    }
};

struct LayoutCase {
    const char* name;
    int width, height, bpp;
    std::uint16_t requested_bits;
    std::uint16_t bit_count;
    std::uint32_t table_bytes, row_bytes;
};

TEST_F(ConversionTest, HeaderTableAndBlockSize) {
    const LayoutCase cases[] = {
        {"3 x 2 at 24 bits: no table, rows of 12", 3, 2, 24, 0, 24, 0, 12},
        {"33 wide at 1 bit: rows of 8, 2 entries", 33, 3, 1, 0, 1, 8, 8},
        {"4 bits: 16 entries", 9, 2, 4, 0, 4, 64, 8},
        {"8 bits: 256 entries", 5, 3, 8, 0, 8, 1024, 8},
        {"32 bits: no table", 2, 2, 32, 0, 32, 0, 8},
        {"24 bits asked of a 32-bit bitmap", 3, 1, 32, 24, 24, 0, 12},
        {"16 bits asked of a 24-bit bitmap", 3, 1, 24, 16, 16, 0, 8},
        {"8 bits asked of a 32-bit bitmap", 3, 1, 32, 8, 8, 1024, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap bm(c.width, c.height, c.bpp);
        SizeLog log;
        log.install();
        const MemHandle h = rastout::bitmap_to_dib(&bm, kDibRgb, c.requested_bits, nullptr);
        set_mem_hook({});
        ASSERT_NE(h, 0u);
        const auto bytes = block_bytes(h);
        const DibInfoHeader hd = info_header_of(bytes);
        EXPECT_EQ(hd.size, 40u);
        EXPECT_EQ(hd.width, c.width);
        EXPECT_EQ(hd.height, c.height);  // positive: bottom-up
        EXPECT_EQ(hd.planes, 1);
        EXPECT_EQ(hd.bit_count, c.bit_count);
        EXPECT_EQ(hd.compression, kDibRgb);
        EXPECT_EQ(hd.size_image, c.row_bytes * c.height);
        EXPECT_EQ(hd.x_pels_per_meter, 0);
        EXPECT_EQ(hd.y_pels_per_meter, 0);
        EXPECT_EQ(hd.clr_used, 0u);
        EXPECT_EQ(hd.clr_important, 0u);
        // First the header and table, then grown by the image.
        const std::size_t head = 40 + c.table_bytes;
        EXPECT_EQ(log.allocs, std::vector<std::size_t>{head});
        EXPECT_EQ(log.reallocs, std::vector<std::size_t>{head + c.row_bytes * c.height});
        EXPECT_EQ(bytes.size(), head + c.row_bytes * c.height);
        EXPECT_EQ(mem_free(h), 0u);
    }
}

TEST_F(ConversionTest, ThreeByTwoAt24BitsIsSixtyFourBytes) {
    Bitmap bm(3, 2, 24);
    const MemHandle h = rastout::bitmap_to_dib(&bm, kDibRgb, 0, nullptr);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(mem_size(h), 64u);
    mem_free(h);
}

TEST_F(ConversionTest, RowsAreBottomUpAndPadded) {
    Bitmap bm(3, 2, 24);
    bm.set_pixel(0, 0, rgb(1, 2, 3));    // top-left
    bm.set_pixel(2, 1, rgb(10, 20, 30)); // bottom-right
    const MemHandle h = rastout::bitmap_to_dib(&bm, kDibRgb, 0, nullptr);
    ASSERT_NE(h, 0u);
    const auto b = block_bytes(h);
    ASSERT_EQ(b.size(), 64u);
    const std::uint8_t* first = b.data() + 40;  // the bottom row
    const std::uint8_t* second = first + 12;    // the top row
    EXPECT_EQ(first[6], 30);  // B, G, R of (2, 1)
    EXPECT_EQ(first[7], 20);
    EXPECT_EQ(first[8], 10);
    EXPECT_EQ(second[0], 3);  // B, G, R of (0, 0)
    EXPECT_EQ(second[1], 2);
    EXPECT_EQ(second[2], 1);
    for (int pad = 9; pad < 12; ++pad) {
        EXPECT_EQ(first[pad], 0) << pad;
        EXPECT_EQ(second[pad], 0) << pad;
    }
    mem_free(h);
}

TEST_F(ConversionTest, IndexedBitmapKeepsItsIndicesAndColours) {
    Bitmap bm(33, 1, 1);
    bm.palette() = {rgb(200, 0, 0), rgb(0, 0, 200)};
    for (int x = 0; x < 33; ++x) bm.set_pixel(x, 0, rgb(200, 0, 0));
    bm.set_pixel(32, 0, rgb(0, 0, 200));  // the 33rd pixel: 5th byte, top bit
    const MemHandle h = rastout::bitmap_to_dib(&bm, kDibRgb, 0, nullptr);
    ASSERT_NE(h, 0u);
    const auto b = block_bytes(h);
    ASSERT_EQ(b.size(), 40u + 8u + 8u);
    const std::uint8_t table[8] = {0, 0, 200, 0, 200, 0, 0, 0};  // B, G, R, 0 each
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 40, b.begin() + 48), std::vector<std::uint8_t>(table, table + 8));
    const std::uint8_t* row = b.data() + 48;
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[3], 0);
    EXPECT_EQ(row[4], 0x80);
    mem_free(h);
}

TEST_F(ConversionTest, CallersPaletteColoursAnIndexedTargetAndIsPutBack) {
    const Palette palette{{rgb(0, 0, 0), rgb(250, 10, 10), rgb(10, 250, 10)}};
    Bitmap bm(2, 1, 32);
    bm.set_pixel(0, 0, rgb(240, 0, 0));
    bm.set_pixel(1, 0, rgb(0, 240, 0));
    const MemHandle h = rastout::bitmap_to_dib(&bm, kDibRgb, 8, &palette);
    ASSERT_NE(h, 0u);
    const auto b = block_bytes(h);
    ASSERT_EQ(b.size(), 40u + 1024u + 4u);
    // The table starts with the selected palette's colours; the rest is 0.
    EXPECT_EQ(b[40 + 4 + 2], 250);  // red of entry 1
    EXPECT_EQ(b[40 + 8 + 1], 250);  // green of entry 2
    EXPECT_EQ(b[40 + 12 + 0], 0);
    // Each pixel takes the nearest entry.
    EXPECT_EQ(b[40 + 1024], 1);
    EXPECT_EQ(b[40 + 1024 + 1], 2);
    mem_free(h);
    // The fixture checks that the screen context got its palette back.
}

TEST_F(ConversionTest, NoBitmapGivesNoBlock) {
    EXPECT_EQ(rastout::bitmap_to_dib(nullptr, kDibRgb, 0, nullptr), 0u);
}

TEST_F(ConversionTest, CompressedImageSizeIsEstimatedThenRefused) {
    // The platform cannot tell a run-length size in advance, so the estimate
    // (10 rows of 12 bytes x 3 / 2) sizes the block; it writes no run-length
    // rows, so the second pass fails and everything is given back.
    Bitmap bm(3, 10, 24);
    SizeLog log;
    log.install();
    EXPECT_EQ(rastout::bitmap_to_dib(&bm, kDibRle8, 0, nullptr), 0u);
    EXPECT_EQ(log.allocs, std::vector<std::size_t>{40});
    EXPECT_EQ(log.reallocs, std::vector<std::size_t>{40 + 180});
}

TEST_F(ConversionTest, EveryFailureGivesBackWhatItTook) {
    struct Case {
        const char* name;
        std::optional<MemOp> failing;  // the memory operation made to fail
        std::uint32_t compression;
        std::uint16_t bit_count;
    };
    const Case cases[] = {
        {"header block not allocated", MemOp::Alloc, kDibRgb, 0},
        {"block not grown", MemOp::Realloc, kDibRgb, 0},
        {"rows refused by the platform", std::nullopt, kDibRle4, 4},
        {"bit count the platform does not know", std::nullopt, kDibRgb, 7},
    };
    const Palette palette{{rgb(1, 2, 3)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap bm(6, 4, 4);
        const std::size_t before = mem_outstanding();
        const int leaks = screen_dc_palette_leaks();
        set_mem_hook([failing = c.failing](MemOp op, std::size_t) { return !failing || op != *failing; });
        EXPECT_EQ(rastout::bitmap_to_dib(&bm, c.compression, c.bit_count, &palette), 0u);
        set_mem_hook({});
        EXPECT_EQ(mem_outstanding(), before);
        EXPECT_EQ(screen_dcs_outstanding(), 0);
        EXPECT_EQ(screen_dc_palette_leaks(), leaks);
    }
}

TEST_F(ConversionTest, UnknownBitCountAllocatesNoImage) {
    // Without the refusal after the first pass, a bit count the platform
    // rejects would still grow the block by its estimate before failing.
    Bitmap bm(30000, 1, 1);
    SizeLog log;
    log.install();
    EXPECT_EQ(rastout::bitmap_to_dib(&bm, kDibRgb, 0xFFFF, nullptr), 0u);
    EXPECT_TRUE(log.reallocs.empty());
}

TEST_F(ConversionTest, SizeBeyondThirtyTwoBitsFailsBeforeGrowing) {
    // 30000 x 30000 at 32 bits is 3.6e9 bytes; compressed, x 3 / 2 passes
    // the 32-bit size field. The 1-bit bitmap itself is about 110 MB.
    Bitmap bm(30000, 30000, 1);
    SizeLog log;
    log.install();
    EXPECT_EQ(rastout::bitmap_to_dib(&bm, kDibRle8, 32, nullptr), 0u);
    EXPECT_EQ(log.allocs, std::vector<std::size_t>{40});
    EXPECT_TRUE(log.reallocs.empty());
}

}  // namespace
}  // namespace plk
