#include "platform/dc.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace plk {

// The selected clip: the region plus its per-row spans, computed once for the
// target's height so that clipped fills only walk the inside spans of a row.
struct Dc::Clip {
    Region region;
    std::vector<std::vector<Region::Span>> rows;

    bool inside(int x, int y) const {
        if (y < 0) return false;
        // The target may have been resized since the clip was selected.
        if (static_cast<std::size_t>(y) >= rows.size()) return region.contains(x, y);
        const auto& row = rows[static_cast<std::size_t>(y)];
        auto it = std::upper_bound(row.begin(), row.end(), x,
                                   [](int v, const Region::Span& s) { return v < s.end; });
        return it != row.end() && it->begin <= x;
    }
};

Dc::Dc(Bitmap& target) : target_(&target) {}
Dc::~Dc() = default;

Pen Dc::select_pen(const Pen& pen) { return std::exchange(pen_, pen); }
Font Dc::select_font(const Font& font) { return std::exchange(font_, font); }
MixMode Dc::set_mix(MixMode mode) { return std::exchange(mix_, mode); }
Color Dc::set_text_color(Color c) { return std::exchange(text_color_, c); }
BkMode Dc::set_bk_mode(BkMode mode) { return std::exchange(bk_mode_, mode); }
Color Dc::set_bk_color(Color c) { return std::exchange(bk_color_, c); }
TextAlign Dc::set_text_align(TextAlign align) { return std::exchange(align_, align); }

void Dc::set_clip(const Region* region) {
    if (!region) {
        clip_.reset();
        return;
    }
    auto clip = std::make_unique<Clip>();
    clip->region = *region;
    clip->rows = clip->region.spans(target_->height());
    clip_ = std::move(clip);
}

bool Dc::has_clip() const { return clip_ != nullptr; }

bool Dc::clip_ok(int x, int y) const {
    if (!target_->contains(x, y)) return false;
    return !clip_ || clip_->inside(x, y);
}

namespace {

Color mixed(Color old, Color pen, MixMode mode) {
    switch (mode) {
    case MixMode::CopyPen: return pen;
    case MixMode::XorPen: return (old ^ pen) & 0x00ffffffu;
    case MixMode::White: return kWhite;
    }
    return pen;
}

// Calls fn(begin, end) for each piece of [x0, x1) on row y that lies inside
// the bitmap's width and inside the clip spans (all of it without a clip).
template <typename Fn>
void for_each_span(const Bitmap& bm, const std::vector<std::vector<Region::Span>>* rows, const Region* region,
                   int y, int x0, int x1, Fn&& fn) {
    if (y < 0 || y >= bm.height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bm.width());
    if (x0 >= x1) return;
    if (!region) {
        fn(x0, x1);
        return;
    }
    if (static_cast<std::size_t>(y) < rows->size()) {
        for (const Region::Span& s : (*rows)[static_cast<std::size_t>(y)]) {
            const int b = std::max(x0, s.begin);
            const int e = std::min(x1, s.end);
            if (b < e) fn(b, e);
        }
        return;
    }
    // Rows the clip was not computed for (the target grew): test each pixel.
    int run = -1;
    for (int x = x0; x < x1; ++x) {
        if (region->contains(x, y)) {
            if (run < 0) run = x;
        } else if (run >= 0) {
            fn(run, x);
            run = -1;
        }
    }
    if (run >= 0) fn(run, x1);
}

// The square a wide pen stamps around a point covers [p - w / 2, p - w / 2 + w - 1]
// on each axis: centred for odd widths, one pixel more to the left/top for even.
std::int64_t stamp_lo(std::int64_t p, int w) { return p - w / 2; }
std::int64_t stamp_hi(std::int64_t p, int w) { return p - w / 2 + w - 1; }

// Pen widths beyond this cover any bitmap from any point on it; the limit
// keeps every stamp coordinate far from overflowing.
constexpr int kMaxPenWidth = 2 * kMaxBitmapSide + 1;
int pen_width(const Pen& pen) { return std::clamp(pen.width, 1, kMaxPenWidth); }

}  // namespace

void Dc::plot(int x, int y, Color c, MixMode mode) {
    if (!clip_ok(x, y)) return;
    Bitmap& bm = *target_;
    if (bm.bpp() == 32) {
        bm.set_pixel32(x, y, mixed(mode == MixMode::XorPen ? bm.pixel32(x, y) : 0, c, mode));
    } else {
        bm.set_pixel(x, y, mixed(mode == MixMode::XorPen ? bm.pixel(x, y) : 0, c, mode));
    }
}

