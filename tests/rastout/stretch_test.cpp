// Drawing a packed DIB: the whole bitmap stretched onto the destination,
// hand-built DIBs of each header kind, hostile blocks, and the fallback when
// there is no DIB.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/dc.h"
#include "platform/dib.h"
#include "rastout/rastout.h"
#include "rastout_fixture.h"

namespace plk {
namespace {

using StretchTest = test::RastoutTest;

constexpr Color kMarker = rgb(1, 2, 3);

// Copies bytes into a fresh block.
MemHandle make_block(const std::vector<std::uint8_t>& bytes) {
    const MemHandle h = mem_alloc(bytes.size());
    if (h != 0 && !bytes.empty()) {
        std::memcpy(mem_lock(h), bytes.data(), bytes.size());
        mem_unlock(h);
    }
    return h;
}

template <typename T>
void append(std::vector<std::uint8_t>& out, const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

std::vector<std::uint8_t> info_dib(DibInfoHeader h, std::vector<std::uint8_t> rest) {
    std::vector<std::uint8_t> out;
    append(out, h);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

DibInfoHeader info(std::int32_t w, std::int32_t h, std::uint16_t bits) {
    DibInfoHeader hd;
    hd.width = w;
    hd.height = h;
    hd.bit_count = bits;
    return hd;
}

// A distinct colour for every pixel of the test pattern.
Color pattern(int x, int y) { return rgb(x * 2, y * 5, (x + 3 * y) & 0xff); }

TEST_F(StretchTest, WholeBitmapDoubledInBothDirections) {
    // 100 x 50 onto 200 x 100: each source pixel becomes a 2 x 2 block, at
    // every depth; nothing outside the rectangle changes.
    for (const int bpp : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(::testing::Message() << bpp << " bits");
        Bitmap src(100, 50, bpp);
        if (bpp <= 8) {
            const int n = 1 << bpp;
            src.palette().resize(n);
            for (int i = 0; i < n; ++i) src.palette()[i] = rgb(i, 255 - i, 7 * i);
        }
        auto expected = [&](int x, int y) {
            return bpp <= 8 ? src.palette()[(x * 7 + y * 3) % src.palette().size()] : pattern(x, y);
        };
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x) src.set_pixel(x, y, expected(x, y));

        Bitmap target(220, 110, 32);
        target.fill(kMarker);
        Dc dc(target);
        EXPECT_EQ(StretchedOutput(&dc, &src, nullptr, 10, 5, 200, 100), 0u);
        int wrong = 0;
        for (int y = 0; y < 110; ++y) {
            for (int x = 0; x < 220; ++x) {
                const bool inside = x >= 10 && x < 210 && y >= 5 && y < 105;
                const Color want = inside ? expected((x - 10) / 2, (y - 5) / 2) : kMarker;
                if (target.pixel(x, y) != want && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << target.pixel(x, y)
                                  << " want " << want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(StretchTest, CallersPaletteIsPutBack) {
    const Palette palette{{rgb(9, 9, 9)}};
    Bitmap src(4, 4, 8);
    Bitmap target(8, 8, 32);
    Dc dc(target);
    EXPECT_EQ(StretchedOutput(&dc, &src, &palette, 0, 0, 8, 8), 0u);
    // The fixture checks the palette selection and the screen context.
}

TEST_F(StretchTest, NullBitmapDrawsNothing) {
    Bitmap target(8, 8, 32);
    target.fill(kMarker);
    Dc dc(target);
    EXPECT_EQ(StretchedOutput(&dc, nullptr, nullptr, 0, 0, 8, 8), 0u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(target.pixel(x, y), kMarker);
}

TEST_F(StretchTest, NoDibFallsBackToThePatternFill) {
    Bitmap target(8, 8, 32);
    target.fill(kMarker);
    Dc dc(target);
    // A source copy needs a source: nothing drawn, 0.
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 4, 4, 0, 0, 0, -1, -1, RasterOp::SrcCopy), 0);
    EXPECT_EQ(target.pixel(0, 0), kMarker);
    // An operation without a source is the pattern fill's own.
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 4, 4, 0, 0, 0, -1, -1, RasterOp::Blackness), 1);
    EXPECT_EQ(target.pixel(3, 3), kBlack);
    EXPECT_EQ(target.pixel(4, 4), kMarker);
}

TEST_F(StretchTest, FailedReleaseIsTheResult) {
    Bitmap src(2, 2, 32);
    src.fill(kWhite);
    Bitmap target(2, 2, 32);
    target.fill(kMarker);
    Dc dc(target);
    set_mem_hook([](MemOp op, std::size_t) { return op != MemOp::Free; });
    const std::uintptr_t kept = StretchedOutput(&dc, &src, nullptr, 0, 0, 2, 2);
    set_mem_hook({});
    EXPECT_NE(kept, 0u);
    EXPECT_EQ(target.pixel(1, 1), kWhite);  // drawn all the same
    EXPECT_EQ(mem_free(kept), 0u);
}

constexpr Color R = rgb(255, 0, 0), G = rgb(0, 255, 0), B = rgb(0, 0, 255);

struct DibCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int lines;                    // expected result
    std::vector<Color> pixels;    // 3 x 2, top row first; empty: nothing drawn
};

std::vector<DibCase> hand_built_dibs() {
    std::vector<DibCase> cases;
    {
        // Core header: 16-bit sizes, 3-byte (B, G, R) entries, rows bottom-up.
        DibCoreHeader core;
        core.width = 3;
        core.height = 2;
        core.bit_count = 1;
        std::vector<std::uint8_t> b;
        append(b, core);
        const std::uint8_t rest[] = {0, 0, 255, /* red */ 255, 0, 0, /* blue */
                                     0xA0, 0, 0, 0, /* bottom: 1 0 1 */ 0x40, 0, 0, 0 /* top: 0 1 0 */};
        b.insert(b.end(), rest, rest + sizeof rest);
        cases.push_back({"core header, 1 bit", b, 2, {R, B, R, B, R, B}});
    }
    {
        DibInfoHeader h = info(3, 2, 8);
        h.clr_used = 3;  // a short table: the rows follow its 12 bytes
        cases.push_back({"clr_used shortens the table",
                         info_dib(h, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0,
                                      2, 1, 0, 0, /* bottom */ 0, 1, 2, 0 /* top */}),
                         2, {R, G, B, B, G, R}});
    }
    cases.push_back({"24 bits top-down",
                     info_dib(info(3, -2, 24), {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,  // top
                                                255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0}),
                     2, {R, G, B, B, B, B}});
    cases.push_back({"16 bits, 5-5-5",
                     info_dib(info(3, 2, 16), {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0,  // bottom
                                               0x1F, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0, 0}),
                     2, {B, B, B, R, G, B}});
    {
        DibInfoHeader h = info(3, 2, 4);
        h.clr_used = 2;  // red, green; index 15 has no entry
        cases.push_back({"index past the table reads black",
                         info_dib(h, {0, 0, 255, 0, 0, 255, 0, 0,
                                      0x1F, 0x00, 0, 0, /* bottom: 1 15 0 */ 0x01, 0xF0, 0, 0 /* top: 0 1 15 */}),
                         2, {R, G, kBlack, G, kBlack, R}});
    }

    // Hostile or unusable blocks: refused, nothing drawn, nothing read
    // outside the block.
    auto refuse = [&](const char* name, std::vector<std::uint8_t> bytes) {
        cases.push_back({name, std::move(bytes), 0, {}});
    };
    const std::vector<std::uint8_t> rows24(24, 0x80);
    refuse("empty block", {});
    refuse("header cut short", std::vector<std::uint8_t>(20, 0));
    {
        DibInfoHeader h = info(3, 2, 24);
        h.size = 64;  // claims more header than the block holds
        refuse("header size past the block", info_dib(h, {}));
        h.size = 16;
        refuse("header size of no known kind", info_dib(h, rows24));
    }
    refuse("rows missing a byte", info_dib(info(3, 2, 24), std::vector<std::uint8_t>(23, 0)));
    refuse("width near 2^31", info_dib(info(0x7FFFFFFF, 1, 32), rows24));
    refuse("height near 2^31", info_dib(info(1, 0x7FFFFFFF, 32), rows24));
    refuse("most negative height", info_dib(info(1, INT32_MIN, 32), rows24));
    refuse("zero width", info_dib(info(0, 2, 24), rows24));
    refuse("negative width", info_dib(info(-3, 2, 24), rows24));
    refuse("bit count 7", info_dib(info(3, 2, 7), rows24));
    {
        DibInfoHeader h = info(3, 2, 8);
        h.clr_used = 16384;  // the table size would wrap 16 bits to 0
        refuse("colour table wrapping 16 bits", info_dib(h, rows24));
        h.clr_used = 0xFFFFFFFF;
        refuse("absurd colour count", info_dib(h, rows24));
        h.clr_used = 0;
        refuse("table missing", info_dib(h, rows24));
    }
    {
        DibInfoHeader h = info(3, 2, 8);
        h.compression = kDibRle8;
        refuse("run-length rows", info_dib(h, std::vector<std::uint8_t>(1024 + 24, 0)));
    }
    return cases;
}

TEST_F(StretchTest, HandBuiltDibs) {
    for (const auto& c : hand_built_dibs()) {
        SCOPED_TRACE(c.name);
        const MemHandle h = make_block(c.bytes);
        ASSERT_NE(h, 0u);
        Bitmap target(3, 2, 32);
        target.fill(kMarker);
        Dc dc(target);
        EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 3, 2, h, 0, 0, -1, -1, RasterOp::SrcCopy), c.lines);
        for (int i = 0; i < 6; ++i) {
            const Color want = c.pixels.empty() ? kMarker : c.pixels[i];
            EXPECT_EQ(target.pixel(i % 3, i / 3), want) << "pixel " << i % 3 << "," << i / 3;
        }
        EXPECT_EQ(mem_free(h), 0u);
    }
}

TEST_F(StretchTest, SourceRectangleCountsFromTheTop) {
    // 3 x 2 at 24 bits, bottom-up: the top row R G B, the bottom row B B B.
    const MemHandle h = make_block(info_dib(info(3, 2, 24), {255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0,
                                                             0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
    Bitmap target(4, 2, 32);
    Dc dc(target);
    // G B of the top row, doubled in width and height.
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 4, 2, h, 1, 0, 2, 1, RasterOp::SrcCopy), 1);
    const Color want[] = {G, G, B, B};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(target.pixel(x, y), want[x]) << x << "," << y;
    // A source rectangle reaching out of the image is refused.
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 4, 2, h, 2, 0, 2, 1, RasterOp::SrcCopy), 0);
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 4, 2, h, 0, -1, 2, 1, RasterOp::SrcCopy), 0);
    mem_free(h);
}

