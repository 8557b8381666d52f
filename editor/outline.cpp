#include "editor/outline.h"

#include <algorithm>
#include <cstdint>

#include "app/design_file.h"

namespace plk {

Point close_outline(DesignState& d) {
    int n = std::clamp(d.segment_count, 0, kSegmentStorage);
    if (n < 3) return Point{kNone, kNone};

    const OutlineSegment& first = d.segments[0];
    const int fx = truncate_coordinate(first.x1);
    const int fy = truncate_coordinate(first.y1);
    OutlineSegment& last = d.segments[static_cast<std::size_t>(n - 1)];
    // A full outline has no room for a closing wall: its end is moved instead.
    if (closing_appends_segment(d) && n < kMaxOutlineSegments) {
        OutlineSegment& closing = d.segments[static_cast<std::size_t>(n)];
        closing = OutlineSegment{};
        closing.x1 = truncate_coordinate(last.x2);
        closing.y1 = truncate_coordinate(last.y2);
        closing.x2 = fx;
        closing.y2 = fy;
        n += 1;
        d.segment_count = n;
    } else {
        last.x2 = fx;
        last.y2 = fy;
    }

    // Bounding box of all ends; the minima start at 50000 and the maxima at 0,
    // so an outline entirely beyond 50000 or below 0 keeps those starts.
    std::int64_t min_x = kNone, min_y = kNone, max_x = 0, max_y = 0;
    for (int i = 0; i < n; ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        for (double v : {s.x1, s.x2}) {
            if (min_x > v) min_x = truncate_coordinate(v);
            if (!(max_x >= v)) max_x = truncate_coordinate(v);
        }
        for (double v : {s.y1, s.y2}) {
            if (min_y > v) min_y = truncate_coordinate(v);
            if (!(max_y >= v)) max_y = truncate_coordinate(v);
        }
    }
    // Halves truncate towards zero, as integer division does.
    const std::int64_t cx = min_x + (max_x - min_x) / 2;
    const std::int64_t cy = min_y + (max_y - min_y) / 2;
    return Point{static_cast<int>(cx), static_cast<int>(cy)};
}

}  // namespace plk
