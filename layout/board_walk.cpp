#include "layout/board_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/length_text.h"
#include "helperlib/common.h"

namespace plk {

namespace {

// The x up to which an edge counts as crossed in row y (x <= threshold), or
// false when the edge does not span the row. The product is taken in 64 bits
// so large coordinates cannot overflow; the division truncates towards zero.
bool edge_threshold(const Point& a, const Point& b, int y, long long& threshold) {
    if (a.y == b.y) return false;
    if (!(y > std::min(a.y, b.y) && y <= std::max(a.y, b.y))) return false;
    const long long xi = a.x + (static_cast<long long>(y) - a.y) * (static_cast<long long>(b.x) - a.x) /
                                   (static_cast<long long>(b.y) - a.y);
    threshold = std::min<long long>(std::max(a.x, b.x), xi);
    return true;
}

// Labels are formatted into a text of at most 255 characters.
std::string clip255(std::string s) {
    if (s.size() > 255) s.resize(255);
    return s;
}

std::string utf8(unsigned code) {
    std::string s;
    if (code < 0x80) {
        s += static_cast<char>(code);
    } else if (code < 0x800) {
        s += static_cast<char>(0xC0 | (code >> 6));
        s += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (code >> 12));
        s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (code & 0x3F));
    }
    return s;
}

}  // namespace

bool insidepoly(const Point* points, int n, int x, int y) {
    int crossings = 0;
    for (int k = 1; k <= n; ++k) {
        long long t = 0;
        if (edge_threshold(points[k - 1], points[k % n], y, t) && x <= t) ++crossings;
    }
    return (crossings & 1) != 0;
}

bool insidepoly5(const Point* points, int n, int x, int y) {
    // All five are evaluated, as the walk's loose test is defined.
    const bool c = insidepoly(points, n, x, y);
    const bool a = insidepoly(points, n, x - 1, y - 1);
    const bool b = insidepoly(points, n, x + 1, y - 1);
    const bool e = insidepoly(points, n, x - 1, y + 1);
    const bool f = insidepoly(points, n, x + 1, y + 1);
    return c || a || b || e || f;
}

InsideMask::InsideMask(const Point* points, int n) : points_(points, points + std::max(n, 0)) {
    if (n <= 0) return;
    long long xmin = points[0].x, xmax = points[0].x, ymin = points[0].y, ymax = points[0].y;
    for (int i = 1; i < n; ++i) {
        xmin = std::min<long long>(xmin, points[i].x);
        xmax = std::max<long long>(xmax, points[i].x);
        ymin = std::min<long long>(ymin, points[i].y);
        ymax = std::max<long long>(ymax, points[i].y);
    }
    // The plain rule is false left of xmin (every spanning edge is crossed, and
    // a closed outline spans each row an even number of times), right of xmax
    // and outside rows ymin+1..ymax; the loose test widens that by one pixel.
    const long long w = xmax - xmin + 3;
    const long long h = ymax - ymin + 3;
    if (w * h > 64LL * 1024 * 1024) {
        fallback_ = true;  // a table that size is not worth it; ask the rule
        return;
    }
    x0_ = static_cast<int>(xmin - 1);
    y0_ = static_cast<int>(ymin - 1);
    w_ = static_cast<int>(w);
    h_ = static_cast<int>(h);

    // base[y][x] = insidepoly for the table's pixels, row by row: an edge is
    // crossed for every x up to its threshold, so the parity at x is the XOR of
    // the toggles at thresholds >= x.
    std::vector<std::uint8_t> base(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_), 0);
    std::vector<std::uint8_t> toggle(static_cast<std::size_t>(w_) + 1);
    for (int cy = 0; cy < h_; ++cy) {
        const int y = y0_ + cy;
        std::fill(toggle.begin(), toggle.end(), 0);
        bool any = false;
        for (int k = 1; k <= n; ++k) {
            long long t = 0;
            if (!edge_threshold(points[k - 1], points[k % n], y, t)) continue;
            if (t < x0_) continue;
            const long long cx = std::min<long long>(t - x0_, w_ - 1);
            toggle[static_cast<std::size_t>(cx)] ^= 1;
            any = true;
        }
        if (!any) continue;
        std::uint8_t* row = base.data() + static_cast<std::size_t>(cy) * static_cast<std::size_t>(w_);
        std::uint8_t parity = 0;
        for (int cx = w_ - 1; cx >= 0; --cx) {
            parity ^= toggle[static_cast<std::size_t>(cx)];
            row[cx] = parity;
        }
    }

    auto at = [&](int cx, int cy) -> std::uint8_t {
        if (cx < 0 || cy < 0 || cx >= w_ || cy >= h_) return 0;
        return base[static_cast<std::size_t>(cy) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(cx)];
    };
    mask_.assign(base.size(), 0);
    for (int cy = 0; cy < h_; ++cy) {
        for (int cx = 0; cx < w_; ++cx) {
            mask_[static_cast<std::size_t>(cy) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(cx)] =
                at(cx, cy) | at(cx - 1, cy - 1) | at(cx + 1, cy - 1) | at(cx - 1, cy + 1) | at(cx + 1, cy + 1);
        }
    }
}

