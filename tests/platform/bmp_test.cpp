#include "tests/support/error_text.h"
#include "platform/bmp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "platform/error.h"
#include "platform/files.h"
#include "scratch_dir.h"

namespace plk {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string data_file(const std::string& name) { return std::string(PLK_TEST_DATA_DIR) + "/bmp/" + name; }

using plk::testing::error_text;

// ---------------------------------------------------------------------------
// Sample files written by an image tool.

// The 7 x 5 test picture: white with four marked pixels.
Color marked_picture(int x, int y) {
    if (x == 0 && y == 0) return rgb(255, 0, 0);
    if (x == 6 && y == 4) return rgb(0, 0, 255);
    if (x == 3 && y == 2) return rgb(0, 255, 0);
    if (x == 1 && y == 4) return kBlack;
    return kWhite;
}

struct SampleCase {
    const char* file;
    int width;
    int height;
    int bpp;  // depth of the decoded bitmap
    Color (*expected)(int x, int y);
};

// Keeps test names readable (and stable: the struct holds pointers).
void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.file; }

const SampleCase kSamples[] = {
    {"rgb24_v3.bmp", 7, 5, 24, marked_picture},
    {"rgb24_v5.bmp", 7, 5, 24, marked_picture},
    {"rgb24_core.bmp", 7, 5, 24, marked_picture},
    {"rgb32_v5_bitfields.bmp", 7, 5, 32, marked_picture},
    {"pal4_v3.bmp", 7, 5, 4, marked_picture},
    // 8-bit: a ramp along the top row, white below.
    {"pal8_v3.bmp", 20, 2, 8,
     [](int x, int y) { return y == 0 ? rgb(x * 12, 255 - x * 12, 7) : kWhite; }},
    // 1-bit, odd width so rows carry padding bits.
    {"mono1_v3.bmp", 9, 3, 1,
     [](int x, int y) { return (x == 0 && y == 0) || (x == 8 && y == 2) ? kBlack : kWhite; }},
};

class SampleFileTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleFileTest, ReadsEveryPixel) {
    const SampleCase& c = GetParam();
    const Bitmap bmp = read_bmp(data_file(c.file));
    ASSERT_EQ(bmp.width(), c.width);
    ASSERT_EQ(bmp.height(), c.height);
    EXPECT_EQ(bmp.bpp(), c.bpp);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            ASSERT_EQ(bmp.pixel(x, y), c.expected(x, y)) << c.file << " at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Bmp, SampleFileTest, ::testing::ValuesIn(kSamples),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& ch : name)
                                 if (ch == '.') ch = '_';
                             return name;
                         });

TEST(BmpRead, RefusesRunLengthFile) {
    EXPECT_EQ(error_text([] { read_bmp(data_file("rle8_v3.bmp")); }), "Bitmap image is not valid");
}

TEST(BmpRead, MissingOrUnreadableFileNamesThePathAsGiven) {
    plk::testing::ScratchDir dir;
    for (const std::string& path : {dir.file("absent.bmp"), dir.path(), std::string("no-such.bmp")})
        EXPECT_EQ(error_text([&] { read_bmp(path); }), "Cannot open file " + path);
}

// ---------------------------------------------------------------------------
// Files built byte by byte, for the variants and faults a tool rarely writes.

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct BmpParts {
    std::uint32_t header_size = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    int bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    std::vector<std::uint32_t> masks;  // after a 40-byte header, or inside a larger one
    std::vector<Color> table;
    Bytes pixels;  // rows exactly as stored in the file
    std::size_t gap = 0;  // bytes between the colour table and the pixels
    bool zero_offset = false;
};

Bytes build(const BmpParts& p) {
    const bool masks_outside = p.header_size == 40 && !p.masks.empty();
    const std::size_t table_at = 14 + p.header_size + (masks_outside ? 4 * p.masks.size() : 0);
    const std::size_t data_at = table_at + 4 * p.table.size() + p.gap;
    Bytes b(data_at + p.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, p.zero_offset ? 0 : static_cast<std::uint32_t>(data_at));
    put32(b, 14, p.header_size);
    put32(b, 18, static_cast<std::uint32_t>(p.width));
    put32(b, 22, static_cast<std::uint32_t>(p.height));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(p.bpp));
    put32(b, 30, p.compression);
    put32(b, 46, p.colours_used);
    for (std::size_t i = 0; i < p.masks.size(); ++i) put32(b, 54 + 4 * i, p.masks[i]);
    for (std::size_t i = 0; i < p.table.size(); ++i) {
        b[table_at + 4 * i] = static_cast<std::uint8_t>(blue_of(p.table[i]));
        b[table_at + 4 * i + 1] = static_cast<std::uint8_t>(green_of(p.table[i]));
        b[table_at + 4 * i + 2] = static_cast<std::uint8_t>(red_of(p.table[i]));
    }
    std::memcpy(b.data() + data_at, p.pixels.data(), p.pixels.size());
    return b;
}

