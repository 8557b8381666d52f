#include "platform/dib.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace plk {

static_assert(std::endian::native == std::endian::little,
              "packed DIB headers are copied as they lie in memory");

// ---------------------------------------------------------------------------
// Packed DIB layout

namespace {

bool supported_bit_count(std::uint32_t bit_count) {
    return bit_count == 1 || bit_count == 4 || bit_count == 8 || bit_count == 16 || bit_count == 24 ||
           bit_count == 32;
}

std::uint32_t entries_by_bit_count(std::uint16_t bit_count) {
    switch (bit_count) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

}  // namespace

std::optional<DibHeaderView> read_dib_header(const void* bytes, std::size_t n) {
    if (bytes == nullptr || n < 4) return std::nullopt;
    std::uint32_t size = 0;
    std::memcpy(&size, bytes, 4);
    DibHeaderView v;
    v.header_size = size;
    if (size == kDibCoreHeaderSize) {
        if (n < kDibCoreHeaderSize) return std::nullopt;
        DibCoreHeader h;
        std::memcpy(&h, bytes, sizeof h);
        v.width = h.width;
        v.height = h.height;
        v.bit_count = h.bit_count;
        return v;
    }
    // Larger info headers (with colour masks and the like) begin with the
    // same 40 bytes; the declared size must lie within what is there.
    if (size < kDibInfoHeaderSize || size > n) return std::nullopt;
    DibInfoHeader h;
    std::memcpy(&h, bytes, sizeof h);
    v.width = h.width;
    v.height = h.height;
    v.bit_count = h.bit_count;
    v.compression = h.compression;
    v.size_image = h.size_image;
    v.clr_used = h.clr_used;
    return v;
}

std::uint64_t dib_row_bytes(std::uint32_t bit_count, std::int64_t width) {
    if (width < 0) return 0;
    return ((static_cast<std::uint64_t>(bit_count) * static_cast<std::uint64_t>(width) + 31) / 32) * 4;
}

std::uint32_t dib_color_entries(std::uint32_t header_size, std::uint16_t bit_count, std::uint32_t clr_used) {
    if (header_size != kDibCoreHeaderSize && clr_used != 0) return clr_used;
    return entries_by_bit_count(bit_count);
}

std::optional<std::uint16_t> dib_color_table_bytes(std::uint32_t header_size, std::uint16_t bit_count,
                                                   std::uint32_t clr_used) {
    const std::uint32_t entries = dib_color_entries(header_size, bit_count, clr_used);
    const std::uint32_t entry_size = header_size == kDibCoreHeaderSize ? 3 : 4;
    // A count past 16 bits would wrap and misplace the pixel rows.
    if (entries > 0xFFFFu / entry_size) return std::nullopt;
    return static_cast<std::uint16_t>(entries * entry_size);
}

// ---------------------------------------------------------------------------
// Movable memory blocks

namespace {

struct Block {
    std::uint8_t* data = nullptr;  // malloc'd, at least 1 byte
    std::size_t size = 0;
    int locks = 0;
};

std::mutex g_mem_mutex;
std::unordered_map<MemHandle, Block> g_blocks;
MemHandle g_next_handle = 1;
MemHook g_mem_hook;

bool hook_allows(MemOp op, std::size_t bytes) {
    MemHook hook;
    {
        std::lock_guard lock(g_mem_mutex);
        hook = g_mem_hook;
    }
    return !hook || hook(op, bytes);
}

}  // namespace

MemHandle mem_alloc(std::size_t bytes) {
    if (bytes > kMaxDibBytes || !hook_allows(MemOp::Alloc, bytes)) return 0;
    // calloc keeps large zero-filled blocks cheap until they are written.
    auto* data = static_cast<std::uint8_t*>(std::calloc(std::max<std::size_t>(bytes, 1), 1));
    if (data == nullptr) return 0;
    std::lock_guard lock(g_mem_mutex);
    const MemHandle h = g_next_handle++;
    g_blocks[h] = Block{data, bytes, 0};
    return h;
}

MemHandle mem_realloc(MemHandle block, std::size_t bytes) {
    {
        std::lock_guard lock(g_mem_mutex);
        auto it = g_blocks.find(block);
        if (it == g_blocks.end() || it->second.locks > 0) return 0;
    }
    if (bytes > kMaxDibBytes || !hook_allows(MemOp::Realloc, bytes)) return 0;
    std::lock_guard lock(g_mem_mutex);
    auto it = g_blocks.find(block);
    if (it == g_blocks.end() || it->second.locks > 0) return 0;
    Block& b = it->second;
    auto* data = static_cast<std::uint8_t*>(std::realloc(b.data, std::max<std::size_t>(bytes, 1)));
    if (data == nullptr) return 0;  // the old block is still there, unchanged
    if (bytes > b.size) std::memset(data + b.size, 0, bytes - b.size);
    b.data = data;
    b.size = bytes;
    return block;
}

void* mem_lock(MemHandle block) {
    std::lock_guard lock(g_mem_mutex);
    auto it = g_blocks.find(block);
    if (it == g_blocks.end()) return nullptr;
    ++it->second.locks;
    return it->second.data;
}

bool mem_unlock(MemHandle block) {
    std::lock_guard lock(g_mem_mutex);
    auto it = g_blocks.find(block);
    if (it == g_blocks.end() || it->second.locks == 0) return false;
    --it->second.locks;
    return true;
}

MemHandle mem_free(MemHandle block) {
    {
        std::lock_guard lock(g_mem_mutex);
        if (g_blocks.find(block) == g_blocks.end()) return block;
    }
    if (!hook_allows(MemOp::Free, 0)) return block;
    std::lock_guard lock(g_mem_mutex);
    auto it = g_blocks.find(block);
    if (it == g_blocks.end()) return block;
    std::free(it->second.data);
    g_blocks.erase(it);
    return 0;
}

std::size_t mem_size(MemHandle block) {
    std::lock_guard lock(g_mem_mutex);
    auto it = g_blocks.find(block);
    return it == g_blocks.end() ? 0 : it->second.size;
}

void set_mem_hook(MemHook hook) {
    std::lock_guard lock(g_mem_mutex);
    g_mem_hook = std::move(hook);
}

std::size_t mem_outstanding() {
    std::lock_guard lock(g_mem_mutex);
    return g_blocks.size();
}

// ---------------------------------------------------------------------------
// Palettes and the screen's device context

const Palette* default_palette() {
    static const Palette palette{{
        rgb(0, 0, 0),       rgb(128, 0, 0),     rgb(0, 128, 0),     rgb(128, 128, 0),   rgb(0, 0, 128),
        rgb(128, 0, 128),   rgb(0, 128, 128),   rgb(192, 192, 192), rgb(192, 220, 192), rgb(166, 202, 240),
        rgb(255, 251, 240), rgb(160, 160, 164), rgb(128, 128, 128), rgb(255, 0, 0),     rgb(0, 255, 0),
        rgb(255, 255, 0),   rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255),   rgb(255, 255, 255),
    }};
    return &palette;
}

