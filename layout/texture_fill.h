#pragma once
// The board texture of the design view: the chosen wood sample, row by row
// with the layout's stagger, inside the outline on layout_bitmap.
#include <string>

#include "app/design_state.h"
#include "platform/color.h"

namespace plk {

constexpr int kSampleCellWidth = 78;
constexpr int kSampleCellHeight = 46;
constexpr int kSampleCount = 36;

// Top-left corner of the sample cell of a 1-based sample number on the sample
// sheet (four to a row, cells 78 pixels apart across and 45 down). Numbers
// outside 1..36 are taken as the nearest of 1 or 36.
Point sample_cell_origin(int sample_index);

// Fills the outline on layout_bitmap with the board texture. Stores the
// outline's vertices (design-canvas pixels) in polygon_points. Does nothing
// when segment_count < 1. Throws AppError naming the file when the sample
// sheet or the tile cannot be read, and for an outline of more than 100 walls.
void fillboards(DesignState& d, const std::string& sheet_path = "lcolours.qvp",
                const std::string& tile_path = "lcolorT.qvp");

}  // namespace plk
