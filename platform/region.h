#pragma once
// A polygon region filled by the alternate (even-odd) rule, usable as a clip.
#include <vector>

#include "platform/color.h"

namespace plk {

class Region {
public:
    Region() = default;
    // The polygon through the given vertices (closed implicitly).
    explicit Region(std::vector<Point> vertices);

    const std::vector<Point>& vertices() const { return vertices_; }
    // True when the pixel (x, y) belongs to the region: its centre (x + 0.5,
    // y + 0.5) lies inside the polygon by the even-odd rule.
    bool contains(int x, int y) const;

    // Per-row coverage for fast clipping: for row y, sorted half-open x spans
    // [begin, end) of pixels inside. Computed once for rows 0..height-1.
    struct Span { int begin; int end; };
    std::vector<std::vector<Span>> spans(int height) const;

private:
    std::vector<Point> vertices_;
};

}  // namespace plk