// 2 x 2, 24-bit, bottom row first: (0,1)=red (1,1)=green / (0,0)=blue (1,0)=white.
BmpParts two_by_two() {
    BmpParts p;
    p.pixels = {0, 0, 255, 0, 255, 0, 0, 0,  // bottom row + 2 padding bytes
                255, 0, 0, 255, 255, 255, 0, 0};
    return p;
}

void expect_pixels(const Bitmap& bmp, std::initializer_list<Color> top_down_pixels) {
    auto it = top_down_pixels.begin();
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x, ++it) {
            ASSERT_NE(it, top_down_pixels.end());
            EXPECT_EQ(bmp.pixel(x, y), *it) << "at " << x << "," << y;
        }
}

TEST(BmpDecode, BottomUpAndTopDownRowsLandTheSameWayUp) {
    BmpParts up = two_by_two();
    expect_pixels(decode_bmp(build(up)), {rgb(0, 0, 255), kWhite, rgb(255, 0, 0), rgb(0, 255, 0)});

    BmpParts down = up;
    down.height = -2;
    std::swap_ranges(down.pixels.begin(), down.pixels.begin() + 8, down.pixels.begin() + 8);
    expect_pixels(decode_bmp(build(down)), {rgb(0, 0, 255), kWhite, rgb(255, 0, 0), rgb(0, 255, 0)});
}

TEST(BmpDecode, PixelOffsetFromTheFileHeaderIsHonoured) {
    BmpParts p = two_by_two();
    p.gap = 10;  // junk between header and pixels must be skipped, not read
    expect_pixels(decode_bmp(build(p)), {rgb(0, 0, 255), kWhite, rgb(255, 0, 0), rgb(0, 255, 0)});
    p.gap = 0;
    p.zero_offset = true;  // some writers leave it 0: pixels follow the header
    expect_pixels(decode_bmp(build(p)), {rgb(0, 0, 255), kWhite, rgb(255, 0, 0), rgb(0, 255, 0)});
}

TEST(BmpDecode, LastRowMayLackItsPadding) {
    BmpParts p = two_by_two();
    p.pixels.resize(14);  // the top row's two padding bytes are missing
    expect_pixels(decode_bmp(build(p)), {rgb(0, 0, 255), kWhite, rgb(255, 0, 0), rgb(0, 255, 0)});
}

TEST(BmpDecode, ShortColourTableFromColoursUsed) {
    BmpParts p;
    p.bpp = 8;
    p.width = 3;
    p.height = 1;
    p.colours_used = 3;
    p.table = {rgb(10, 20, 30), rgb(40, 50, 60), rgb(70, 80, 90)};
    p.pixels = {2, 0, 1, 0};
    const Bitmap bmp = decode_bmp(build(p));
    EXPECT_EQ(bmp.bpp(), 8);
    EXPECT_EQ(bmp.palette().size(), 3u);
    expect_pixels(bmp, {rgb(70, 80, 90), rgb(10, 20, 30), rgb(40, 50, 60)});
}

struct MaskCase {
    const char* name;
    std::uint32_t header_size;
    int bpp;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
    Bytes pixel;  // one pixel, padded to 4 bytes
    int out_bpp;
    Color expected;
};

class BmpMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(BmpMaskTest, DecodesOnePixel) {
    const MaskCase& c = GetParam();
    BmpParts p;
    p.header_size = c.header_size;
    p.width = 1;
    p.height = 1;
    p.bpp = c.bpp;
    p.compression = c.compression;
    p.masks = c.masks;
    p.pixels = c.pixel;
    const Bitmap bmp = decode_bmp(build(p));
    EXPECT_EQ(bmp.bpp(), c.out_bpp);
    EXPECT_EQ(bmp.pixel(0, 0), c.expected);
}

void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

