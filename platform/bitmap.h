#pragma once
// In-memory bitmaps of 1, 4, 8, 24 or 32 bits per pixel.
//
// Rows are stored top-down, each padded to a multiple of 4 bytes.
// Pixel byte order follows the usual device-independent layout:
//   32 bpp: B, G, R, 0     24 bpp: B, G, R
//   1/4/8 bpp: palette indices, most significant bits first within a byte.
// Indexed bitmaps carry a palette of Color values (0x00BBGGRR).
#include <cstdint>
#include <vector>

#include "platform/color.h"

namespace plk {

class Bitmap {
public:
    Bitmap() = default;
    // A white (all bytes 0xff for direct colour; index 0 and a default grey
    // ramp palette for indexed) bitmap. Throws AppError for a depth other than
    // 1, 4, 8, 24, 32 or for a size whose byte count would not fit in memory
    // limits (width/height above 30000 or negative).
    Bitmap(int width, int height, int bpp = 32);

    int width() const { return width_; }
    int height() const { return height_; }
    int bpp() const { return bpp_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    // Bytes per row: ((bpp * width + 31) / 32) * 4.
    int stride() const { return stride_; }

    std::uint8_t* row(int y) { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
    std::vector<std::uint8_t>& bits() { return bits_; }
    const std::vector<std::uint8_t>& bits() const { return bits_; }

    // Palette for 1/4/8 bpp (size up to 2^bpp); empty for 24/32 bpp.
    std::vector<Color>& palette() { return palette_; }
    const std::vector<Color>& palette() const { return palette_; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // kInvalidColor outside the bitmap. Indexed pixels are looked up in the palette.
    Color pixel(int x, int y) const;
    // Ignored outside the bitmap. Indexed bitmaps store the nearest palette entry.
    void set_pixel(int x, int y, Color c);
    // Every pixel set to c.
    void fill(Color c);

    // Fast access for 32-bit bitmaps (no bounds check; caller guarantees contains()).
    Color pixel32(int x, int y) const {
        const std::uint8_t* p = row(y) + 4 * x;
        return rgb(p[2], p[1], p[0]);
    }
    void set_pixel32(int x, int y, Color c) {
        std::uint8_t* p = row(y) + 4 * x;
        p[0] = static_cast<std::uint8_t>(blue_of(c));
        p[1] = static_cast<std::uint8_t>(green_of(c));
        p[2] = static_cast<std::uint8_t>(red_of(c));
        p[3] = 0;
    }

private:
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    int stride_ = 0;
    std::vector<std::uint8_t> bits_;
    std::vector<Color> palette_;
};

// Index of the palette entry nearest to c (squared RGB distance, lowest index
// on ties), among the first `limit` entries only: a palette longer than a
// depth allows must not yield an index that spills into a neighbour's bits.
int nearest_palette_index(const std::vector<Color>& palette, Color c,
                          std::size_t limit = static_cast<std::size_t>(-1));

// Largest width or height accepted anywhere (bitmap files, canvases).
constexpr int kMaxBitmapSide = 30000;

}  // namespace plk
