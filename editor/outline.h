#pragma once
// Closing a drawn or loaded outline.
#include "app/design_state.h"

namespace plk {

// Joins the outline's end to its start (moving the last end when the smallest
// Manhattan distance between the first and last segments' ends is <= 30,
// else appending a closing segment) and returns the whole-pixel centre of the
// bounding box; (50000, 50000) with fewer than 3 segments. Never grows the
// outline beyond kMaxOutlineSegments: when no room is left the last end is
// moved instead. The blue flash is drawn by the caller.
Point close_outline(DesignState& d);

}  // namespace plk
