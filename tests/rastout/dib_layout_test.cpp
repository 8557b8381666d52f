// The packed DIB rules that do not depend on any bitmap: colour table sizes,
// row padding and the image size estimate with its bounds.
#include <gtest/gtest.h>

#include <optional>

#include "platform/dib.h"
#include "rastout/rastout.h"

namespace plk {
namespace {

struct TableCase {
    const char* name;
    std::uint32_t header_size;
    std::uint16_t bit_count;
    std::uint32_t clr_used;
    std::optional<std::uint16_t> bytes;
};

TEST(DibLayout, ColorTableBytes) {
    const TableCase cases[] = {
        {"1 bit: 2 entries", 40, 1, 0, 8},
        {"4 bits: 16 entries", 40, 4, 0, 64},
        {"8 bits: 256 entries", 40, 8, 0, 1024},
        {"16 bits: none", 40, 16, 0, 0},
        {"24 bits: none", 40, 24, 0, 0},
        {"32 bits: none", 40, 32, 0, 0},
        {"odd bit count: none", 40, 7, 0, 0},
        {"clr_used wins over the bit count", 40, 8, 16, 64},
        {"clr_used on a direct-colour DIB", 40, 24, 3, 12},
        {"larger info header counts like 40", 124, 4, 0, 64},
        {"core header: 3-byte entries, 1 bit", 12, 1, 0, 6},
        {"core header: 3-byte entries, 8 bits", 12, 8, 0, 768},
        {"core header ignores clr_used", 12, 8, 5, 768},
        {"largest count that fits 16 bits", 40, 8, 16383, 65532},
        {"count that would wrap 16 bits", 40, 8, 16384, std::nullopt},
        {"absurd count", 40, 8, 0xFFFFFFFFu, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dib_color_table_bytes(c.header_size, c.bit_count, c.clr_used), c.bytes);
    }
}

TEST(DibLayout, RowsPaddedToFourBytes) {
    struct Case { std::uint32_t bits; std::int64_t width; std::uint64_t bytes; };
    const Case cases[] = {
        {24, 3, 12}, {1, 33, 8}, {1, 32, 4}, {1, 1, 4}, {4, 9, 8}, {8, 5, 8},
        {16, 3, 8},  {32, 1, 4}, {24, 0, 0}, {24, -5, 0},
        {32, 0x7FFFFFFF, 0x1FFFFFFFCull},  // no 32-bit wrap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits x " << c.width);
        EXPECT_EQ(dib_row_bytes(c.bits, c.width), c.bytes);
    }
}

TEST(DibLayout, ImageSizeEstimate) {
    struct Case {
        const char* name;
        std::uint16_t bits;
        std::int64_t width, height;
        std::uint32_t compression;
        std::optional<std::uint32_t> size;
    };
    const Case cases[] = {
        {"3 x 2 at 24 bits", 24, 3, 2, kDibRgb, 24},
        {"10 rows of 12 uncompressed", 24, 3, 10, kDibRgb, 120},
        {"10 rows of 12 compressed: x 3 / 2", 24, 3, 10, kDibRle8, 180},
        {"any compression code counts", 8, 4, 1, 99, 6},
        {"empty bitmap", 32, 0, 0, kDibRgb, 0},
        {"largest canvas fits uncompressed", 32, 30000, 30000, kDibRgb, 3600000000u},
        {"largest canvas compressed overflows 32 bits", 32, 30000, 30000, kDibRle8, std::nullopt},
        {"huge width and height", 32, 0x7FFFFFFF, 0x7FFFFFFF, kDibRgb, std::nullopt},
        {"huge height, 4-byte rows", 1, 1, 0x7FFFFFFF, kDibRgb, std::nullopt},
        {"negative height", 24, 3, -2, kDibRgb, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rastout::estimate_image_size(c.bits, c.width, c.height, c.compression), c.size);
    }
}

TEST(DibLayout, ReadsBothHeaderKinds) {
    DibCoreHeader core;
    core.width = 0xFFFF;
    core.height = 3;
    core.bit_count = 8;
    auto v = read_dib_header(&core, sizeof core);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->header_size, 12u);
    EXPECT_EQ(v->width, 0xFFFF);  // 16 bits, unsigned
    EXPECT_EQ(v->height, 3);

    DibInfoHeader info;
    info.width = 5;
    info.height = -7;
    info.bit_count = 24;
    v = read_dib_header(&info, sizeof info);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->height, -7);

    // Too short for what the size field claims, or a size of neither kind.
    EXPECT_FALSE(read_dib_header(&info, 39));
    EXPECT_FALSE(read_dib_header(&core, 11));
    info.size = 41;
    EXPECT_FALSE(read_dib_header(&info, sizeof info));
    info.size = 16;
    EXPECT_FALSE(read_dib_header(&info, sizeof info));
    EXPECT_FALSE(read_dib_header(nullptr, 40));
}

}  // namespace
}  // namespace plk
