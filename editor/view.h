#pragma once
// The design view: the visible part of layout_bitmap copied onto the panel,
// then the dimensions and the outline drawn over it.
#include "app/design_state.h"
#include "editor/view_host.h"

namespace plk {

// Copy of layout_bitmap at the scroll positions, overall dimensions, segment
// dimensions, then the outline or the drawing prompt.
void repaint_view(DesignState& d, ViewHost& host);
// Clears both canvases white and draws the grid on grid_bitmap.
void draw_grid(DesignState& d);
// Shows the blank grid on the panel (unscrolled), copies it onto layout_bitmap,
// sets grid_ready.
void show_grid(DesignState& d, ViewHost& host);
// Scroll maxima = canvas size - panel size (never negative).
void set_scroll_ranges(DesignState& d, ViewHost& host);

// Dimension overlays drawn straight onto the panel.
void draw_overall_dimensions(DesignState& d, ViewHost& host);
void draw_segment_dimensions(DesignState& d, ViewHost& host);

}  // namespace plk