struct ScreenDc {
    const Palette* palette = default_palette();
};

namespace {
std::atomic<int> g_screen_dcs{0};
std::atomic<int> g_palette_leaks{0};
}  // namespace

ScreenDc* get_screen_dc() {
    ++g_screen_dcs;
    return new ScreenDc;
}

bool release_screen_dc(ScreenDc* dc) {
    if (dc == nullptr) return false;
    if (dc->palette != default_palette()) ++g_palette_leaks;
    delete dc;
    --g_screen_dcs;
    return true;
}

const Palette* select_palette(ScreenDc* dc, const Palette* palette, bool /*background*/) {
    if (dc == nullptr) return nullptr;
    const Palette* previous = dc->palette;
    dc->palette = palette != nullptr ? palette : default_palette();
    return previous;
}

int realize_palette(ScreenDc* dc) {
    if (dc == nullptr) return 0;
    return static_cast<int>(std::min<std::size_t>(dc->palette->colors.size(), 256));
}

int screen_dcs_outstanding() { return g_screen_dcs.load(); }
int screen_dc_palette_leaks() { return g_palette_leaks.load(); }

// ---------------------------------------------------------------------------
// Bitmap description and DIB conversion

std::optional<BitmapObject> get_bitmap_object(const Bitmap* bitmap) {
    if (bitmap == nullptr) return std::nullopt;
    return BitmapObject{bitmap->width(), bitmap->height(), 1, bitmap->bpp()};
}

namespace {

void put_index(std::uint8_t* row, int x, int bit_count, int index) {
    if (bit_count == 8) {
        row[x] = static_cast<std::uint8_t>(index);
    } else if (bit_count == 4) {
        const int shift = (x & 1) ? 0 : 4;
        row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | ((index & 0x0f) << shift));
    } else {
        row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | ((index & 1) << (7 - (x & 7))));
    }
}

int get_index(const std::uint8_t* row, std::int64_t x, int bit_count) {
    if (bit_count == 8) return row[x];
    if (bit_count == 4) return (x & 1) ? (row[x / 2] & 0x0f) : (row[x / 2] >> 4);
    return (row[x / 8] >> (7 - (x & 7))) & 1;
}

