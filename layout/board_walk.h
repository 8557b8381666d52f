#pragma once
// The board walk: lays boards row by row over the outline drawn in pure red on
// the layout canvas, cuts them at the walls, keeps and reuses offcuts, numbers
// and labels every board, and counts the boards to buy.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/design_state.h"
#include "platform/color.h"
#include "platform/dc.h"

namespace plk {

// Label colour of the layout drawing (and its footer).
constexpr Color kLabelColor = rgb(255, 10, 10);
// Font of the board labels.
inline const Font kLabelFont{"Arial", 13, 400, false};
// Result codes of cutpiece.
constexpr int kCutNoBoard = 0;
constexpr int kCutBoard = 1;
constexpr int kCutBoardWithOffcut = 3;
// Leftover directions.
constexpr std::int32_t kLeft = 1;
constexpr std::int32_t kRight = 2;
// Room the leftover table starts with; it grows beyond that when a run needs it.
constexpr int kLeftoverTableSize = 6000;

// Point in outline by the integer crossing rule over the edges
// (p[k-1], p[k mod n]); the division truncates towards zero.
bool insidepoly(const Point* points, int n, int x, int y);
// insidepoly at (x, y) or at one of its four diagonal neighbours.
bool insidepoly5(const Point* points, int n, int x, int y);

// The insidepoly5 answer for every pixel, computed once row by row, so each
// test of the walk is a table look-up. Gives exactly the plain rule's answer.
class InsideMask {
public:
    InsideMask() = default;
    InsideMask(const Point* points, int n);
    bool inside5(int x, int y) const {
        const long long cx = static_cast<long long>(x) - x0_;
        const long long cy = static_cast<long long>(y) - y0_;
        if (cx < 0 || cy < 0 || cx >= w_ || cy >= h_) return fallback_ && slow(x, y);
        return mask_[static_cast<std::size_t>(cy) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(cx)] != 0;
    }

private:
    bool slow(int x, int y) const { return insidepoly5(points_.data(), static_cast<int>(points_.size()), x, y); }
    std::vector<Point> points_;
    std::vector<std::uint8_t> mask_;
    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
    bool fallback_ = false;  // outline too large for a table: use the plain rule
};

// True when a lies within b - 2 to b + 2 inclusive.
bool nearlength(int a, int b);

// The one-character name of leftover i in labels: A-Z, then a-z, then the
// character with code i + 71 while that is one 8-bit character (written as
// UTF-8; codes without a character get a Greek letter). Beyond: "@<i>".
std::string leftover_tag(int i);

struct Leftover {
    double length = 0;  // feet
    std::int32_t direction = kLeft;
};

// The offcuts of one run, with a best-fit search per direction.
class LeftoverTable {
public:
    int count() const { return static_cast<int>(items_.size()); }
    const Leftover& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }
    void clear();
    // Appends and returns the new index.
    int add(double length, std::int32_t direction);
    // Among the records of the direction at least `needed` long, takes the
    // shortest (lowest index on ties): its length becomes 0 and its index is
    // returned. kNone when none fits.
    int take(double needed, std::int32_t direction);

private:
    std::vector<Leftover> items_;
    // (length, index) per direction; taken records stay with length 0.
    std::set<std::pair<double, int>> by_dir_[2];
};

// A label drawn by the walk (for tests and diagnostics).
struct LabelRecord {
    int x = 0;
    int y = 0;
    std::string text;
    friend bool operator==(const LabelRecord&, const LabelRecord&) = default;
};

// Everything one walk needs; fixed for the run.
struct WalkInput {
    const Point* points = nullptr;  // outline vertices on the layout canvas
    int n = 0;
    double scale = 1;  // canvas pixels per foot
    int start_x = 0;
    int start_y = 0;
    int left_margin = 0;
    int end_y = 0;
    int board_px = 1;
    int row_px = 1;
    double progress_step = 0;
    Color board_pen = kBlack;
};

class BoardWalk {
public:
    BoardWalk(DesignState& d, Dc& dc, const WalkInput& in);

    // Use the plain crossing rule instead of the look-up table (tests).
    void use_plain_rule(bool plain) { plain_ = plain; }
    // Every label drawn is appended here when set.
    void set_label_log(std::vector<LabelRecord>* log) { log_ = log; }
    // Called with the new progress1 position (0..100) whenever it changes.
    void set_progress(std::function<void(int)> cb, int start_position = 0) {
        progress_cb_ = std::move(cb);
        progress_ = start_position;
    }

    // The whole walk; returns the number of boards to buy.
    int layboards();

    bool inside5(int x, int y) const;
    int takeleftover(double needed, std::int32_t direction);
    int cutpiece(int left, int top, int right, int bottom, int direction, int n, bool ul, bool bl, bool ur,
                 bool br);
    // The cell with all four corners inside; updates n.
    void full_cell(int left, int top, int right, int bottom, int& n);

    const LeftoverTable& leftovers() const { return leftovers_; }
    int progress_position() const { return progress_; }

private:
    void label(int x, int y, const std::string& text);
    int add_leftover(double length, std::int32_t direction);
    void advance_progress(int n);

    DesignState& d_;
    Dc& dc_;
    WalkInput in_;
    InsideMask mask_;
    bool plain_ = false;
    LeftoverTable leftovers_;
    double kerf_allowance_ = 0;
    std::vector<LabelRecord>* log_ = nullptr;
    std::function<void(int)> progress_cb_;
    int progress_ = 0;
};

}  // namespace plk
