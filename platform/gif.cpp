#include "platform/gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <new>

#include "platform/error.h"
#include "platform/files.h"

namespace plk {

namespace {

// Colours are handled as keys 0x00RRGGBB, the value a 32-bit pixel of B, G, R, 0
// bytes loads as; kNoKey marks a free slot.
constexpr std::uint32_t kNoKey = 0xffffffffu;

Color color_of_key(std::uint32_t key) {
    return rgb(static_cast<int>((key >> 16) & 0xff), static_cast<int>((key >> 8) & 0xff),
               static_cast<int>(key & 0xff));
}
std::uint32_t key_of_color(Color c) {
    return (static_cast<std::uint32_t>(red_of(c)) << 16) | (static_cast<std::uint32_t>(green_of(c)) << 8) |
           static_cast<std::uint32_t>(blue_of(c));
}

// Open-addressing table from colour key to a count, later to a palette index.
class ColourTable {
public:
    ColourTable() { rebuild(1u << 10); }

    std::uint32_t& operator[](std::uint32_t key) {
        std::size_t i = slot(key);
        if (keys_[i] == key) return values_[i];
        // Kept at most half full so probes stay short.
        if (2 * (size_ + 1) > keys_.size()) {
            rebuild(static_cast<std::uint32_t>(keys_.size() * 2));
            i = slot(key);
        }
        ++size_;
        keys_[i] = key;
        values_[i] = 0;
        return values_[i];
    }
    std::size_t size() const { return size_; }

    template <typename Fn>
    void for_each(Fn fn) {
        for (std::size_t i = 0; i < keys_.size(); ++i)
            if (keys_[i] != kNoKey) fn(keys_[i], values_[i]);
    }

private:
    std::size_t slot(std::uint32_t key) const {
        std::size_t i = (key * 0x9E3779B1u) >> shift_;
        while (keys_[i] != kNoKey && keys_[i] != key) i = (i + 1) & (keys_.size() - 1);
        return i;
    }
    void rebuild(std::uint32_t capacity) {
        std::vector<std::uint32_t> old_keys(capacity, kNoKey);
        std::vector<std::uint32_t> old_values(capacity, 0);
        old_keys.swap(keys_);
        old_values.swap(values_);
        shift_ = 32 - std::countr_zero(capacity);
        for (std::size_t i = 0; i < old_keys.size(); ++i) {
            if (old_keys[i] == kNoKey) continue;
            const std::size_t s = slot(old_keys[i]);
            keys_[s] = old_keys[i];
            values_[s] = old_values[i];
        }
    }

    std::vector<std::uint32_t> keys_;
    std::vector<std::uint32_t> values_;
    std::size_t size_ = 0;
    int shift_ = 22;
};

// One row of the bitmap as colour keys, whatever its depth.
class RowReader {
public:
    explicit RowReader(const Bitmap& bmp) : bmp_(bmp), keys_(static_cast<std::size_t>(bmp.width())) {
        if (bmp.bpp() <= 8) {
            // Indices past the end of the palette read as black, as Bitmap::pixel does.
            const std::vector<Color>& pal = bmp.palette();
            for (std::size_t i = 0; i < 256; ++i)
                index_keys_[i] = i < pal.size() ? key_of_color(pal[i]) : 0;
        }
    }