const MaskCase kMaskCases[] = {
    {"plain32", 40, 32, 0, {}, {30, 20, 10, 99}, 32, rgb(10, 20, 30)},
    {"bitfields32_v3", 40, 32, 3, {0xff0000, 0xff00, 0xff}, {30, 20, 10, 0}, 32, rgb(10, 20, 30)},
    {"bitfields32_v4", 108, 32, 3, {0xff0000, 0xff00, 0xff, 0xff000000}, {30, 20, 10, 255}, 32, rgb(10, 20, 30)},
    {"bitfields32_swapped", 124, 32, 3, {0xff, 0xff00, 0xff0000}, {30, 20, 10, 0}, 32, rgb(30, 20, 10)},
    {"alphabitfields32", 40, 32, 6, {0xff0000, 0xff00, 0xff, 0xff000000}, {30, 20, 10, 7}, 32, rgb(10, 20, 30)},
    {"plain16_555_white", 40, 16, 0, {}, {0xff, 0x7f, 0, 0}, 24, kWhite},
    {"plain16_555_red", 40, 16, 0, {}, {0x00, 0x7c, 0, 0}, 24, rgb(255, 0, 0)},
    {"bitfields16_565_green", 40, 16, 3, {0xf800, 0x07e0, 0x001f}, {0xe0, 0x07, 0, 0}, 24, rgb(0, 255, 0)},
    {"bitfields16_565_mid", 56, 16, 3, {0xf800, 0x07e0, 0x001f, 0}, {0x10, 0x84, 0, 0}, 24,
     rgb(132, 130, 132)},
};

INSTANTIATE_TEST_SUITE_P(Bmp, BmpMaskTest, ::testing::ValuesIn(kMaskCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::function<Bytes()> make;
};

BmpParts with(std::function<void(BmpParts&)> change) {
    BmpParts p = two_by_two();
    change(p);
    return p;
}

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

const BadCase kBadCases[] = {
    {"empty", [] { return Bytes{}; }},
    {"magic_only", [] { return Bytes{'B', 'M'}; }},
    {"header_cut_short", [] { Bytes b = build(two_by_two()); b.resize(30); return b; }},
    {"wrong_magic", [] { Bytes b = build(two_by_two()); b[0] = 'P'; return b; }},
    {"unknown_header_size", [] { return build(with([](BmpParts& p) { p.header_size = 64; })); }},
    {"zero_width", [] { return build(with([](BmpParts& p) { p.width = 0; })); }},
    {"negative_width", [] { return build(with([](BmpParts& p) { p.width = -2; })); }},
    {"zero_height", [] { return build(with([](BmpParts& p) { p.height = 0; })); }},
    {"width_over_limit", [] { return build(with([](BmpParts& p) { p.width = kMaxBitmapSide + 1; })); }},
    {"height_over_limit", [] { return build(with([](BmpParts& p) { p.height = kMaxBitmapSide + 1; })); }},
    {"top_down_over_limit", [] { return build(with([](BmpParts& p) { p.height = -kMaxBitmapSide - 1; })); }},
    {"most_negative_height", [] { return build(with([](BmpParts& p) { p.height = INT_MIN; })); }},
    // A huge picture claimed by a tiny file must fail before anything is allocated.
    {"huge_size_tiny_file",
     [] { return build(with([](BmpParts& p) { p.width = kMaxBitmapSide; p.height = kMaxBitmapSide; })); }},
    {"two_bits_per_pixel", [] { return build(with([](BmpParts& p) { p.bpp = 2; })); }},
    {"zero_bits_per_pixel", [] { return build(with([](BmpParts& p) { p.bpp = 0; })); }},
    {"rle4", [] { return build(with([](BmpParts& p) { p.bpp = 4; p.compression = 2; })); }},
    {"rle8", [] { return build(with([](BmpParts& p) { p.bpp = 8; p.compression = 1; })); }},
    {"embedded_jpeg", [] { return build(with([](BmpParts& p) { p.compression = 4; })); }},
    {"bitfields_on_24_bits", [] { return build(with([](BmpParts& p) { p.compression = 3; })); }},
    {"mask_with_holes",
     [] {
         return build(with([](BmpParts& p) {
             p.bpp = 32;
             p.compression = 3;
             p.masks = {0xf0f000, 0xff00, 0xff};
             p.pixels.assign(16, 0);
         }));
     }},
    {"masks_cut_off",
     [] {
         Bytes b = build(with([](BmpParts& p) { p.bpp = 32; p.compression = 3; p.pixels.clear(); }));
         b.resize(14 + 40 + 8);
         return b;
     }},
    {"pixels_short_by_one", [] { Bytes b = build(two_by_two()); b.resize(b.size() - 3); return b; }},
    {"offset_past_end", [] { Bytes b = build(two_by_two()); put32(b, 10, 100000); return b; }},
    {"offset_into_file_header", [] { Bytes b = build(two_by_two()); put32(b, 10, 4); return b; }},
    {"offset_near_uint_max", [] { Bytes b = build(two_by_two()); put32(b, 10, 0xfffffff0u); return b; }},
    {"colour_table_past_end",
     [] {
         Bytes b = build(with([](BmpParts& p) { p.bpp = 8; p.pixels.assign(8, 0); }));
         b.resize(14 + 40 + 100);  // 256 entries promised, 25 present
         return b;
     }},
};

class BmpBadInputTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpBadInputTest, IsRefusedAsNotValid) {
    const Bytes b = GetParam().make();
    EXPECT_EQ(error_text([&] { decode_bmp(b); }), "Bitmap image is not valid");
}

