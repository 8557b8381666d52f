#include "editor/dimensions.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "editor/canvas_point.h"
#include "editor/length_text.h"
#include "editor/outline_editor.h"
#include "helperlib/common.h"
#include "platform/dc.h"

namespace plk {

namespace {

int stored_segments(const DesignState& d) { return std::clamp(d.segment_count, 0, kSegmentStorage); }

std::string length_text(const DesignState& d, double pixels) {
    return format_length(d, pixels_to_feet(d, pixels));
}

void prepare_text(Dc& dc, Color c) {
    dc.set_text_color(c);
    dc.set_bk_mode(BkMode::Transparent);
    dc.set_text_align(TextAlign::CenterBaseline);
}

// A slash tick centred on (x, y).
void tick(Dc& dc, int x, int y) { line(dc, x + 3, y - 3, x - 3, y + 3); }

}  // namespace

void draw_overall_dimensions(DesignState& d, ViewHost& host) {
    const int n = stored_segments(d);
    if (n < 1) return;
    // The box starts empty rather than at fixed limits, so outlines that lie
    // beyond 10000 pixels or at negative coordinates (possible in a design
    // file) still get a box around them.
    double min_x = std::numeric_limits<double>::infinity();
    double min_y = min_x;
    double max_x = -min_x;
    double max_y = -min_x;
    for (int i = 0; i < n; ++i) {
        const OutlineSegment& s = d.segments[i];
        min_x = std::min({min_x, s.x1, s.x2});
        max_x = std::max({max_x, s.x1, s.x2});
        min_y = std::min({min_y, s.y1, s.y2});
        max_y = std::max({max_y, s.y1, s.y2});
    }
    min_x -= host.scroll_x();
    max_x -= host.scroll_x();
    min_y -= host.scroll_y();
    max_y -= host.scroll_y();

    Dc dc(host.panel_surface());
    dc.select_pen(Pen{kOverallDimensionColor, 2});
    const int yw = trunc_px(min_y - 20);
    line(dc, trunc_px(min_x), yw, trunc_px(max_x), yw);
    line(dc, trunc_px(min_x + 8), yw - 8, trunc_px(min_x - 8), yw + 8);
    line(dc, trunc_px(max_x + 8), yw - 8, trunc_px(max_x - 8), yw + 8);
    const int xh = trunc_px(min_x - 20);
    line(dc, xh, trunc_px(min_y), xh, trunc_px(max_y));
    line(dc, xh + 8, trunc_px(min_y - 8), xh - 8, trunc_px(min_y + 8));
    line(dc, xh + 8, trunc_px(max_y - 8), xh - 8, trunc_px(max_y + 8));

    prepare_text(dc, kOverallDimensionColor);
    if (max_x - min_x > 0)
        dc.text_out(trunc_px(min_x + (max_x - min_x) * 0.5), trunc_px(min_y - 50), length_text(d, max_x - min_x));
    if (max_y - min_y > 0)
        dc.text_out(trunc_px(min_x - 60), trunc_px(min_y + (max_y - min_y) * 0.5), length_text(d, max_y - min_y));
    host.panel_changed();
}

void draw_segment_dimensions(DesignState& d, ViewHost& host) {
    const int n = stored_segments(d);
    if (n < 1) return;
    const double sx = host.scroll_x();
    const double sy = host.scroll_y();

    Dc dc(host.panel_surface());
    dc.select_pen(Pen{kSegmentDimensionColor, 1});
    prepare_text(dc, kSegmentDimensionColor);

    // Orientation picks the outer side of every segment: 2 when the first
    // segment runs left, or runs right (or straight) and upwards.
    const OutlineSegment& first = d.segments[0];
    const int o = (first.x2 < first.x1 || (first.x2 >= first.x1 && first.y1 > first.y2)) ? 2 : 1;

    for (int i = 0; i < n; ++i) {
        const OutlineSegment& s = d.segments[i];
        const int X1 = trunc_px(s.x1), Y1 = trunc_px(s.y1), X2 = trunc_px(s.x2), Y2 = trunc_px(s.y2);
        const double L = std::min(s.x1, s.x2) - sx;
        const double R = std::max(s.x1, s.x2) - sx;
        const double T = std::min(s.y1, s.y2) - sy;
        const double B = std::max(s.y1, s.y2) - sy;
        const bool horizontal = R != L && B == T;
        const bool vertical = R == L && B != T;

        bool above = false;
        if (horizontal) {
            above = (o == 1 && X1 < X2) || (o == 2 && X1 > X2);
            const int yd = above ? trunc_px(T - 10) : trunc_px(B + 10);
            line(dc, trunc_px(L), yd, trunc_px(R), yd);
            tick(dc, trunc_px(L), yd);
            tick(dc, trunc_px(R), yd);
        } else if (vertical) {
            const bool left = (o == 1 && Y2 < Y1) || (o == 2 && Y2 > Y1);
            const int xd = left ? trunc_px(L - 10) : trunc_px(R + 10);
            line(dc, xd, trunc_px(T), xd, trunc_px(B));
            tick(dc, xd, trunc_px(T));
            tick(dc, xd, trunc_px(B));
        }

        if (X1 != X2) {
            const double D = horizontal ? R - L
                                        : cdistance(trunc_px(L), trunc_px(T), trunc_px(R), trunc_px(B));
            int x = trunc_px(L + D * 0.5);
            int y;
            if (horizontal) {
                y = above ? trunc_px(T - 5) : trunc_px(B + 25);
            } else {
                y = trunc_px(midpoint(T, B));
                const bool to_left = Y1 < Y2 || (Y1 == Y2 && o == 1);
                x += to_left ? -30 : 30;
            }
            dc.text_out(x, y, length_text(d, D));
        } else if (Y1 != Y2) {
            const double D = B - T;
            const int y = trunc_px(T + D * 0.5);
            // The text goes opposite the line for orientation 1, beside it for 2.
            const bool text_right = o == 1 ? Y2 < Y1 : !(Y2 > Y1);
            const int x = text_right ? trunc_px(R + 20) : trunc_px(L - 20);
            dc.text_out(x, y, length_text(d, D));
        }
    }
    host.panel_changed();
}

std::string drawing_size_text(DesignState& d, Point draw_start, Point p) {
    const Point a = snap_point(d, draw_start);
    const Point b = snap_point(d, p);
    const int w = std::abs(b.x - a.x);
    const int h = std::abs(b.y - a.y);
    return length_text(d, w) + " x " + length_text(d, h);
}

void show_drawing_size(DesignState& d, ViewHost& host, Point draw_start, Point p) {
    host.set_dimlabel_text(drawing_size_text(d, draw_start, p));
}

}  // namespace plk