TEST_F(StretchTest, UnknownHandleAndNoDcDrawNothing) {
    Bitmap target(2, 2, 32);
    Dc dc(target);
    EXPECT_EQ(rastout::stretch_dib(&dc, 0, 0, 2, 2, 0xDEAD, 0, 0, -1, -1, RasterOp::SrcCopy), 0);
    Bitmap src(2, 2, 24);
    EXPECT_EQ(StretchedOutput(nullptr, &src, nullptr, 0, 0, 2, 2), 0u);
}

TEST_F(StretchTest, RandomBlocksNeverReadOutside) {
    // Headers of plausible and implausible values over blocks of random
    // length; run under the address sanitizer this shows every read stays
    // inside the block.
    std::mt19937 rng(12345);
    const std::int32_t sizes[] = {0, 1, 2, 3, 31, 33, -1, -2, 0x7FFF, 0xFFFF, 0x7FFFFFFF, INT32_MIN};
    const std::uint16_t bits[] = {0, 1, 4, 8, 16, 24, 32, 2, 64, 0xFFFF};
    const std::uint32_t clr[] = {0, 1, 2, 255, 256, 16383, 16384, 0xFFFFFFFF};
    Bitmap target(16, 16, 32);
    Dc dc(target);
    auto pick = [&](const auto& arr) { return arr[rng() % std::size(arr)]; };
    int drawn = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<std::uint8_t> bytes;
        if (rng() % 3 == 0) {
            DibCoreHeader h;
            h.width = static_cast<std::uint16_t>(pick(sizes));
            h.height = static_cast<std::uint16_t>(pick(sizes));
            h.bit_count = pick(bits);
            append(bytes, h);
        } else {
            DibInfoHeader h = info(pick(sizes), pick(sizes), pick(bits));
            h.clr_used = pick(clr);
            h.compression = rng() % 4 == 0 ? rng() % 3 : kDibRgb;
            if (rng() % 8 == 0) h.size = rng() % 200;
            append(bytes, h);
        }
        // Often just around the size the header asks for, where a reader
        // that is one off would step outside.
        std::size_t length = rng() % 2 ? rng() % 64 : rng() % 2000;
        if (const auto hv = read_dib_header(bytes.data(), bytes.size()); hv && rng() % 2) {
            const auto table = dib_color_table_bytes(hv->header_size, hv->bit_count, hv->clr_used);
            const std::uint64_t rows = dib_row_bytes(hv->bit_count, hv->width) *
                                       static_cast<std::uint64_t>(hv->height < 0 ? -hv->height : hv->height);
            const std::uint64_t need = hv->header_size + table.value_or(0) + rows;
            if (need < 100000) length = static_cast<std::size_t>(need) + rng() % 3 - 1;
        }
        bytes.resize(length, 0x5A);
        const MemHandle h = make_block(bytes);
        ASSERT_NE(h, 0u);
        if (rastout::stretch_dib(&dc, -3, -3, 20, 20, h, 0, 0, -1, -1, RasterOp::SrcCopy) > 0) ++drawn;
        mem_free(h);
    }
    // Some blocks must have been whole DIBs, or the reads were never tried.
    EXPECT_GT(drawn, 300) << drawn;
}

}  // namespace
}  // namespace plk
