#include "app/design_state.h"

namespace plk {

void reset_design(DesignState& d) {
    d.segment_count = 0;
    d.grid_pixels = 3;
    d.feet_per_grid = 0.083334;
    d.unit_system = kEnglish;
    d.edit_mode = 1;
    d.outline_centre = {kNone, kNone};
    d.material = MaterialSpec{};
    d.style = LayoutStyle{};
    d.leftover_count = 0;
    d.grid_ready = 0;
}

void derive_stagger(LayoutStyle& style) {
    switch (style.stagger_style) {
    case 0: style.stagger_on = 0; style.stagger_divisor = 2; break;
    case 1: style.stagger_on = 1; style.stagger_divisor = 2; break;
    case 2: style.stagger_on = 1; style.stagger_divisor = 3; break;
    default: break;  // an unknown style leaves the pair as it was
    }
}

}  // namespace plk
