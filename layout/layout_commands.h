#pragma once
// The two layout commands of the Edit menu. The main window calls these; they
// drive Memo1, progress1 and "&View Drawing" through the host.
#include "app/design_state.h"
#include "layout/layout_host.h"

namespace plk {

// "&Layout": empties the summary, runs the layout without saving the drawing,
// restores the grid, fills the outline with the board texture, redraws the
// dimensions and enables "&View Drawing".
void idm_layout_command(DesignState& d, LayoutHost& host);

// "&View Drawing": the same, but the layout run saves "fdraw.gif"; then the
// picture viewer is started on it ("imgview.exe fdraw.gif") and waited for,
// and the view is repainted twice.
void idm_pricecalc_command(DesignState& d, LayoutHost& host);

}  // namespace plk