bool nearlength(int a, int b) {
    return static_cast<long long>(a) >= static_cast<long long>(b) - 2 &&
           static_cast<long long>(a) <= static_cast<long long>(b) + 2;
}

std::string leftover_tag(int i) {
    if (i < 0) return "@" + std::to_string(i);
    if (i <= 25) return std::string(1, static_cast<char>('A' + i));
    const int code = i + 71;
    if (code > 255) return "@" + std::to_string(i);
    if (code < 127) return std::string(1, static_cast<char>(code));
    // The 8-bit codes are taken as the Western Windows character set. Codes
    // with no character there get a Greek letter, which no other tag uses.
    static const unsigned high[32] = {0x20AC, 0x03B1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x03B2, 0x017D, 0x03B3,
                                      0x03B4, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x03B5, 0x017E, 0x0178};
    if (code == 127) return utf8(0x03B6);
    if (code < 160) return utf8(high[code - 128]);
    if (code == 160) return utf8(0x03B7);   // no-break space: invisible
    if (code == 173) return utf8(0x03B8);   // soft hyphen: invisible
    return utf8(static_cast<unsigned>(code));
}

void LeftoverTable::clear() {
    items_.clear();
    items_.reserve(kLeftoverTableSize);
    by_dir_[0].clear();
    by_dir_[1].clear();
}

int LeftoverTable::add(double length, std::int32_t direction) {
    const int index = count();
    items_.push_back({length, direction});
    if (direction == kLeft || direction == kRight) by_dir_[direction - 1].insert({length, index});
    return index;
}

int LeftoverTable::take(double needed, std::int32_t direction) {
    if (direction != kLeft && direction != kRight) return kNone;
    auto& set = by_dir_[direction - 1];
    // NaN never fits, as no comparison with it holds.
    if (std::isnan(needed)) return kNone;
    auto it = set.lower_bound({needed, -1});
    if (it == set.end()) return kNone;
    const int index = it->second;
    set.erase(it);
    // A taken record keeps its slot with length 0 (and can still match a
    // need of 0, as a record in use).
    items_[static_cast<std::size_t>(index)].length = 0;
    set.insert({0.0, index});
    return index;
}

BoardWalk::BoardWalk(DesignState& d, Dc& dc, const WalkInput& in)
    : d_(d), dc_(dc), in_(in), mask_(in.points, in.n) {
    kerf_allowance_ = d.style.kerf ? 0.0125 : 0.0;
    leftovers_.clear();
    d_.leftover_count = 0;
}

bool BoardWalk::inside5(int x, int y) const {
    return plain_ ? insidepoly5(in_.points, in_.n, x, y) : mask_.inside5(x, y);
}

int BoardWalk::takeleftover(double needed, std::int32_t direction) { return leftovers_.take(needed, direction); }