INSTANTIATE_TEST_SUITE_P(Bmp, BmpBadInputTest, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Writing.

Bitmap random_bitmap(int width, int height, int bpp, unsigned seed) {
    Bitmap bmp(width, height, bpp);
    std::mt19937 rng(seed);
    for (std::uint8_t& byte : bmp.bits()) byte = static_cast<std::uint8_t>(rng());
    if (bpp <= 8)
        for (Color& c : bmp.palette()) c = rng() & 0xffffff;
    return bmp;
}

struct RoundTripCase {
    int bpp;
    int width;
    int height;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.bpp << " bpp, " << c.width << " x " << c.height;
}

class BmpRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(BmpRoundTripTest, DecodeGivesBackEveryPixelAtTheSameDepth) {
    const RoundTripCase& c = GetParam();
    const Bitmap original = random_bitmap(c.width, c.height, c.bpp, 7u * c.bpp + c.width);
    const Bytes file = encode_bmp(original);

    // 40-byte header, bottom-up (positive height), sizes that agree with the file.
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24);
    };
    EXPECT_EQ(u32(2), file.size());
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(u32(22)), c.height);
    EXPECT_EQ(u32(10) + static_cast<std::uint32_t>(original.stride() * c.height), file.size());

    const Bitmap back = decode_bmp(file);
    ASSERT_EQ(back.width(), c.width);
    ASSERT_EQ(back.height(), c.height);
    ASSERT_EQ(back.bpp(), c.bpp);
    EXPECT_EQ(back.palette(), original.palette());
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) ASSERT_EQ(back.pixel(x, y), original.pixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Bmp, BmpRoundTripTest,
                         ::testing::Values(RoundTripCase{1, 1, 1}, RoundTripCase{1, 33, 3}, RoundTripCase{4, 7, 5},
                                           RoundTripCase{8, 3, 4}, RoundTripCase{24, 1, 1},
                                           RoundTripCase{24, 7, 5}, RoundTripCase{32, 5, 3}),
                         [](const auto& info) {
                             return std::to_string(info.param.bpp) + "bpp_" + std::to_string(info.param.width) +
                                    "x" + std::to_string(info.param.height);
                         });

TEST(BmpEncode, IndexedPaletteShorterOrMissing) {
    Bitmap short_palette(4, 1, 8);
    short_palette.palette() = {rgb(1, 2, 3), rgb(4, 5, 6)};
    short_palette.row(0)[0] = 1;
    short_palette.row(0)[1] = 0;
    short_palette.row(0)[2] = 200;  // past the palette: reads as black
    Bitmap back = decode_bmp(encode_bmp(short_palette));
    EXPECT_EQ(back.palette().size(), 2u);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(back.pixel(x, 0), short_palette.pixel(x, 0)) << x;

    Bitmap no_palette(3, 1, 4);
    no_palette.palette().clear();
    back = decode_bmp(encode_bmp(no_palette));
    EXPECT_EQ(back.palette().size(), 16u);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(back.pixel(x, 0), kBlack);
}

TEST(BmpEncode, EmptyBitmapIsRefused) {
    EXPECT_EQ(error_text([] { encode_bmp(Bitmap()); }), "Bitmap image is not valid");
}

TEST(BmpWrite, WritesReadableFileAndReplacesOldOne) {
    plk::testing::ScratchDir dir;
    const std::string path = dir.file("out.bmp");
    write_file_atomic(path, std::string("old"));
    const Bitmap original = random_bitmap(6, 4, 24, 3);
    write_bmp(path, original);
    const Bitmap back = read_bmp(path);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(back.pixel(x, y), original.pixel(x, y));
}

TEST(BmpWrite, FailureNamesThePathAndLeavesOldFile) {
    plk::testing::ScratchDir dir;
    const std::string missing_dir = dir.file("no/such/dir/out.bmp");
    EXPECT_EQ(error_text([&] { write_bmp(missing_dir, Bitmap(2, 2, 24)); }), "Cannot create file " + missing_dir);

    const std::string existing = dir.file("keep.bmp");
    write_file_atomic(existing, std::string("precious"));
    EXPECT_THROW(write_bmp(existing, Bitmap()), AppError);
    EXPECT_EQ(read_file_bytes(existing), Bytes({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
}

}  // namespace
}  // namespace plk