    const std::uint32_t* read(int y) {
        const std::uint8_t* in = bmp_.row(y);
        const int w = bmp_.width();
        std::uint32_t* out = keys_.data();
        switch (bmp_.bpp()) {
        case 32:
            for (int x = 0; x < w; ++x, in += 4)
                out[x] = static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
                         (static_cast<std::uint32_t>(in[2]) << 16);
            break;
        case 24:
            for (int x = 0; x < w; ++x, in += 3)
                out[x] = static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
                         (static_cast<std::uint32_t>(in[2]) << 16);
            break;
        case 8:
            for (int x = 0; x < w; ++x) out[x] = index_keys_[in[x]];
            break;
        case 4:
            for (int x = 0; x < w; ++x) out[x] = index_keys_[(x & 1) ? (in[x / 2] & 0x0f) : (in[x / 2] >> 4)];
            break;
        default:
            for (int x = 0; x < w; ++x) out[x] = index_keys_[(in[x / 8] >> (7 - (x & 7))) & 1];
            break;
        }
        return out;
    }

private:
    const Bitmap& bmp_;
    std::vector<std::uint32_t> keys_;
    std::uint32_t index_keys_[256] = {};
};

int nearest(const std::vector<std::uint32_t>& palette_keys, std::uint32_t key) {
    const int r = static_cast<int>((key >> 16) & 0xff);
    const int g = static_cast<int>((key >> 8) & 0xff);
    const int b = static_cast<int>(key & 0xff);
    int best = 0;
    int best_d = 1 << 30;
    for (std::size_t i = 0; i < palette_keys.size(); ++i) {
        const int dr = static_cast<int>((palette_keys[i] >> 16) & 0xff) - r;
        const int dg = static_cast<int>((palette_keys[i] >> 8) & 0xff) - g;
        const int db = static_cast<int>(palette_keys[i] & 0xff) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best_d) {
            best_d = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int write_to_vector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

// Closes the giflib encoder on every path out of encode_gif.
struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        if (gif != nullptr) EGifCloseFile(gif, nullptr);
    }
};

}  // namespace

std::vector<std::uint8_t> encode_gif(const Bitmap& bitmap) {
    // A picture without pixels (or wider than a GIF can say) is not written.
    if (bitmap.empty() || bitmap.width() > 65535 || bitmap.height() > 65535)
        throw AppError("Bitmap image is not valid");
    const int w = bitmap.width();
    const int h = bitmap.height();

    // Count the colours. Drawings have long runs of one colour, so a run
    // reuses the slot of the pixel before it.
    ColourTable counts;
    RowReader reader(bitmap);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* keys = reader.read(y);
        int x = 0;
        while (x < w) {
            const std::uint32_t key = keys[x];
            int run = 1;
            while (x + run < w && keys[x + run] == key) ++run;
            counts[key] += static_cast<std::uint32_t>(run);
            x += run;
        }
    }

    // The palette: every colour when there are at most 256, else the 256 most
    // frequent; most frequent first (ties by colour, so output is repeatable).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> by_count;  // (count, key)
    by_count.reserve(counts.size());
    counts.for_each([&](std::uint32_t key, std::uint32_t count) { by_count.emplace_back(count, key); });
    const std::size_t kept = std::min<std::size_t>(by_count.size(), 256);
    std::partial_sort(by_count.begin(), by_count.begin() + static_cast<std::ptrdiff_t>(kept), by_count.end(),
                      [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    std::vector<std::uint32_t> palette_keys;
    palette_keys.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) palette_keys.push_back(by_count[i].second);

    // From here the table maps each colour to its palette index; colours not
    // kept go to the nearest kept one (a kept colour is its own nearest).
    {
        ColourTable index_of;
        for (std::size_t i = 0; i < kept; ++i) index_of[palette_keys[i]] = static_cast<std::uint32_t>(i);
        counts.for_each([&](std::uint32_t key, std::uint32_t& value) {
            value = by_count.size() <= 256 ? index_of[key] : static_cast<std::uint32_t>(nearest(palette_keys, key));
        });
    }

    // A GIF colour map has a power-of-two size of at least 2; spare entries black.
    int bits = 1;
    while ((1u << bits) < kept) ++bits;
    std::vector<GifColorType> colours(std::size_t{1} << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < kept; ++i) {
        const Color c = color_of_key(palette_keys[i]);
        colours[i] = GifColorType{static_cast<GifByteType>(red_of(c)), static_cast<GifByteType>(green_of(c)),
                                  static_cast<GifByteType>(blue_of(c))};
    }
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (map == nullptr) throw std::bad_alloc();

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(w) * h / 16 + 1024);
    int error = 0;
    GifCloser closer{EGifOpen(&out, write_to_vector, &error)};
    bool ok = closer.gif != nullptr;
    ok = ok && EGifPutScreenDesc(closer.gif, w, h, bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);  // the screen descriptor keeps its own copy
    ok = ok && EGifPutImageDesc(closer.gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    // Each row is turned into palette indices and handed straight to the encoder.
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = 0; ok && y < h; ++y) {
        const std::uint32_t* keys = reader.read(y);
        std::uint32_t last_key = kNoKey;
        GifPixelType last_index = 0;
        for (int x = 0; x < w; ++x) {
            if (keys[x] != last_key) {
                last_key = keys[x];
                last_index = static_cast<GifPixelType>(counts[last_key]);
            }
            line[x] = last_index;
        }
        ok = EGifPutLine(closer.gif, line.data(), w) == GIF_OK;
    }
    if (ok) {
        GifFileType* gif = closer.gif;
        closer.gif = nullptr;
        ok = EGifCloseFile(gif, &error) == GIF_OK;
    }
    // The encoder writes only to memory; it fails only when memory runs out.
    if (!ok) throw std::bad_alloc();
    return out;
}

void write_gif(const std::string& path, const Bitmap& bitmap) {
    write_file_atomic(path, encode_gif(bitmap));
}

}  // namespace plk