int BoardWalk::add_leftover(double length, std::int32_t direction) {
    const int k = leftovers_.add(length, direction);
    d_.leftover_count = leftovers_.count();
    return k;
}

void BoardWalk::label(int x, int y, const std::string& text) {
    dc_.text_out(x, y, text);
    if (log_) log_->push_back({x, y, text});
}

void BoardWalk::advance_progress(int n) {
    // floor(n * step) added to a bar whose range is 0..100.
    const double add = std::floor(static_cast<double>(n) * in_.progress_step);
    double pos = static_cast<double>(progress_) + (std::isfinite(add) ? add : 100.0);
    pos = std::clamp(pos, 0.0, 100.0);
    const int next = static_cast<int>(pos);
    if (next != progress_) {
        progress_ = next;
        if (progress_cb_) progress_cb_(progress_);
    }
}

void BoardWalk::full_cell(int left, int top, int right, int bottom, int& n) {
    Box(dc_, left, top, right, bottom);
    const double length = (right - left) / in_.scale;
    const int i = takeleftover(length, kLeft);
    std::string text;
    char buf[300];
    if (i != kNone) {
        std::snprintf(buf, sizeof buf, "(lo)Len: %s (%s)", format_feet_inches(length).c_str(),
                      leftover_tag(i).c_str());
        text = buf;
    } else {
        ++n;
        if (right - left > in_.board_px / 2) {
            std::snprintf(buf, sizeof buf, "#%d", n);
        } else {
            // A starter piece of at most half a board leaves half a board
            // (also after a one-third starter).
            const int k = add_leftover(d_.material.board_length / 24 - kerf_allowance_, kRight);
            std::snprintf(buf, sizeof buf, "#%d (%s)", n, leftover_tag(k).c_str());
        }
        text = buf;
    }
    label(static_cast<int>(midpoint(left, right)), static_cast<int>(midpoint(top, bottom)), clip255(text));
}

int BoardWalk::cutpiece(int left, int top, int right, int bottom, int direction, int n, bool ul, bool bl,
                        bool ur, bool br) {
    int d = direction;
    if (d == kRight && !ul && !bl) d = kLeft;
    if (d == kLeft && !ur && !br) d = kRight;
    if (d == kLeft && ul && bl && ur && !br) d = kRight;
    const int start = d == kLeft ? right : left;
    const int other = d == kLeft ? left : right;
    const int step = d == kLeft ? -1 : 1;

    int top_hit_y = bottom, top_hit_x = left;
    int bottom_hit_y = top, bottom_hit_x = right;
    int cut = d == kLeft ? kNone : 0;

    Bitmap& canvas = dc_.target();
    for (int y = top; y <= bottom; ++y) {
        for (int x = start;; x += step) {
            if (!inside5(x, y)) break;
            const bool on = canvas.contains(x, y);
            const Color c = on ? canvas.pixel32(x, y) : kInvalidColor;
            if (c == kPureRed) {
                // A wall: paint it so the next scan does not find it again.
                canvas.set_pixel32(x, y, kBlack);
                if (y <= top_hit_y) {
                    top_hit_y = y;
                    top_hit_x = x;
                }
                if (y >= bottom_hit_y) {
                    bottom_hit_y = y;
                    bottom_hit_x = x;
                }
                cut = d == kRight ? std::max(cut, x) : std::min(cut, x);
            } else if (d == kRight) {
                if (x == left && on) canvas.set_pixel32(x, y, kBlack);
                if (x == right) {
                    cut = right;
                    if (on) canvas.set_pixel32(x, y, kBlack);
                }
            } else if (x == left) {
                cut = left;
                if (on) canvas.set_pixel32(x, y, kBlack);
            }
            if (x == other) break;
        }
    }

    if (d == kRight) {
        if (ul) top_hit_y = top;
        if (bl) bottom_hit_y = bottom;
    } else {
        if (ur) top_hit_y = top;
        if (br) bottom_hit_y = bottom;
    }
    if (cut == kNone) return kCutNoBoard;
    if (cut <= 0) return kCutBoard;

    const int lx = static_cast<int>(midpoint(start, cut));
    const int ly = static_cast<int>(midpoint(top_hit_y, bottom_hit_y));
    const int piece_px = d == kRight ? cut - left : right - cut;
    const double piece = piece_px / in_.scale;
    const std::string len_text = format_length(d_, piece);
    if (piece <= 0.075) return kCutBoard;  // counted, but too small to draw or keep

    char buf[300];
    int result = kCutNoBoard;
    const int i = takeleftover(piece, kRight);
    if (i != kNone) {
        std::snprintf(buf, sizeof buf, "Len: %s (%s)", len_text.c_str(), leftover_tag(i).c_str());
        result = kCutNoBoard;
    }
    if (nearlength(in_.board_px, piece_px)) {
        // A whole board; a leftover taken above stays taken.
        std::snprintf(buf, sizeof buf, "# %d", n + 1);
        result = kCutBoard;
    } else if (i == kNone) {
        const int k = add_leftover(d_.material.board_length / 12 - piece - kerf_allowance_, d);
        std::snprintf(buf, sizeof buf, "#%d Len: %s (%s)", n + 1, len_text.c_str(), leftover_tag(k).c_str());
        result = kCutBoardWithOffcut;
    }
    label(lx, ly, clip255(buf));
    line(dc_, start, top_hit_y, top_hit_x, top_hit_y);
    line(dc_, start, bottom_hit_y, bottom_hit_x, bottom_hit_y);
    return result;
}

