#pragma once
// Length texts: canvas pixels to feet, and feet to English or metric text.
#include <string>

#include "app/design_state.h"

namespace plk {

// pixels / grid_pixels * feet_per_grid.
double pixels_to_feet(const DesignState& d, double pixels);
// The length in the design's unit system (2 = metric, anything else English).
std::string format_length(const DesignState& d, double feet);
std::string format_length(int unit_system, double feet);
// Feet and whole inches, always English (offcut labels).
std::string format_feet_inches(double feet);
// Halfway between a and b: l + (m - l) * 0.5 with l the larger.
double midpoint(double a, double b);

// The sixteenths text for s = 1..15 ("1", "1/8", ... "15").
const char* sixteenths_text(int s);

}  // namespace plk
