#include "rastout/rastout.h"

#include <cstring>

namespace plk::rastout {

namespace {

// The screen's device context with a palette selected for the length of a
// conversion; the previous palette goes back and the context is released on
// every way out.
class ScreenPaletteScope {
public:
    explicit ScreenPaletteScope(const Palette* palette) : dc_(get_screen_dc()) {
        if (dc_ == nullptr) return;
        previous_ = select_palette(dc_, palette, false);
        realize_palette(dc_);
    }
    ~ScreenPaletteScope() {
        if (dc_ == nullptr) return;
        select_palette(dc_, previous_, false);
        release_screen_dc(dc_);
    }
    ScreenPaletteScope(const ScreenPaletteScope&) = delete;
    ScreenPaletteScope& operator=(const ScreenPaletteScope&) = delete;

    ScreenDc* dc() const { return dc_; }

private:
    ScreenDc* dc_;
    const Palette* previous_ = nullptr;
};

// Frees the block on the way out unless it was handed over.
class BlockOwner {
public:
    BlockOwner() = default;
    ~BlockOwner() {
        if (handle_ != 0) mem_free(handle_);
    }
    BlockOwner(const BlockOwner&) = delete;
    BlockOwner& operator=(const BlockOwner&) = delete;

    MemHandle get() const { return handle_; }
    void reset(MemHandle h) { handle_ = h; }
    MemHandle release() {
        const MemHandle h = handle_;
        handle_ = 0;
        return h;
    }

private:
    MemHandle handle_ = 0;
};

// Unlocks on the way out.
class BlockLock {
public:
    explicit BlockLock(MemHandle h) : handle_(h), data_(static_cast<std::uint8_t*>(mem_lock(h))) {}
    ~BlockLock() {
        if (data_ != nullptr) mem_unlock(handle_);
    }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;

