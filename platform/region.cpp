#include "platform/region.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace plk {

namespace {

// Smallest integer >= n / d for d > 0.
__int128 ceil_div(__int128 n, __int128 d) {
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// The first pixel column whose centre lies at or right of the point where the
// edge a-b crosses the horizontal line through the centres of row y. With the
// crossing at cx, that is ceil(cx - 0.5), computed exactly in integers:
//   cx - 0.5 = ((2 ax - 1) dy + (2 y + 1 - 2 ay) dx) / (2 dy)
// The caller guarantees that the edge spans the row (so dy != 0).
// The products reach 2^65 for vertices near the ends of the int range, so
// they are formed in 128 bits; the result is a column between two vertex
// x values and fits in 64 bits.
std::int64_t crossing_column(Point a, Point b, int y) {
    using Wide = __int128;
    const Wide dx = Wide{b.x} - a.x;
    const Wide dy = Wide{b.y} - a.y;
    Wide num = (2 * Wide{a.x} - 1) * dy + (2 * Wide{y} + 1 - 2 * Wide{a.y}) * dx;
    Wide den = 2 * dy;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return static_cast<std::int64_t>(ceil_div(num, den));
}

// An edge crosses the row's centre line y + 0.5 when exactly one end lies at
// or above it. Vertices have integer y, so "ay <= y + 0.5" is "ay <= y";
// horizontal edges never cross.
bool spans_row(Point a, Point b, int y) { return (a.y <= y) != (b.y <= y); }

int clamp_int(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

Region::Region(std::vector<Point> vertices) : vertices_(std::move(vertices)) {}

bool Region::contains(int x, int y) const {
    const std::size_t n = vertices_.size();
    if (n < 3) return false;
    // The centre is inside when an odd number of crossings lie at or left of it.
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = vertices_[i];
        const Point b = vertices_[(i + 1) % n];
        if (spans_row(a, b, y) && crossing_column(a, b, y) <= x) inside = !inside;
    }
    return inside;
}

std::vector<std::vector<Region::Span>> Region::spans(int height) const {
    std::vector<std::vector<Span>> rows(static_cast<std::size_t>(std::max(height, 0)));
    const std::size_t n = vertices_.size();
    if (n < 3) return rows;
    int top = vertices_[0].y;
    int bottom = vertices_[0].y;
    for (const Point& p : vertices_) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<std::int64_t> xs;
    const int first = std::max(top, 0);
    const int last = std::min(bottom, height);  // rows at or below the lowest vertex are empty
    for (int y = first; y < last; ++y) {
        xs.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Point a = vertices_[i];
            const Point b = vertices_[(i + 1) % n];
            if (spans_row(a, b, y)) xs.push_back(crossing_column(a, b, y));
        }
        // Crossings come in pairs; ceil() is monotone, so sorting the columns
        // pairs them as sorting the exact crossings would.
        std::sort(xs.begin(), xs.end());
        std::vector<Span>& row = rows[static_cast<std::size_t>(y)];
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int b = clamp_int(xs[i]);
            const int e = clamp_int(xs[i + 1]);
            if (b >= e) continue;
            if (!row.empty() && row.back().end >= b) row.back().end = std::max(row.back().end, e);
            else row.push_back({b, e});
        }
    }
    return rows;
}

}  // namespace plk
