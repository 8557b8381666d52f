#include "platform/bitmap.h"

#include <cstdlib>

#include "platform/error.h"

namespace plk {

Bitmap::Bitmap(int width, int height, int bpp) {
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw AppError("Bitmap image is not valid");
    // Bounded so that stride * height always fits comfortably in memory.
    if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        throw AppError("Bitmap image is not valid");
    width_ = width;
    height_ = height;
    bpp_ = bpp;
    stride_ = ((bpp * width + 31) / 32) * 4;
    bits_.assign(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height), 0xff);
    if (bpp <= 8) {
        const int n = 1 << bpp;
        palette_.resize(n);
        for (int i = 0; i < n; ++i) {
            const int v = n == 1 ? 0 : i * 255 / (n - 1);
            palette_[i] = rgb(v, v, v);
        }
    }
}

Color Bitmap::pixel(int x, int y) const {
    if (!contains(x, y)) return kInvalidColor;
    const std::uint8_t* r = row(y);
    switch (bpp_) {
    case 32: return rgb(r[4 * x + 2], r[4 * x + 1], r[4 * x]);
    case 24: return rgb(r[3 * x + 2], r[3 * x + 1], r[3 * x]);
    default: {
        int index = 0;
        if (bpp_ == 8) index = r[x];
        else if (bpp_ == 4) index = (x & 1) ? (r[x / 2] & 0x0f) : (r[x / 2] >> 4);
        else index = (r[x / 8] >> (7 - (x & 7))) & 1;
        // A palette shorter than the index range reads as black.
        return index < static_cast<int>(palette_.size()) ? palette_[index] : kBlack;
    }
    }
}

int nearest_palette_index(const std::vector<Color>& palette, Color c, std::size_t limit) {
    int best = 0;
    long best_d = -1;
    for (std::size_t i = 0; i < palette.size() && i < limit; ++i) {
        const long dr = red_of(palette[i]) - red_of(c);
        const long dg = green_of(palette[i]) - green_of(c);
        const long db = blue_of(palette[i]) - blue_of(c);
        const long d = dr * dr + dg * dg + db * db;
        if (best_d < 0 || d < best_d) {
            best_d = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void Bitmap::set_pixel(int x, int y, Color c) {
    if (!contains(x, y)) return;
    std::uint8_t* r = row(y);
    switch (bpp_) {
    case 32: set_pixel32(x, y, c); return;
    case 24:
        r[3 * x] = static_cast<std::uint8_t>(blue_of(c));
        r[3 * x + 1] = static_cast<std::uint8_t>(green_of(c));
        r[3 * x + 2] = static_cast<std::uint8_t>(red_of(c));
        return;
    default: {
        const int index = nearest_palette_index(palette_, c, std::size_t{1} << bpp_);
        if (bpp_ == 8) {
            r[x] = static_cast<std::uint8_t>(index);
        } else if (bpp_ == 4) {
            std::uint8_t& b = r[x / 2];
            b = (x & 1) ? static_cast<std::uint8_t>((b & 0xf0) | index)
                        : static_cast<std::uint8_t>((b & 0x0f) | (index << 4));
        } else {
            const int bit = 7 - (x & 7);
            std::uint8_t& b = r[x / 8];
            b = static_cast<std::uint8_t>((b & ~(1 << bit)) | ((index & 1) << bit));
        }
    }
    }
}

void Bitmap::fill(Color c) {
    if (bpp_ == 32) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) set_pixel32(x, y, c);
        return;
    }
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) set_pixel(x, y, c);
}

}  // namespace plk
