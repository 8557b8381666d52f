#include "editor/outline_editor.h"

#include <algorithm>
#include <cstdlib>

#include "editor/canvas_point.h"
#include "editor/dimensions.h"
#include "editor/outline.h"
#include "editor/view.h"
#include "helperlib/common.h"
#include "platform/dc.h"

namespace plk {

namespace {

// Segments that may be read: segment_count never exceeds the storage, but a
// loaded design is not trusted to keep that.
int stored_segments(const DesignState& d) { return std::clamp(d.segment_count, 0, kSegmentStorage); }

// Every segment in order, moved by the scroll positions, in the dc's pen.
void draw_segments(const DesignState& d, ViewHost& host, Dc& dc) {
    const int sx = host.scroll_x();
    const int sy = host.scroll_y();
    for (int i = 0; i < stored_segments(d); ++i) {
        const OutlineSegment& s = d.segments[i];
        line(dc, trunc_px(s.x1) - sx, trunc_px(s.y1) - sy, trunc_px(s.x2) - sx, trunc_px(s.y2) - sy);
    }
}

}  // namespace

Point snap_point(DesignState& d, Point p) {
    // A zero grid step would divide by zero inside the snapping.
    if (d.grid_pixels < 1 || d.grid_bitmap.empty()) return p;
    Dc dc(d.grid_bitmap);
    return adjustcoordstogrid(p.x, p.y, dc, d.grid_pixels);
}

void draw_outline(DesignState& d, ViewHost& host) {
    Dc dc(host.panel_surface());
    if (d.segment_count > 1) {
        dc.select_pen(Pen{kOutlineColor, 1});
        draw_segments(d, host, dc);
    } else if (d.segment_count <= 0) {
        dc.select_font(Font{"Comic Sans MS", 30, 700});
        dc.set_text_color(kPromptColor);
        dc.set_bk_mode(BkMode::Transparent);
        dc.set_text_align(TextAlign::CenterBaseline);
        dc.text_out(host.panel_surface().width() / 2, 40, kDrawPrompt);
    }
    host.panel_changed();
}

void draw_rubber_band(DesignState&, ViewHost& host, Point a, Point old_end, Point new_end, bool final) {
    const int sx = host.scroll_x();
    const int sy = host.scroll_y();
    Dc dc(host.panel_surface());
    const Pen old_pen = dc.select_pen(Pen{kWhite, 1});
    dc.set_mix(MixMode::XorPen);
    line(dc, a.x - sx, a.y - sy, old_end.x - sx, old_end.y - sy);
    line(dc, a.x - sx, a.y - sy, new_end.x - sx, new_end.y - sy);
    dc.select_pen(old_pen);
    if (final) {
        dc.set_mix(MixMode::CopyPen);
        const Pen prev = dc.select_pen(Pen{kBlack, 1});
        line(dc, a.x - sx, a.y - sy, new_end.x - sx, new_end.y - sy);
        dc.select_pen(prev);
    }
    dc.set_mix(MixMode::CopyPen);
    host.panel_changed();
}

void flash_outline(DesignState& d, ViewHost& host) {
    Dc dc(host.panel_surface());
    dc.select_pen(Pen{kCloseFlashColor, 2});
    draw_segments(d, host, dc);
    host.panel_changed();
}

Point OutlineEditor::canvas_point(int X, int Y) const { return {X + host_.scroll_x(), Y + host_.scroll_y()}; }

bool OutlineEditor::append_segment(Point s) {
    // Keep room for the segment that closes the outline: a closed outline has
    // at most kMaxOutlineSegments walls.
    if (d_.segment_count < 0 || d_.segment_count >= kMaxOutlineSegments - 1) {
        host_.set_status_text(kOutlineFullText);
        return false;
    }
    OutlineSegment& seg = d_.segments[d_.segment_count];
    seg = OutlineSegment{};
    seg.x1 = draw_start_.x;
    seg.y1 = draw_start_.y;
    seg.x2 = s.x;
    seg.y2 = s.y;
    d_.segment_count += 1;
    return true;
}

void OutlineEditor::finish_chain() {
    draw_segment_dimensions(d_, host_);
    draw_overall_dimensions(d_, host_);
    d_.outline_centre = close_outline(d_);
    flash_outline(d_, host_);
    repaint_view(d_, host_);
    draw_segment_dimensions(d_, host_);
    draw_overall_dimensions(d_, host_);
    d_.edit_mode = 2;
    host_.enable_layout(true);
}

void OutlineEditor::mouse_down(MouseButton button, int X, int Y) {
    if (d_.edit_mode != 1) return;
    const Point p = canvas_point(X, Y);
    if (button == MouseButton::Left) {
        if (d_.drawing_active == 0) {
            // A new chain discards the earlier outline.
            d_.segment_count = 0;
            host_.show_dimlabel(true);
        } else {
            const int g = d_.grid_pixels;
            if (std::abs(p.x - draw_start_.x) <= g && std::abs(p.y - draw_start_.y) <= g) {
                // Click in place: the chain ends without a new segment.
                d_.drawing_active = 0;
                host_.show_dimlabel(false);
                finish_chain();
                return;
            }
            const Point s = snap_point(d_, p);
            if (d_.segment_count >= kMaxOutlineSegments - 1) {
                host_.set_status_text(kOutlineFullText);
                return;
            }
            draw_end_ = s;
            draw_rubber_band(d_, host_, draw_start_, s, s, true);
            append_segment(s);
            draw_segment_dimensions(d_, host_);
        }
        const Point s = snap_point(d_, p);
        draw_start_ = s;
        draw_end_ = s;
        d_.drawing_active = 1;
    } else if (button == MouseButton::Right && d_.drawing_active == 1) {
        d_.drawing_active = 0;
        host_.show_dimlabel(false);
        const Point s = snap_point(d_, p);
        draw_end_ = s;
        // A full outline is closed as it stands.
        if (d_.segment_count < kMaxOutlineSegments - 1) {
            draw_rubber_band(d_, host_, draw_start_, s, s, true);
            append_segment(s);
        }
        finish_chain();
    }
}

bool OutlineEditor::mouse_move(int X, int Y) {
    const bool cross = d_.drawing_active == 0;
    if (d_.grid_ready == 0) {
        draw_grid(d_);
        set_scroll_ranges(d_, host_);
        show_grid(d_, host_);
    }
    if (d_.edit_mode == 1 && d_.drawing_active == 1) {
        const Point s = snap_point(d_, canvas_point(X, Y));
        draw_rubber_band(d_, host_, draw_start_, draw_end_, s, false);
        draw_end_ = s;
        show_drawing_size(d_, host_, draw_start_, s);
    }
    return cross;
}

}  // namespace plk
