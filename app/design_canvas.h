#pragma once
// The design canvas: grid_bitmap and layout_bitmap, sized from the picture
// file "quartel.dll" in the working directory.
#include <string>

#include "app/design_state.h"

namespace plk {

// Canvas used when the picture file is missing or unreadable.
constexpr int kDefaultCanvasWidth = 2400;
constexpr int kDefaultCanvasHeight = 1700;

// Creates both canvases (32 bits per pixel, white) at the size of the picture
// in `path`, at least min_width x min_height. When the picture cannot be read
// the default size is used and the error text is returned; "" on success.
std::string load_canvas(DesignState& d, const std::string& path = "quartel.dll",
                        int min_width = 0, int min_height = 0);

// Reloads grid_bitmap alone (the New command), keeping its current size when
// the picture cannot be read. Returns the error text or "".
std::string reload_grid_bitmap(DesignState& d, const std::string& path = "quartel.dll",
                               int min_width = 0, int min_height = 0);

}  // namespace plk