// Mixes the pen colour into the pixels [x0, x1) of row y, clipped.
static void mix_run(Bitmap& bm, const std::vector<std::vector<Region::Span>>* rows, const Region* region, int y,
                    int x0, int x1, Color c, MixMode mode) {
    for_each_span(bm, rows, region, y, x0, x1, [&](int b, int e) {
        for (int x = b; x < e; ++x) {
            if (bm.bpp() == 32) bm.set_pixel32(x, y, mixed(mode == MixMode::XorPen ? bm.pixel32(x, y) : 0, c, mode));
            else bm.set_pixel(x, y, mixed(mode == MixMode::XorPen ? bm.pixel(x, y) : 0, c, mode));
        }
    });
}

void Dc::line(int x1, int y1, int x2, int y2) {
    // A zero-length line draws nothing (its only pixel is the excluded last one).
    if (x1 == x2 && y1 == y2) return;
    const int w = pen_width(pen_);
    const bool x_major = std::abs(std::int64_t{x2} - x1) >= std::abs(std::int64_t{y2} - y1);
    // Walk the major axis one pixel per step; the minor coordinate of step i
    // is i * dminor / dmajor rounded to nearest (halves away from the start).
    const std::int64_t a1 = x_major ? x1 : y1, a2 = x_major ? x2 : y2;
    const std::int64_t b1 = x_major ? y1 : x1, b2 = x_major ? y2 : x2;
    const std::int64_t da = std::abs(a2 - a1), db = std::abs(b2 - b1);
    const std::int64_t sa = a2 > a1 ? 1 : -1, sb = b2 > b1 ? 1 : -1;
    // Only steps whose major coordinate (widened by the pen) lands on the
    // target matter; limiting the range keeps huge coordinates from looping
    // for billions of steps.
    const std::int64_t size = x_major ? target_->width() : target_->height();
    const std::int64_t lo = -w, hi = size + w;
    std::int64_t i0 = 0, i1 = da;  // steps [i0, i1)
    if (sa > 0) {
        i0 = std::max<std::int64_t>(i0, lo - a1);
        i1 = std::min<std::int64_t>(i1, hi - a1 + 1);
    } else {
        i0 = std::max<std::int64_t>(i0, a1 - hi);
        i1 = std::min<std::int64_t>(i1, a1 - lo + 1);
    }
    if (i0 >= i1) return;
    // The minor offset q = floor((2 i db + da) / (2 da)) is carried from step
    // to step with its remainder r; only the first step needs a division, in
    // 128 bits because i * db reaches 2^64 for lines across the int range.
    const std::int64_t den = 2 * da, step = 2 * db;  // step <= den
    const __int128 num0 = static_cast<__int128>(2) * i0 * db + da;
    std::int64_t q = static_cast<std::int64_t>(num0 / den), r = static_cast<std::int64_t>(num0 % den);
    std::int64_t i = i0;
    auto point = [&](int& x, int& y) {
        const std::int64_t a = a1 + sa * i;
        const std::int64_t b = b1 + sb * q;
        const int ai = static_cast<int>(a);
        const int bi = static_cast<int>(std::clamp<std::int64_t>(b, INT32_MIN / 2, INT32_MAX / 2));
        x = x_major ? ai : bi;
        y = x_major ? bi : ai;
        ++i;
        r += step;
        if (r >= den) {
            r -= den;
            ++q;
        }
    };
    if (w == 1) {
        while (i < i1) {
            int x, y;
            point(x, y);
            plot(x, y, pen_.color, mix_);
        }
        return;
    }
    // Wide pen: the union of the squares stamped on consecutive points is one
    // run per row, so collect each row's extent and mix every pixel once
    // (stamping square by square would XOR overlapping pixels twice).
    const int h = target_->height();
    std::vector<int> row_lo(static_cast<std::size_t>(h), INT32_MAX), row_hi(static_cast<std::size_t>(h), INT32_MIN);
    while (i < i1) {
        int x, y;
        point(x, y);
        const int ylo = static_cast<int>(std::max<std::int64_t>(stamp_lo(y, w), 0));
        const int yhi = static_cast<int>(std::min<std::int64_t>(stamp_hi(y, w), h - 1));
        // |x| stays below 2^30 (see point()), so the stamp's columns fit an int.
        const int xlo = static_cast<int>(stamp_lo(x, w)), xhi = static_cast<int>(stamp_hi(x, w));
        for (int yy = ylo; yy <= yhi; ++yy) {
            row_lo[static_cast<std::size_t>(yy)] = std::min(row_lo[static_cast<std::size_t>(yy)], xlo);
            row_hi[static_cast<std::size_t>(yy)] = std::max(row_hi[static_cast<std::size_t>(yy)], xhi);
        }
    }
    const auto* rows = clip_ ? &clip_->rows : nullptr;
    const Region* region = clip_ ? &clip_->region : nullptr;
    for (int yy = 0; yy < h; ++yy) {
        if (row_lo[static_cast<std::size_t>(yy)] > row_hi[static_cast<std::size_t>(yy)]) continue;
        mix_run(*target_, rows, region, yy, row_lo[static_cast<std::size_t>(yy)],
                row_hi[static_cast<std::size_t>(yy)] + 1, pen_.color, mix_);
    }
}

