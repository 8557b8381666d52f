#pragma once
// Drawing the floor outline with the mouse on the panel: snapping, the XOR
// rubber band, the end of a chain, and the outline (or the prompt) drawn on
// every repaint. Plain C++ on DesignState and the ViewHost.
#include "app/design_state.h"
#include "editor/view_host.h"

namespace plk {

enum class MouseButton { Left, Right, Middle };

constexpr Color kOutlineColor = rgb(0, 200, 0);
constexpr Color kCloseFlashColor = rgb(0, 0, 255);
constexpr Color kPromptColor = rgb(255, 0, 0);
inline constexpr const char* kDrawPrompt = "Draw outline using mouse";
// Status text when a chain has no room left for its closing segment.
inline constexpr const char* kOutlineFullText =
    "The outline holds at most 100 walls: click in place to close it.";

// The grid point a canvas point snaps to (adjustcoordstogrid on grid_bitmap).
Point snap_point(DesignState& d, Point p);

// The green outline when more than one segment exists, the prompt when there is
// none, nothing with exactly one. Drawn on the panel at the scroll positions.
void draw_outline(DesignState& d, ViewHost& host);

// XOR-erases a..old_end, XOR-draws a..new_end (white pen); when final, also
// draws a..new_end solid black. Points are canvas points.
void draw_rubber_band(DesignState& d, ViewHost& host, Point a, Point old_end, Point new_end, bool final);

// The blue flash over every segment after the outline has been closed.
void flash_outline(DesignState& d, ViewHost& host);

// The panel's mouse handlers. X and Y are panel coordinates.
class OutlineEditor {
public:
    OutlineEditor(DesignState& d, ViewHost& host) : d_(d), host_(host) {}

    void mouse_down(MouseButton button, int X, int Y);
    // Returns true when the panel should show the cross cursor (no chain drawn).
    bool mouse_move(int X, int Y);

    Point draw_start() const { return draw_start_; }
    Point draw_end() const { return draw_end_; }

private:
    Point canvas_point(int X, int Y) const;
    // Appends draw_start -> s; false (with a status text) when the outline has
    // no room left for it and its closing segment.
    bool append_segment(Point s);
    // Steps 3 to 6 of the end of a chain: labels, closing, repaint, edit_mode 2.
    void finish_chain();

    DesignState& d_;
    ViewHost& host_;
    Point draw_start_{};
    Point draw_end_{};
};

}  // namespace plk