    std::uint8_t* data() const { return data_; }

private:
    MemHandle handle_;
    std::uint8_t* data_;
};

// Header size + colour table size of the header at the start of the block.
std::optional<std::uint64_t> header_and_table_bytes(const std::uint8_t* block, std::size_t size) {
    const auto hv = read_dib_header(block, size);
    if (!hv) return std::nullopt;
    const auto table = dib_color_table_bytes(hv->header_size, hv->bit_count, hv->clr_used);
    if (!table) return std::nullopt;
    const std::uint64_t bytes = std::uint64_t{hv->header_size} + *table;
    if (bytes > size) return std::nullopt;
    return bytes;
}

}  // namespace

std::optional<std::uint32_t> estimate_image_size(std::uint16_t bit_count, std::int64_t width, std::int64_t height,
                                                 std::uint32_t compression) {
    if (width < 0 || height < 0) return std::nullopt;
    // At most 2^16 bits x 2^63 pixels would overflow 64 bits; a width past
    // the 32-bit size field is refused before multiplying.
    if (width > static_cast<std::int64_t>(kMaxDibBytes)) return std::nullopt;
    const std::uint64_t row = dib_row_bytes(bit_count, width);
    if (row != 0 && static_cast<std::uint64_t>(height) > kMaxDibBytes / row) return std::nullopt;
    std::uint64_t size = row * static_cast<std::uint64_t>(height);
    if (compression != kDibRgb) size = size * 3 / 2;
    if (size > kMaxDibBytes) return std::nullopt;
    return static_cast<std::uint32_t>(size);
}

MemHandle bitmap_to_dib(const Bitmap* bitmap, std::uint32_t compression, std::uint16_t bit_count,
                        const Palette* palette) {
    if (bitmap == nullptr) return 0;
    if (palette == nullptr) palette = default_palette();
    const auto object = get_bitmap_object(bitmap);
    if (!object) return 0;
    if (bit_count == 0) bit_count = static_cast<std::uint16_t>(object->planes * object->bits_pixel);

    DibInfoHeader header;
    header.width = object->width;
    header.height = object->height;
    header.planes = 1;
    header.bit_count = bit_count;
    header.compression = compression;
    header.size_image = 0;

    ScreenPaletteScope screen(palette);
    if (screen.dc() == nullptr) return 0;

    const auto table_bytes = dib_color_table_bytes(header.size, header.bit_count, header.clr_used);
    if (!table_bytes) return 0;
    const std::size_t head_bytes = header.size + *table_bytes;
    BlockOwner block;
    block.reset(mem_alloc(head_bytes));
    if (block.get() == 0) return 0;

    // First pass: the platform completes the header, its image size above all.
    {
        BlockLock lock(block.get());
        if (lock.data() == nullptr) return 0;
        std::memcpy(lock.data(), &header, sizeof header);
        const int ok = get_dibits(screen.dc(), *bitmap, 0, static_cast<unsigned>(object->height), nullptr, 0,
                                  lock.data(), head_bytes);
        std::memcpy(&header, lock.data(), sizeof header);
        // A header the platform refuses now it would refuse in the second pass
        // too, after a needless allocation of the image size.
        if (ok == 0) return 0;
    }

    if (header.size_image == 0) {
        const auto estimate = estimate_image_size(bit_count, object->width, object->height, compression);
        if (!estimate) return 0;
        header.size_image = *estimate;
        BlockLock lock(block.get());
        if (lock.data() == nullptr) return 0;
        std::memcpy(lock.data(), &header, sizeof header);
    }

    // Bounded before growing: the whole DIB must fit its own size fields.
    const std::uint64_t total = std::uint64_t{head_bytes} + header.size_image;
    if (total > kMaxDibBytes) return 0;
    const MemHandle grown = mem_realloc(block.get(), static_cast<std::size_t>(total));
    if (grown == 0) return 0;
    block.reset(grown);

    // Second pass: the rows into the pixel area, the colour table behind the
    // header. Offsets are taken from the header in the block.
    {
        BlockLock lock(block.get());
        if (lock.data() == nullptr) return 0;
        const std::size_t size = mem_size(block.get());
        const auto offset = header_and_table_bytes(lock.data(), size);
        if (!offset) return 0;
        const int lines = get_dibits(screen.dc(), *bitmap, 0, static_cast<unsigned>(object->height),
                                     lock.data() + *offset, size - *offset, lock.data(), *offset);
        if (lines == 0) return 0;
    }
    return block.release();
}

int stretch_dib(Dc* dc, int x, int y, int width, int height, MemHandle dib, int sx, int sy, int sw, int sh,
                RasterOp op) {
    if (dc == nullptr) return 0;
    if (dib == 0) return pat_blt(*dc, x, y, width, height, op) ? 1 : 0;

    BlockLock lock(dib);
    if (lock.data() == nullptr) return 0;
    const std::size_t size = mem_size(dib);
    const auto offset = header_and_table_bytes(lock.data(), size);
    if (!offset) return 0;
    const std::uint8_t* pixels = lock.data() + *offset;

    if (sw == -1 && sh == -1) {
        const auto hv = read_dib_header(lock.data(), size);
        // Sizes past int cannot be drawn anyway; the platform refuses them.
        const std::int64_t h = hv->height < 0 ? -hv->height : hv->height;
        if (hv->width > kMaxBitmapSide || h > kMaxBitmapSide) return 0;
        sw = static_cast<int>(hv->width);
        sh = static_cast<int>(h);
    }
    return stretch_dib_bits(*dc, x, y, width, height, sx, sy, sw, sh, pixels, size - *offset, lock.data(),
                            *offset, op);
}

}  // namespace plk::rastout

extern "C" std::uintptr_t StretchedOutput(plk::Dc* dc, const plk::Bitmap* bitmap, const plk::Palette* palette,
                                          std::int32_t x, std::int32_t y, std::int32_t width,
                                          std::int32_t height) {
    using namespace plk;
    // Nothing may escape into a caller that need not be C++.
    MemHandle dib = 0;
    try {
        dib = rastout::bitmap_to_dib(bitmap, kDibRgb, 0, palette);
    } catch (...) {
        dib = 0;
    }
    try {
        rastout::stretch_dib(dc, x, y, width, height, dib, 0, 0, -1, -1, RasterOp::SrcCopy);
    } catch (...) {
        // A failed stretch is silent.
    }
    if (dib == 0) return 0;
    return mem_free(dib);
}