void Dc::rectangle_outline(int x1, int y1, int x2, int y2) {
    // The frame runs through the pixel centres l..r and t..b, both inclusive;
    // the pen squares stamped on it cover the outer box minus a hole, so each
    // covered pixel is mixed exactly once.
    const int w = pen_width(pen_);
    const int l = std::min(x1, x2), r = std::max(x1, x2);
    const int t = std::min(y1, y2), b = std::max(y1, y2);
    const std::int64_t outer_l = stamp_lo(l, w), outer_r = stamp_hi(r, w) + 1;
    const std::int64_t outer_t = stamp_lo(t, w), outer_b = stamp_hi(b, w) + 1;
    const std::int64_t hole_l = stamp_hi(l, w) + 1, hole_r = stamp_lo(r, w);
    const std::int64_t hole_t = stamp_hi(t, w) + 1, hole_b = stamp_lo(b, w);
    const auto* rows = clip_ ? &clip_->rows : nullptr;
    const Region* region = clip_ ? &clip_->region : nullptr;
    auto cl = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -1, kMaxBitmapSide + 1)); };
    const int y_from = cl(std::max<std::int64_t>(outer_t, 0));
    const int y_to = cl(std::min<std::int64_t>(outer_b, target_->height()));
    for (int y = y_from; y < y_to; ++y) {
        if (y >= hole_t && y < hole_b && hole_l < hole_r) {
            mix_run(*target_, rows, region, y, cl(outer_l), cl(hole_l), pen_.color, mix_);
            mix_run(*target_, rows, region, y, cl(hole_r), cl(outer_r), pen_.color, mix_);
        } else {
            mix_run(*target_, rows, region, y, cl(outer_l), cl(outer_r), pen_.color, mix_);
        }
    }
}

Color Dc::get_pixel(int x, int y) const {
    if (!clip_ok(x, y)) return kInvalidColor;
    return target_->pixel(x, y);
}

void Dc::set_pixel(int x, int y, Color c) { plot(x, y, c & 0x00ffffffu, MixMode::CopyPen); }

bool Dc::pat_blt(int x, int y, int w, int h, PatOp op) {
    if (op == PatOp::Source) return false;
    if (w <= 0 || h <= 0) return true;
    const Color c = op == PatOp::Whiteness ? kWhite : kBlack;
    const auto* rows = clip_ ? &clip_->rows : nullptr;
    const Region* region = clip_ ? &clip_->region : nullptr;
    const std::int64_t x_end = std::min<std::int64_t>(std::int64_t{x} + w, target_->width());
    const std::int64_t y_from = std::max(y, 0), y_end = std::min<std::int64_t>(std::int64_t{y} + h, target_->height());
    for (std::int64_t yy = y_from; yy < y_end; ++yy)
        mix_run(*target_, rows, region, static_cast<int>(yy), x, static_cast<int>(x_end), c, MixMode::CopyPen);
    return true;
}

void Dc::fill_white() { target_->fill(kWhite); }

namespace {

// The source pixels a copy reads; a private copy when the source is the
// target itself, so overlapping copies read the original pixels.
struct SourceView {
    const Bitmap* bm;
    Bitmap copy;
    SourceView(const Bitmap& src, const Bitmap* target) : bm(&src) {
        if (&src == target) {
            copy = src;
            bm = &copy;
        }
    }
};

}  // namespace

