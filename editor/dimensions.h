#pragma once
// Dimension labels: the overall and per-segment dimension drawings (declared in
// editor/view.h) and the live size text of the line being drawn.
#include <string>

#include "app/design_state.h"
#include "editor/view.h"
#include "editor/view_host.h"

namespace plk {

// Colours of the two dimension drawings.
constexpr Color kOverallDimensionColor = rgb(255, 10, 10);
constexpr Color kSegmentDimensionColor = rgb(0, 10, 10);

// The text shown in dimlabel while a chain is drawn: the width and height of
// the line from draw_start to p (both snapped), joined by " x ".
std::string drawing_size_text(DesignState& d, Point draw_start, Point p);
// Puts drawing_size_text into dimlabel.
void show_drawing_size(DesignState& d, ViewHost& host, Point draw_start, Point p);

}  // namespace plk