void put_direct(std::uint8_t* row, int x, int bit_count, Color c) {
    const auto r = static_cast<std::uint8_t>(red_of(c));
    const auto g = static_cast<std::uint8_t>(green_of(c));
    const auto b = static_cast<std::uint8_t>(blue_of(c));
    switch (bit_count) {
    case 16: {
        const unsigned v = ((r >> 3u) << 10) | ((g >> 3u) << 5) | (b >> 3u);
        row[2 * x] = static_cast<std::uint8_t>(v & 0xff);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    case 24:
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
        break;
    default:
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = 0;
        break;
    }
}

// Spreads a 5-bit channel over 0..255.
int widen5(unsigned v) { return static_cast<int>((v << 3) | (v >> 2)); }

Color get_direct(const std::uint8_t* row, std::int64_t x, int bit_count) {
    switch (bit_count) {
    case 16: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8u);
        return rgb(widen5((v >> 10) & 31), widen5((v >> 5) & 31), widen5(v & 31));
    }
    case 24: return rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

// The colours an indexed target of `bit_count` bits gets for this bitmap.
std::vector<Color> target_table(const ScreenDc& dc, const Bitmap& bitmap, int bit_count) {
    const std::size_t n = std::size_t{1} << bit_count;
    std::vector<Color> table;
    if (bitmap.bpp() == bit_count) {
        table = bitmap.palette();
    } else if (bit_count == 1) {
        table = {kBlack, kWhite};
    } else {
        table = dc.palette->colors;
        if (table.empty()) table = default_palette()->colors;
    }
    if (table.size() > n) table.resize(n);
    return table;
}

}  // namespace

int get_dibits(ScreenDc* dc, const Bitmap& bitmap, unsigned start, unsigned lines, void* bits,
               std::size_t bits_size, void* info, std::size_t info_size) {
    if (dc == nullptr || bitmap.empty()) return 0;
    const auto hv = read_dib_header(info, info_size);
    if (!hv) return 0;
    const bool core = hv->header_size == kDibCoreHeaderSize;
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height();
    if (hv->width != width || (hv->height != height && hv->height != -height)) return 0;
    const bool bottom_up = hv->height > 0;
    const std::uint16_t bit_count = hv->bit_count != 0 ? hv->bit_count : static_cast<std::uint16_t>(bitmap.bpp());
    if (!supported_bit_count(bit_count)) return 0;
    const std::uint32_t compression = hv->compression;
    if (compression != kDibRgb && compression != kDibRle8 && compression != kDibRle4) return 0;
    if (compression != kDibRgb && !bottom_up) return 0;
    const std::uint64_t row_bytes = dib_row_bytes(bit_count, width);
    const std::uint64_t image_bytes = row_bytes * static_cast<std::uint64_t>(height);
    if (image_bytes > kMaxDibBytes) return 0;

    // Complete the header.
    auto* header = static_cast<std::uint8_t*>(info);
    if (core) {
        std::memcpy(header + offsetof(DibCoreHeader, bit_count), &bit_count, sizeof bit_count);
    } else {
        std::memcpy(header + offsetof(DibInfoHeader, bit_count), &bit_count, sizeof bit_count);
        const auto size_image = compression == kDibRgb ? static_cast<std::uint32_t>(image_bytes) : 0u;
        std::memcpy(header + offsetof(DibInfoHeader, size_image), &size_image, sizeof size_image);
    }
    if (bits == nullptr) return static_cast<int>(height);

    // This platform writes uncompressed rows only.
    if (compression != kDibRgb) return 0;
    const auto table_bytes = dib_color_table_bytes(hv->header_size, bit_count, hv->clr_used);
    if (!table_bytes || std::uint64_t{hv->header_size} + *table_bytes > info_size) return 0;
    if (start >= height) return 0;
    const std::uint64_t count = std::min<std::uint64_t>(lines, static_cast<std::uint64_t>(height) - start);
    if (count == 0 || row_bytes * count > bits_size) return 0;

    // Colour table.
    const bool indexed = bit_count <= 8;
    const std::vector<Color> table = indexed ? target_table(*dc, bitmap, bit_count) : std::vector<Color>{};
    const std::uint32_t entries = dib_color_entries(hv->header_size, bit_count, hv->clr_used);
    const std::size_t entry_size = core ? 3 : 4;
    std::uint8_t* entry = header + hv->header_size;
    for (std::uint32_t i = 0; i < entries; ++i, entry += entry_size) {
        const Color c = i < table.size() ? table[i] : kBlack;
        entry[0] = static_cast<std::uint8_t>(blue_of(c));
        entry[1] = static_cast<std::uint8_t>(green_of(c));
        entry[2] = static_cast<std::uint8_t>(red_of(c));
        if (!core) entry[3] = 0;
    }

    // Rows.
    const bool same_layout = bit_count == bitmap.bpp();
    std::unordered_map<Color, int> nearest_cache;
    auto* out = static_cast<std::uint8_t*>(bits);
    for (std::uint64_t k = 0; k < count; ++k) {
        const std::uint64_t scan = start + k;
        const int y = static_cast<int>(bottom_up ? height - 1 - static_cast<std::int64_t>(scan) : scan);
        std::uint8_t* dst = out + k * row_bytes;
        std::memset(dst, 0, row_bytes);
        if (same_layout) {
            // Both are rows of the same depth and width; only the pixels'
            // bits are copied, so the padding stays zero.
            const std::uint64_t used_bits = static_cast<std::uint64_t>(bit_count) * width;
            std::memcpy(dst, bitmap.row(y), (used_bits + 7) / 8);
            if (used_bits % 8 != 0) dst[used_bits / 8] &= static_cast<std::uint8_t>(0xFF00u >> (used_bits % 8));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const Color c = bitmap.pixel(x, y);
            if (indexed) {
                auto [it, fresh] = nearest_cache.try_emplace(c, 0);
                if (fresh) it->second = nearest_palette_index(table, c);
                put_index(dst, x, bit_count, it->second);
            } else {
                put_direct(dst, x, bit_count, c);
            }
        }
    }
    return static_cast<int>(count);
}

