#include "editor/view.h"

#include <algorithm>

#include "editor/outline_editor.h"
#include "helperlib/common.h"
#include "platform/dc.h"

namespace plk {

namespace {
constexpr Color kGridColor = rgb(240, 240, 240);
}

void repaint_view(DesignState& d, ViewHost& host) {
    Bitmap& panel = host.panel_surface();
    {
        // Only the panel-sized window of the canvas is copied, so a repaint
        // costs the same whatever the canvas size.
        Dc dc(panel);
        dc.bit_blt(0, 0, panel.width(), panel.height(), d.layout_bitmap, host.scroll_x(), host.scroll_y());
    }
    draw_overall_dimensions(d, host);
    draw_segment_dimensions(d, host);
    draw_outline(d, host);
    host.panel_changed();
}

void draw_grid(DesignState& d) {
    d.layout_bitmap.fill(kWhite);
    d.grid_bitmap.fill(kWhite);
    const int g = d.grid_pixels;
    // A grid step below 1 would never advance the loops below.
    if (g < 1) return;
    Dc dc(d.grid_bitmap);
    dc.select_pen(Pen{kGridColor, 1});
    const int w = d.grid_bitmap.width();
    const int h = d.grid_bitmap.height();
    for (int x = 0; x < w; x += g) line(dc, x, 0, x, h);
    for (int y = 0; y < h; y += g) line(dc, 0, y, w, y);
}

void show_grid(DesignState& d, ViewHost& host) {
    Bitmap& panel = host.panel_surface();
    {
        Dc dc(panel);
        dc.bit_blt(0, 0, panel.width(), panel.height(), d.grid_bitmap, 0, 0);
    }
    d.layout_bitmap = d.grid_bitmap;
    d.grid_ready = 1;
    host.panel_changed();
}

void set_scroll_ranges(DesignState& d, ViewHost& host) {
    const Bitmap& panel = host.panel_surface();
    // The canvas is made at least as large as the panel; should it still be
    // smaller, the range stays at 0 instead of going negative.
    host.set_scroll_max(std::max(0, d.grid_bitmap.width() - panel.width()),
                        std::max(0, d.grid_bitmap.height() - panel.height()));
}

}  // namespace plk
