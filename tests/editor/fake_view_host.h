#pragma once
// A ViewHost without a window: the panel surface is a plain bitmap and the
// label, menu item and status bar are fields the tests read.
#include <algorithm>
#include <string>

#include "app/design_state.h"
#include "editor/view.h"
#include "editor/view_host.h"
#include "platform/bitmap.h"

namespace plk {

struct FakeViewHost : ViewHost {
    explicit FakeViewHost(int w = 300, int h = 250) : surface(w, h, 32) {}

    Bitmap& panel_surface() override { return surface; }
    void panel_changed() override { ++changes; }
    int scroll_x() const override { return sx; }
    int scroll_y() const override { return sy; }
    void set_scroll_max(int x, int y) override {
        max_x = x;
        max_y = y;
    }
    void pump_messages() override {}
    void set_wait_cursor(bool) override {}
    void show_dimlabel(bool v) override { dimlabel_visible = v; }
    void set_dimlabel_text(const std::string& t) override { dimlabel_text = t; }
    void enable_layout(bool e) override { layout_enabled = e; }
    void set_status_text(const std::string& t) override { status = t; }

    Bitmap surface;
    int sx = 0;
    int sy = 0;
    int max_x = -1;
    int max_y = -1;
    int changes = 0;
    bool dimlabel_visible = false;
    std::string dimlabel_text = "dimlabel";
    bool layout_enabled = false;
    std::string status;
};

// A design with a canvas of the given size, grid drawn and shown on the host.
inline DesignState design_on(FakeViewHost& host, int w = 800, int h = 600) {
    DesignState d;
    d.grid_bitmap = Bitmap(w, h, 32);
    d.layout_bitmap = Bitmap(w, h, 32);
    draw_grid(d);
    show_grid(d, host);
    return d;
}

inline void add_segment(DesignState& d, double x1, double y1, double x2, double y2) {
    OutlineSegment& s = d.segments[static_cast<std::size_t>(d.segment_count++)];
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
}

// A box of panel pixels, both corners included, with an optional row and
// column left out (where a dimension line crosses it).
struct Box {
    int x0, y0, x1, y1;
    int skip_row = -1;
    int skip_col = -1;
};

inline int ink(const Bitmap& b, Color c, const Box& box) {
    int n = 0;
    for (int y = box.y0; y <= box.y1; ++y)
        for (int x = box.x0; x <= box.x1; ++x)
            if (y != box.skip_row && x != box.skip_col && b.pixel(x, y) == c) ++n;
    return n;
}

// Horizontal centre of the pixels of colour c inside the box (-1 when none).
inline double ink_centre_x(const Bitmap& b, Color c, const Box& box) {
    int lo = box.x1 + 1, hi = box.x0 - 1;
    for (int y = box.y0; y <= box.y1; ++y)
        for (int x = box.x0; x <= box.x1; ++x)
            if (y != box.skip_row && x != box.skip_col && b.pixel(x, y) == c) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return hi < lo ? -1 : (lo + hi) / 2.0;
}

}  // namespace plk
