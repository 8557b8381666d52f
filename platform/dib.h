#pragma once
// Device-independent bitmaps (DIBs) and what it takes to make and draw them:
// movable memory blocks, palettes, the screen's device context, reading a
// bitmap's description, filling a packed DIB from a bitmap, and stretching a
// packed DIB onto a Dc.
//
// A packed DIB is one piece of memory: a header (the 40-byte info header or
// the older 12-byte core header), the colour table, then the pixel rows, each
// row padded to a multiple of 4 bytes. Rows are stored bottom-up when the
// height is positive, top-down when it is negative. All fields are
// little-endian and byte-packed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/dc.h"

namespace plk {

// ---------------------------------------------------------------------------
// Packed DIB layout

constexpr std::uint32_t kDibInfoHeaderSize = 40;
constexpr std::uint32_t kDibCoreHeaderSize = 12;
// Compression codes: uncompressed rows, 8-bit and 4-bit run-length rows.
constexpr std::uint32_t kDibRgb = 0;
constexpr std::uint32_t kDibRle8 = 1;
constexpr std::uint32_t kDibRle4 = 2;

// The 40-byte info header, field for field as it lies in memory.
struct DibInfoHeader {
    std::uint32_t size = kDibInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: bottom-up rows
    std::uint16_t planes = 1;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t size_image = 0;
    std::int32_t x_pels_per_meter = 0;
    std::int32_t y_pels_per_meter = 0;
    std::uint32_t clr_used = 0;
    std::uint32_t clr_important = 0;
};
static_assert(sizeof(DibInfoHeader) == kDibInfoHeaderSize);

// The 12-byte core header: 16-bit sizes, 3-byte colour table entries.
struct DibCoreHeader {
    std::uint32_t size = kDibCoreHeaderSize;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bit_count = 0;
};
static_assert(sizeof(DibCoreHeader) == kDibCoreHeaderSize);

// What a header says, whichever kind it is.
struct DibHeaderView {
    std::uint32_t header_size = 0;  // 12, or 40 and more for an info header
    std::int64_t width = 0;
    std::int64_t height = 0;        // as stored (negative: top-down)
    std::uint16_t bit_count = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t size_image = 0;
    std::uint32_t clr_used = 0;
};

// Reads the header at the start of `bytes` (n bytes available). nullopt when
// the bytes do not hold a whole 12-byte or (at least) 40-byte header.
std::optional<DibHeaderView> read_dib_header(const void* bytes, std::size_t n);

// Bytes of one pixel row: ((bit_count * width + 31) / 32) * 4, in 64 bits so
// that no header value can overflow it; 0 for a negative width.
std::uint64_t dib_row_bytes(std::uint32_t bit_count, std::int64_t width);

// Number of colour table entries: for a 12-byte header by bit count; for an
// info header clr_used when it is not 0, else by bit count. By bit count:
// 1 -> 2, 4 -> 16, 8 -> 256, anything else 0.
std::uint32_t dib_color_entries(std::uint32_t header_size, std::uint16_t bit_count, std::uint32_t clr_used);

// Size of the colour table in bytes (4 per entry, 3 with a 12-byte header),
// a 16-bit quantity. nullopt when the entry count of the header would not fit
// in 16 bits: such a table cannot be laid out, and a wrapped size would put
// the pixel rows in the wrong place.
std::optional<std::uint16_t> dib_color_table_bytes(std::uint32_t header_size, std::uint16_t bit_count,
                                                   std::uint32_t clr_used);

// Largest packed DIB the platform builds or accepts: the image size field is
// 32 bits wide.
constexpr std::uint64_t kMaxDibBytes = 0xFFFFFFFFull;

// ---------------------------------------------------------------------------
// Movable memory blocks

// Handle of a movable block; 0 is no block.
using MemHandle = std::uintptr_t;

// A zero-filled block of `bytes` bytes; 0 when it cannot be had or is larger
// than kMaxDibBytes.
MemHandle mem_alloc(std::size_t bytes);
// Resizes the block; new bytes are zero. Returns the (possibly new) handle,
// or 0 on failure (also past kMaxDibBytes), leaving the block as it was.
// A locked block is not moved and cannot be resized.
MemHandle mem_realloc(MemHandle block, std::size_t bytes);
// Pins the block and returns its address; nullptr for an unknown handle.
// Locks nest; the address stays valid while any lock is held.
void* mem_lock(MemHandle block);
// Drops one lock. False for an unknown or unlocked block.
bool mem_unlock(MemHandle block);
// Frees the block. Returns 0 on success, the handle itself on failure.
MemHandle mem_free(MemHandle block);
// The block's size in bytes; 0 for an unknown handle.
std::size_t mem_size(MemHandle block);

// Test support: counts and failure injection.
enum class MemOp { Alloc, Realloc, Free };
// Called before every allocation, resize and free with the requested size
// (0 for a free); returning false makes that operation fail. An empty
// function (the default) lets everything through.
using MemHook = std::function<bool(MemOp op, std::size_t bytes)>;
void set_mem_hook(MemHook hook);
// Blocks allocated and not yet freed.
std::size_t mem_outstanding();

// ---------------------------------------------------------------------------
// Palettes and the screen's device context

// A logical palette: a list of colours.
struct Palette {
    std::vector<Color> colors;
};

// The system's default palette: the 20 static colours, black first and
// white last.
const Palette* default_palette();

// The screen's device context. Its only state that matters here is the
// selected palette, which the DIB conversion uses for indexed targets whose
// depth differs from the bitmap's own.
struct ScreenDc;

// A device context of the screen; nullptr when none can be had.
ScreenDc* get_screen_dc();
// Gives the context back. Returns true on success, false for nullptr.
bool release_screen_dc(ScreenDc* dc);
// Selects a palette (nullptr selects the default) and returns the one that
// was selected before; nullptr when dc is nullptr. `background` is accepted
// for symmetry with the window system and changes nothing here.
const Palette* select_palette(ScreenDc* dc, const Palette* palette, bool background);
// Maps the selected palette; returns the number of entries mapped.
int realize_palette(ScreenDc* dc);

// Test support: screen contexts not yet released, and releases that found a
// palette other than the default still selected.
int screen_dcs_outstanding();
int screen_dc_palette_leaks();

// ---------------------------------------------------------------------------
// Bitmap description and DIB conversion

struct BitmapObject {
    int width = 0;
    int height = 0;
    int planes = 1;
    int bits_pixel = 0;
};
// The bitmap's size, planes and bits per pixel; nullopt for nullptr.
std::optional<BitmapObject> get_bitmap_object(const Bitmap* bitmap);

// Fills a packed DIB from `bitmap`, described by the header at `info`
// (info_size bytes available there: the header, then room for the colour
// table). The header's width and height must match the bitmap (the height
// may be negative for top-down rows); a bit count of 0 takes the bitmap's
// own. Supported bit counts: 1, 4, 8, 16 (5-5-5), 24, 32.
//
// With bits == nullptr only the header is completed (bit count, image size)
// and the number of rows is returned. A run-length compression code is
// accepted here but its size is reported as 0: it is not known before the
// rows are encoded.
//
// Otherwise `lines` scan lines from scan line `start` (scan line 0 is the
// first row stored) go to `bits` (bits_size bytes available), and the colour
// table is written after the header. Indexed bitmaps of the same depth keep
// their indices and their own colours; other indexed targets take the
// colours of the palette selected in dc (1 bit: black and white) and the
// nearest entry for each pixel. Returns the number of lines written, 0 on
// any failure (too little room, bad header, a compressed target: this
// platform writes uncompressed rows only). Never touches memory outside the
// given sizes.
int get_dibits(ScreenDc* dc, const Bitmap& bitmap, unsigned start, unsigned lines, void* bits,
               std::size_t bits_size, void* info, std::size_t info_size);

// Raster operations for the DIB stretch and the pattern fill.
enum class RasterOp {
    SrcCopy,    // the source's pixels; a pattern fill cannot do it and draws nothing
    Whiteness,  // white, no source needed
    Blackness,  // black, no source needed
};

// Pattern fill of (x, y, width, height) on dc. False, drawing nothing, for an
// operation that needs a source.
bool pat_blt(Dc& dc, int x, int y, int width, int height, RasterOp op);

// Stretches the source rectangle (sx, sy, sw, sh) of a packed DIB onto the
// destination rectangle (dx, dy, dw, dh) of dc, each destination pixel taking
// the nearest source pixel. Source coordinates count from the image's
// top-left corner whatever the row order. The header and colour table are
// read from `info` (info_size bytes), the rows from `bits` (bits_size bytes);
// colour table entries are RGB colours. Uncompressed DIBs of 1, 4, 8, 16,
// 24 and 32 bits only; the source rectangle must lie inside the image and be
// at most kMaxBitmapSide on each side.
// Returns the number of source scan lines drawn (sh), 0 on failure (nothing
// drawn). Never reads outside the given sizes.
int stretch_dib_bits(Dc& dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, const void* bits,
                     std::size_t bits_size, const void* info, std::size_t info_size, RasterOp op);

}  // namespace plk
