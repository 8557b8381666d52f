#include "platform/bmp.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"

// Accepted: the 12-byte core header (16-bit sizes, 3-byte colour table
// entries), the 40-byte header and its 52/56-byte extensions, V4 (108) and
// V5 (124). Pixel formats: 1/4/8-bit indexed, 16-bit (5-5-5 or bit fields,
// read into a 24-bit bitmap), 24-bit, 32-bit (plain or bit fields).
// Run-length and embedded JPEG/PNG compression are refused.

namespace plk {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::size_t kFileHeaderSize = 14;

[[noreturn]] void invalid() { throw AppError("Bitmap image is not valid"); }

std::uint16_t u16_at(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
std::uint32_t u32_at(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
           (static_cast<std::uint32_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

// One colour channel described by a bit mask, widened or narrowed to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;  // largest value of the masked field

    // False for a mask whose bits are not one contiguous run.
    bool set(std::uint32_t m) {
        mask = m;
        if (m == 0) return true;
        shift = std::countr_zero(m);
        const std::uint32_t field = m >> shift;
        if ((field & (field + 1)) != 0) return false;
        max = field;
        return true;
    }
    int value(std::uint32_t pixel) const {
        if (max == 0) return 0;
        return static_cast<int>((static_cast<std::uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

struct Header {
    std::uint32_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top-down
    int bpp = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colours_used = 0;
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue
    bool have_masks = false;
    std::size_t table_at = 0;  // file offset of the colour table
    int table_entry_size = 4;
};

Header read_header(std::span<const std::uint8_t> d) {
    Header h;
    if (d.size() < kFileHeaderSize + 4 || d[0] != 'B' || d[1] != 'M') invalid();
    h.header_size = u32_at(d, kFileHeaderSize);
    const std::size_t info = kFileHeaderSize;
    if (h.header_size == 12) {
        if (d.size() < info + 12) invalid();
        h.width = u16_at(d, info + 4);
        h.height = u16_at(d, info + 6);
        h.bpp = u16_at(d, info + 10);
        h.table_at = info + 12;
        h.table_entry_size = 3;
        return h;
    }
    if (h.header_size != 40 && h.header_size != 52 && h.header_size != 56 && h.header_size != 108 &&
        h.header_size != 124)
        invalid();
    if (d.size() < info + h.header_size) invalid();
    h.width = static_cast<std::int32_t>(u32_at(d, info + 4));
    h.height = static_cast<std::int32_t>(u32_at(d, info + 8));
    h.bpp = u16_at(d, info + 14);
    h.compression = u32_at(d, info + 16);
    h.colours_used = u32_at(d, info + 32);
    h.table_at = info + h.header_size;
    if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
        std::size_t masks_at = info + 40;
        if (h.header_size == 40) {
            // The three masks follow the short header, ahead of any colour table.
            const std::size_t extra = h.compression == kBiAlphaBitfields ? 16 : 12;
            if (d.size() < h.table_at + extra) invalid();
            h.table_at += extra;
        }
        for (int i = 0; i < 3; ++i) h.masks[i] = u32_at(d, masks_at + 4 * i);
        h.have_masks = true;
    }
    return h;
}

// Copies rows from the file into the bitmap, turning bottom-up files the right
// way round. convert(out_row, in_row) handles one row.
template <typename RowFn>
void copy_rows(Bitmap& bmp, std::span<const std::uint8_t> d, std::size_t data_at, std::size_t file_stride,
               bool top_down, RowFn convert) {
    const int h = bmp.height();
    for (int y = 0; y < h; ++y) {
        const int src_row = top_down ? y : h - 1 - y;
        convert(bmp.row(y), d.data() + data_at + static_cast<std::size_t>(src_row) * file_stride);
    }
}

}  // namespace

Bitmap decode_bmp(std::span<const std::uint8_t> d) {
    const Header h = read_header(d);
    // Sizes are bounded first so that nothing below can overflow.
    if (h.width <= 0 || h.width > kMaxBitmapSide) invalid();
    if (h.height == 0 || h.height > kMaxBitmapSide || h.height < -kMaxBitmapSide) invalid();
    const bool top_down = h.height < 0;
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(top_down ? -h.height : h.height);
    const int bpp = h.bpp;

    bool indexed = false;
    switch (bpp) {
    case 1: case 4: case 8:
        indexed = true;
        if (h.compression != kBiRgb) invalid();  // run-length data is not read
        break;
    case 16: case 32:
        if (h.compression != kBiRgb && h.compression != kBiBitfields && h.compression != kBiAlphaBitfields)
            invalid();
        break;
    case 24:
        if (h.compression != kBiRgb) invalid();
        break;
    default:
        invalid();
    }

    // Colour table: biClrUsed entries, or the full 2^bpp when it is 0. More
    // than the pixel format can index are not read.
    std::vector<Color> palette;
    std::size_t table_end = h.table_at;
    if (indexed) {
        const std::uint32_t full = 1u << bpp;
        const std::uint32_t count = h.colours_used == 0 || h.colours_used > full ? full : h.colours_used;
        const std::size_t entries_end = h.table_at + static_cast<std::size_t>(count) * h.table_entry_size;
        if (entries_end > d.size()) invalid();
        palette.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* e = d.data() + h.table_at + static_cast<std::size_t>(i) * h.table_entry_size;
            palette.push_back(rgb(e[2], e[1], e[0]));
        }
        table_end = entries_end;
    }

    // The pixel data starts where the file header says; 0 (left by some
    // writers) means straight after the colour table.
    const std::uint32_t offset = u32_at(d, 10);
    const std::size_t data_at = offset == 0 ? table_end : offset;
    if (data_at < kFileHeaderSize + 12 || data_at > d.size()) invalid();
    const std::size_t file_stride = ((static_cast<std::size_t>(bpp) * width + 31) / 32) * 4;
    const std::size_t last_row_bytes = (static_cast<std::size_t>(bpp) * width + 7) / 8;
    // The last row may lack its padding; every row before it must be whole.
    const std::size_t needed = (static_cast<std::size_t>(height) - 1) * file_stride + last_row_bytes;
    if (d.size() - data_at < needed) invalid();
    // From here on a row read may stop short only at the last row's padding.
    auto row_bytes = [&](int src_row) {
        return static_cast<std::size_t>(src_row) == static_cast<std::size_t>(height) - 1 ? last_row_bytes
                                                                                          : file_stride;
    };

    if (indexed) {
        Bitmap bmp(width, height, bpp);
        bmp.palette() = std::move(palette);
        for (int y = 0; y < height; ++y) {
            const int src_row = top_down ? y : height - 1 - y;
            std::uint8_t* out = bmp.row(y);
            std::memset(out, 0, bmp.stride());
            std::memcpy(out, d.data() + data_at + static_cast<std::size_t>(src_row) * file_stride,
                        std::min<std::size_t>(row_bytes(src_row), bmp.stride()));
        }
        return bmp;
    }

    if (bpp == 24) {
        Bitmap bmp(width, height, 24);
        copy_rows(bmp, d, data_at, file_stride, top_down, [&](std::uint8_t* out, const std::uint8_t* in) {
            std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
        });
        return bmp;
    }

    // 16 and 32 bits: plain files use the fixed layouts, bit-field files their masks.
    Channel r, g, b;
    std::uint32_t mr = bpp == 16 ? 0x7c00u : 0x00ff0000u;
    std::uint32_t mg = bpp == 16 ? 0x03e0u : 0x0000ff00u;
    std::uint32_t mb = bpp == 16 ? 0x001fu : 0x000000ffu;
    if (h.compression != kBiRgb) {
        if (!h.have_masks) invalid();
        mr = h.masks[0];
        mg = h.masks[1];
        mb = h.masks[2];
    }
    if (!r.set(mr) || !g.set(mg) || !b.set(mb)) invalid();

    if (bpp == 32 && mr == 0x00ff0000u && mg == 0x0000ff00u && mb == 0x000000ffu) {
        Bitmap bmp(width, height, 32);
        copy_rows(bmp, d, data_at, file_stride, top_down, [&](std::uint8_t* out, const std::uint8_t* in) {
            for (int x = 0; x < width; ++x) {
                out[4 * x] = in[4 * x];
                out[4 * x + 1] = in[4 * x + 1];
                out[4 * x + 2] = in[4 * x + 2];
                out[4 * x + 3] = 0;
            }
        });
        return bmp;
    }

    // Other masks, and all 16-bit files: one pixel at a time.
    const int out_bpp = bpp == 16 ? 24 : 32;
    const int out_step = out_bpp / 8;
    Bitmap bmp(width, height, out_bpp);
    copy_rows(bmp, d, data_at, file_stride, top_down, [&](std::uint8_t* out, const std::uint8_t* in) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t px = bpp == 16 ? static_cast<std::uint32_t>(in[2 * x] | (in[2 * x + 1] << 8))
                                               : static_cast<std::uint32_t>(in[4 * x]) |
                                                     (static_cast<std::uint32_t>(in[4 * x + 1]) << 8) |
                                                     (static_cast<std::uint32_t>(in[4 * x + 2]) << 16) |
                                                     (static_cast<std::uint32_t>(in[4 * x + 3]) << 24);
            std::uint8_t* o = out + static_cast<std::size_t>(x) * out_step;
            o[0] = static_cast<std::uint8_t>(b.value(px));
            o[1] = static_cast<std::uint8_t>(g.value(px));
            o[2] = static_cast<std::uint8_t>(r.value(px));
            if (out_step == 4) o[3] = 0;
        }
    });
    return bmp;
}

Bitmap read_bmp(const std::string& path) {
    return decode_bmp(read_file_bytes(path));
}

std::vector<std::uint8_t> encode_bmp(const Bitmap& bitmap) {
    if (bitmap.empty()) invalid();
    const int bpp = bitmap.bpp();
    const std::size_t stride = static_cast<std::size_t>(bitmap.stride());
    const std::size_t height = static_cast<std::size_t>(bitmap.height());
    // Indexed: the bitmap's palette as it is, or a full table (missing entries
    // black, as the bitmap reads them) when it is empty or oversized.
    std::vector<Color> table;
    std::uint32_t colours_used = 0;
    if (bpp <= 8) {
        const std::size_t full = std::size_t{1} << bpp;
        table = bitmap.palette();
        if (table.empty() || table.size() > full) {
            table.resize(full, kBlack);
        } else {
            colours_used = static_cast<std::uint32_t>(table.size());
        }
    }
    const std::size_t data_at = kFileHeaderSize + 40 + table.size() * 4;
    const std::size_t image_size = stride * height;
    std::vector<std::uint8_t> out(data_at + image_size, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, static_cast<std::uint32_t>(data_at));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(bitmap.width()));
    put32(22, static_cast<std::uint32_t>(bitmap.height()));  // positive: bottom-up
    put16(26, 1);
    put16(28, static_cast<std::uint32_t>(bpp));
    put32(30, kBiRgb);
    put32(34, static_cast<std::uint32_t>(image_size));
    put32(38, 3780);  // 96 dots per inch
    put32(42, 3780);
    put32(46, colours_used);
    put32(50, 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::uint8_t* e = out.data() + kFileHeaderSize + 40 + 4 * i;
        e[0] = static_cast<std::uint8_t>(blue_of(table[i]));
        e[1] = static_cast<std::uint8_t>(green_of(table[i]));
        e[2] = static_cast<std::uint8_t>(red_of(table[i]));
    }
    for (std::size_t y = 0; y < height; ++y)
        std::memcpy(out.data() + data_at + (height - 1 - y) * stride, bitmap.row(static_cast<int>(y)), stride);
    return out;
}

void write_bmp(const std::string& path, const Bitmap& bitmap) {
    write_file_atomic(path, encode_bmp(bitmap));
}

}  // namespace plk