void Dc::bit_blt(int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy) {
    if (w <= 0 || h <= 0) return;
    SourceView view(src, target_);
    const Bitmap& s = *view.bm;
    // Clip the rectangle against the source so every read is inside it.
    std::int64_t x0 = 0, x1 = w, y0 = 0, y1 = h;  // offsets within the rectangle
    x0 = std::max<std::int64_t>(x0, -std::int64_t{sx});
    y0 = std::max<std::int64_t>(y0, -std::int64_t{sy});
    x1 = std::min<std::int64_t>(x1, std::int64_t{s.width()} - sx);
    y1 = std::min<std::int64_t>(y1, std::int64_t{s.height()} - sy);
    // And against the target.
    x0 = std::max<std::int64_t>(x0, -std::int64_t{dx});
    y0 = std::max<std::int64_t>(y0, -std::int64_t{dy});
    x1 = std::min<std::int64_t>(x1, std::int64_t{target_->width()} - dx);
    y1 = std::min<std::int64_t>(y1, std::int64_t{target_->height()} - dy);
    if (x0 >= x1 || y0 >= y1) return;
    const auto* rows = clip_ ? &clip_->rows : nullptr;
    const Region* region = clip_ ? &clip_->region : nullptr;
    Bitmap& t = *target_;
    const bool fast = s.bpp() == 32 && t.bpp() == 32;
    for (std::int64_t oy = y0; oy < y1; ++oy) {
        const int ty = static_cast<int>(dy + oy), syy = static_cast<int>(sy + oy);
        const int shift = sx - dx;  // source x = target x + shift
        for_each_span(t, rows, region, ty, static_cast<int>(dx + x0), static_cast<int>(dx + x1), [&](int b, int e) {
            if (fast) {
                std::copy(s.row(syy) + 4 * (b + shift), s.row(syy) + 4 * (e + shift), t.row(ty) + 4 * b);
            } else {
                for (int x = b; x < e; ++x) t.set_pixel(x, ty, s.pixel(x + shift, syy));
            }
        });
    }
}

void Dc::stretch_blt(int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy, int sw, int sh) {
    // Mirrored (negative) or empty rectangles draw nothing.
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    SourceView view(src, target_);
    const Bitmap& s = *view.bm;
    Bitmap& t = *target_;
    // Target columns on the bitmap, and the source column each one reads
    // (-1 when it falls outside the source).
    const std::int64_t tx0 = std::max<std::int64_t>(dx, 0);
    const std::int64_t tx1 = std::min<std::int64_t>(std::int64_t{dx} + dw, t.width());
    const std::int64_t ty0 = std::max<std::int64_t>(dy, 0);
    const std::int64_t ty1 = std::min<std::int64_t>(std::int64_t{dy} + dh, t.height());
    if (tx0 >= tx1 || ty0 >= ty1) return;
    std::vector<int> col(static_cast<std::size_t>(tx1 - tx0));
    for (std::int64_t x = tx0; x < tx1; ++x) {
        const std::int64_t c = sx + ((x - dx) * sw) / dw;
        col[static_cast<std::size_t>(x - tx0)] = c >= 0 && c < s.width() ? static_cast<int>(c) : -1;
    }
    const auto* rows = clip_ ? &clip_->rows : nullptr;
    const Region* region = clip_ ? &clip_->region : nullptr;
    const bool fast = s.bpp() == 32 && t.bpp() == 32;
    for (std::int64_t y = ty0; y < ty1; ++y) {
        const std::int64_t r = sy + ((y - dy) * sh) / dh;
        if (r < 0 || r >= s.height()) continue;
        const int ty = static_cast<int>(y), syy = static_cast<int>(r);
        for_each_span(t, rows, region, ty, static_cast<int>(tx0), static_cast<int>(tx1), [&](int b, int e) {
            if (fast) {
                const std::uint8_t* sp = s.row(syy);
                std::uint8_t* tp = t.row(ty);
                for (int x = b; x < e; ++x) {
                    const int c = col[static_cast<std::size_t>(x - tx0)];
                    if (c >= 0) std::memcpy(tp + 4 * x, sp + 4 * c, 4);
                }
            } else {
                for (int x = b; x < e; ++x) {
                    const int c = col[static_cast<std::size_t>(x - tx0)];
                    if (c >= 0) t.set_pixel(x, ty, s.pixel(c, syy));
                }
            }
        });
    }
}

}  // namespace plk
