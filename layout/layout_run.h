#pragma once
// The layout run: the outline scaled onto layout_bitmap in pure red, the board
// walk over it, the footer, the optional picture "fdraw.gif", and the five
// summary lines (area, boards and cartons, subtotal, tax, total).
#include <functional>
#include <string>
#include <vector>

#include "app/design_state.h"
#include "layout/board_walk.h"

namespace plk {

// Hooks into the window; every one is optional (the headless command and the
// tests leave most of them empty).
struct LayoutRunHooks {
    std::function<void(const std::string&)> memo_add;  // Memo1: one summary line
    std::function<void(bool)> show_memo;
    std::function<void(int)> set_progress;  // progress1 position, 0..100
    std::function<void(bool)> show_progress;
    std::function<void()> pump_messages;
    std::function<void(bool)> set_wait_cursor;

    // Where the picture goes when export_drawing is set.
    std::string gif_path = "fdraw.gif";
    // Every board label drawn by the walk is appended here when set.
    std::vector<LabelRecord>* label_log = nullptr;
    // Use the plain crossing rule instead of the look-up table (tests).
    bool plain_rule = false;
};

// What one run worked out.
struct LayoutSummary {
    bool ran = false;  // false: no outline, nothing happened
    double area = 0;   // square feet
    int boards = 0;
    int cartons = 0;
    double subtotal = 0;
    double tax = 0;
    double total = 0;
    std::vector<std::string> lines;  // the five summary lines

    // The drawing's geometry (layout-canvas pixels).
    double scale = 0;
    int left_margin = 0;
    int start_x = 0;
    int start_y = 0;
    int end_y = 0;
    int board_px = 0;
    int row_px = 0;
    int leftovers = 0;
};

// Area enclosed by the points (feet), square feet: |sum(x[i]y[i+1] - y[i]x[i+1])| / 2.
double polyarea(int count, const double* xs, const double* ys);

// Canvas pixels per foot for an outline of the given size: 2050 / width when
// wider than high, else 1400 / height; then lowered in steps of 50 pixels of
// height until the outline's height fits.
double layout_scale(double width_ft, double height_ft);

// Whole cartons for n boards: ceil(n / per_carton).
int carton_count(int boards, int per_carton);

// Throws AppError with a message naming the value when the design cannot be
// laid out (board size or boards per carton not above 0, an outline without
// width or height, too many walls, values that would overflow the drawing).
// Changes nothing.
void check_layout_design(const DesignState& d);

// The layout run. Does nothing when segment_count < 1. Refuses (AppError,
// nothing changed) what check_layout_design refuses. Writes hooks.gif_path
// when export_drawing is set, and nothing otherwise.
LayoutSummary drawlayout(DesignState& d, const LayoutRunHooks& hooks = {});

}  // namespace plk