bool pat_blt(Dc& dc, int x, int y, int width, int height, RasterOp op) {
    switch (op) {
    case RasterOp::Whiteness: return dc.pat_blt(x, y, width, height, Dc::PatOp::Whiteness);
    case RasterOp::Blackness: return dc.pat_blt(x, y, width, height, Dc::PatOp::Blackness);
    case RasterOp::SrcCopy: break;
    }
    return dc.pat_blt(x, y, width, height, Dc::PatOp::Source);
}

int stretch_dib_bits(Dc& dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, const void* bits,
                     std::size_t bits_size, const void* info, std::size_t info_size, RasterOp op) {
    const auto hv = read_dib_header(info, info_size);
    if (!hv || bits == nullptr) return 0;
    if (hv->compression != kDibRgb || !supported_bit_count(hv->bit_count)) return 0;
    const std::int64_t width = hv->width;
    const std::int64_t height = hv->height < 0 ? -hv->height : hv->height;
    if (width <= 0 || height <= 0) return 0;
    const auto table_bytes = dib_color_table_bytes(hv->header_size, hv->bit_count, hv->clr_used);
    if (!table_bytes || std::uint64_t{hv->header_size} + *table_bytes > info_size) return 0;
    const std::uint64_t row_bytes = dib_row_bytes(hv->bit_count, width);
    // Checked as a division so that no product of header values can wrap.
    if (row_bytes == 0 || static_cast<std::uint64_t>(height) > bits_size / row_bytes) return 0;
    if (sw <= 0 || sh <= 0 || sx < 0 || sy < 0 || sw > kMaxBitmapSide || sh > kMaxBitmapSide) return 0;
    if (std::int64_t{sx} + sw > width || std::int64_t{sy} + sh > height) return 0;

    if (op != RasterOp::SrcCopy) {
        pat_blt(dc, dx, dy, dw, dh, op);
        return sh;
    }

    const bool core = hv->header_size == kDibCoreHeaderSize;
    const std::size_t entry_size = core ? 3 : 4;
    const std::uint32_t entries = dib_color_entries(hv->header_size, hv->bit_count, hv->clr_used);
    const auto* table = static_cast<const std::uint8_t*>(info) + hv->header_size;
    auto table_color = [&](int index) {
        // An index past the table reads as black.
        if (index < 0 || static_cast<std::uint32_t>(index) >= entries) return kBlack;
        const std::uint8_t* e = table + static_cast<std::size_t>(index) * entry_size;
        return rgb(e[2], e[1], e[0]);
    };

    Bitmap source(sw, sh, 32);
    const auto* rows = static_cast<const std::uint8_t*>(bits);
    const bool bottom_up = hv->height > 0;
    for (int j = 0; j < sh; ++j) {
        const std::int64_t y = sy + j;
        const std::int64_t stored = bottom_up ? height - 1 - y : y;
        const std::uint8_t* row = rows + static_cast<std::uint64_t>(stored) * row_bytes;
        for (int i = 0; i < sw; ++i) {
            const std::int64_t x = sx + i;
            const Color c = hv->bit_count <= 8 ? table_color(get_index(row, x, hv->bit_count))
                                               : get_direct(row, x, hv->bit_count);
            source.set_pixel32(i, j, c);
        }
    }
    dc.stretch_blt(dx, dy, dw, dh, source, 0, 0, sw, sh);
    return sh;
}

}  // namespace plk