int BoardWalk::layboards() {
    const Pen old_pen = dc_.select_pen(Pen{in_.board_pen, 1});
    // Labels: centred on their point, baseline on it, in the label colour,
    // which stays set for the footer. A small font and a transparent
    // background, so no label paints over a wall that a later scan looks for.
    dc_.set_text_color(kLabelColor);
    dc_.set_text_align(TextAlign::CenterBaseline);
    dc_.set_bk_mode(BkMode::Transparent);
    const Font old_font = dc_.select_font(kLabelFont);

    int n = 0;
    bool half_toggle = true;
    int third_phase = 0;
    int left = in_.start_x - in_.board_px;
    int right = in_.start_x;
    int top = in_.start_y;
    int bottom = in_.start_y + in_.row_px;
    // The row ends once a cell lies wholly left of the outline.
    const long long row_end = static_cast<long long>(in_.left_margin) - in_.board_px;

    do {
        const bool ul = inside5(left, top);
        const bool bl = inside5(left, bottom);
        const bool ur = inside5(right, top);
        const bool br = inside5(right, bottom);
        advance_progress(n);
        if (ul && bl && ur && br) {
            full_cell(left, top, right, bottom, n);
        } else if (ul || bl || ur || br) {
            const int r = cutpiece(left, top, right, bottom, kLeft, n, ul, bl, ur, br);
            if (r == kCutBoard || r == kCutBoardWithOffcut) ++n;
        }

        right = left;
        left -= in_.board_px;
        if (left < row_end) {
            top += in_.row_px;
            bottom += in_.row_px;
            if (top >= in_.end_y) break;
            int f = in_.board_px;
            if (d_.style.stagger_on) {
                if (d_.style.stagger_divisor == 2) {
                    f = half_toggle ? in_.board_px / 2 : in_.board_px;
                    half_toggle = !half_toggle;
                } else if (d_.style.stagger_divisor == 3) {
                    f = third_phase == 0 ? in_.board_px / 3
                        : third_phase == 1 ? 2 * (in_.board_px / 3)
                                           : in_.board_px;
                    third_phase = (third_phase + 1) % 3;
                }
            }
            left = in_.start_x - f;
            right = in_.start_x;
        }
    } while (top < in_.end_y);

    dc_.select_font(old_font);
    dc_.select_pen(old_pen);
    return n;
}

}  // namespace plk
