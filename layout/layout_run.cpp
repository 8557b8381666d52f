#include "layout/layout_run.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/length_text.h"
#include "helperlib/common.h"
#include "platform/dc.h"
#include "platform/error.h"
#include "platform/gif.h"
#include "platform/numfmt.h"

namespace plk {

namespace {

constexpr double kDrawingWidth = 2400;  // the drawing area, layout-canvas pixels
constexpr int kTopMargin = 80;
// Coordinates beyond this (design-canvas pixels) are not a floor plan; they
// would overflow the pixel arithmetic.
constexpr double kMaxCoordinate = 1e7;
// A board whose side is longer than this on the layout canvas cannot be drawn.
constexpr double kMaxBoardPixels = 1e6;
// More cells than this would keep the walk busy for minutes.
constexpr double kMaxCells = 1e6;

const char* const kFooter = "FOR NON-COMMERCIAL USE ONLY";

// Calls a hook when it is set.
template <class F, class... A>
void call(const F& f, A&&... a) {
    if (f) f(std::forward<A>(a)...);
}

// The outline's bounding box, design-canvas pixels, truncated.
struct Box4 {
    int min_x, min_y, max_x, max_y;
};

Box4 bounding_box(const DesignState& d) {
    double lo_x = std::numeric_limits<double>::infinity(), lo_y = lo_x;
    double hi_x = -lo_x, hi_y = -lo_x;
    for (int i = 0; i < d.segment_count; ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        lo_x = std::min({lo_x, s.x1, s.x2});
        hi_x = std::max({hi_x, s.x1, s.x2});
        lo_y = std::min({lo_y, s.y1, s.y2});
        hi_y = std::max({hi_y, s.y1, s.y2});
    }
    return {static_cast<int>(lo_x), static_cast<int>(lo_y), static_cast<int>(hi_x), static_cast<int>(hi_y)};
}

std::string inches(double v) { return format_general(v); }

// Everything a run derives before it draws.
struct Geometry {
    Box4 box{};
    double width_ft = 0;
    double height_ft = 0;
    double scale = 0;
    int left_margin = 0;
    double board_px = 0;
    double row_px = 0;
};

// Works out the geometry and throws AppError for a design that cannot be laid
// out. Touches nothing.
Geometry plan(const DesignState& d) {
    const MaterialSpec& m = d.material;
    // Each of these would divide by zero or never finish a row or a carton.
    if (!(m.board_length > 0) || !std::isfinite(m.board_length))
        throw AppError("Board length must be greater than 0 (it is " + inches(m.board_length) + " inches)");
    if (!(m.board_width > 0) || !std::isfinite(m.board_width))
        throw AppError("Board width must be greater than 0 (it is " + inches(m.board_width) + " inches)");
    if (m.units_per_carton <= 0)
        throw AppError("Boards per carton must be at least 1 (it is " + std::to_string(m.units_per_carton) + ")");
    if (d.grid_pixels <= 0 || !(d.feet_per_grid > 0) || !std::isfinite(d.feet_per_grid))
        throw AppError("The grid scale must be greater than 0 (it is " + format_general(d.feet_per_grid) + " feet per " +
                       std::to_string(d.grid_pixels) + " pixels)");
    // polygon_points has room for this many vertices.
    if (d.segment_count > kMaxPolygonPoints)
        throw AppError("The outline has " + std::to_string(d.segment_count) + " walls; at most " +
                       std::to_string(kMaxPolygonPoints) + " can be laid out");
    for (int i = 0; i < d.segment_count; ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        for (double v : {s.x1, s.y1, s.x2, s.y2}) {
            if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate)
                throw AppError("Outline point " + format_general(v) + " is out of range");
        }
    }

    Geometry g;
    g.box = bounding_box(d);
    g.width_ft = pixels_to_feet(d, g.box.max_x - g.box.min_x);
    g.height_ft = pixels_to_feet(d, g.box.max_y - g.box.min_y);
    // The scale divides by the height or the width.
    if (!(g.width_ft > 0)) throw AppError("The outline has no width and cannot be laid out");
    if (!(g.height_ft > 0)) throw AppError("The outline has no height and cannot be laid out");
    g.scale = layout_scale(g.width_ft, g.height_ft);
    g.left_margin = static_cast<int>((kDrawingWidth - g.width_ft * g.scale) * 0.5);
    g.board_px = std::ceil(m.board_length / 12 * g.scale);
    g.row_px = std::ceil(m.board_width / 12 * g.scale);
    if (g.board_px > kMaxBoardPixels)
        throw AppError("Board length " + inches(m.board_length) + " inches is too large to lay out");
    if (g.row_px > kMaxBoardPixels)
        throw AppError("Board width " + inches(m.board_width) + " inches is too large to lay out");
    // Cells the walk visits: rows over the height, cells from the right-hand
    // end to one board beyond the left margin.
    const double rows = std::floor(g.height_ft * g.scale) / g.row_px + 1;
    const double cols = (g.width_ft * g.scale + 2) / g.board_px + 2;
    if (rows * cols > kMaxCells)
        throw AppError("Boards of " + inches(m.board_length) + " x " + inches(m.board_width) +
                       " inches are too small to lay out on this floor");
    return g;
}

}  // namespace

double polyarea(int count, const double* xs, const double* ys) {
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const int j = (i + 1) % count;
        sum += xs[i] * ys[j] - ys[i] * xs[j];
    }
    return std::fabs(sum * 0.5);
}

double layout_scale(double width_ft, double height_ft) {
    double scale = width_ft > height_ft ? 2050 / width_ft : 1400 / height_ft;
    int limit = 1400;
    // The limit only ever needs one step; the bound keeps it finite regardless.
    while (limit > 50 && std::trunc(scale * height_ft) > limit) {
        limit -= 50;
        scale = limit / height_ft;
    }
    return scale;
}

int carton_count(int boards, int per_carton) {
    if (per_carton <= 0) return 0;
    return static_cast<int>(std::ceil(static_cast<double>(boards) / per_carton));
}

void check_layout_design(const DesignState& d) {
    if (d.segment_count >= 1) plan(d);
}

LayoutSummary drawlayout(DesignState& d, const LayoutRunHooks& hooks) {
    LayoutSummary out;
    if (d.segment_count < 1) return out;
    const Geometry g = plan(d);
    if (d.layout_bitmap.empty()) throw AppError("The design canvas is not loaded");
    out.ran = true;

    d.leftover_count = 0;
    call(hooks.set_wait_cursor, true);
    // Whatever fails below, the cursor and the progress bar are put back.
    struct Restore {
        const LayoutRunHooks& h;
        bool cursor = true;
        bool progress = false;
        ~Restore() {
            if (progress && h.show_progress) h.show_progress(false);
            if (cursor && h.set_wait_cursor) h.set_wait_cursor(false);
        }
    } restore{hooks};

    const int n_seg = d.segment_count;
    std::vector<double> fx1(static_cast<std::size_t>(n_seg)), fy1(fx1.size()), fx2(fx1.size()), fy2(fx1.size());
    for (int i = 0; i < n_seg; ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        const std::size_t k = static_cast<std::size_t>(i);
        fx1[k] = pixels_to_feet(d, s.x1 - g.box.min_x);
        fy1[k] = pixels_to_feet(d, s.y1 - g.box.min_y);
        fx2[k] = pixels_to_feet(d, s.x2 - g.box.min_x);
        fy2[k] = pixels_to_feet(d, s.y2 - g.box.min_y);
    }
    out.area = polyarea(n_seg, fx1.data(), fy1.data());
    const double board_ft2 = (d.material.board_length / 12) * (d.material.board_width / 12);
    const double progress_step = out.area / board_ft2 * 0.01;

    auto add_line = [&](const std::string& line) {
        out.lines.push_back(line);
        call(hooks.memo_add, line);
    };
    add_line("Area " + format_fixed(out.area, 1) + " sq ft " + format_fixed(out.area * 0.09290304, 2) + " m2");
    call(hooks.set_progress, 0);
    call(hooks.show_progress, true);
    restore.progress = true;

    Bitmap& canvas = d.layout_bitmap;
    canvas.fill(kWhite);
    Dc dc(canvas);

    out.scale = g.scale;
    out.left_margin = g.left_margin;
    int start_x = 0;
    int start_y = kNone;
    const Pen old_pen = dc.select_pen(Pen{kPureRed, 1});
    for (int i = 0; i < n_seg; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const int x1 = static_cast<int>(g.left_margin + fx1[k] * g.scale);
        const int y1 = static_cast<int>(kTopMargin + fy1[k] * g.scale);
        const int x2 = static_cast<int>(g.left_margin + fx2[k] * g.scale);
        const int y2 = static_cast<int>(kTopMargin + fy2[k] * g.scale);
        line(dc, x1, y1, x2, y2);
        d.polygon_points[k] = Point{x1, y1};
        start_x = std::max(start_x, x1);
        start_y = std::min(start_y, y1);
    }
    dc.select_pen(old_pen);

    WalkInput in;
    in.points = d.polygon_points.data();
    in.n = n_seg;
    in.scale = g.scale;
    in.start_x = start_x;
    in.start_y = start_y;
    in.left_margin = g.left_margin;
    in.board_px = static_cast<int>(g.board_px);
    in.row_px = static_cast<int>(g.row_px);
    in.end_y = static_cast<int>(g.height_ft * g.scale) + start_y;
    in.progress_step = progress_step;
    in.board_pen = getdwgpencolor();

    BoardWalk walk(d, dc, in);
    walk.use_plain_rule(hooks.plain_rule);
    walk.set_label_log(hooks.label_log);
    walk.set_progress(hooks.set_progress, 0);
    const int n = walk.layboards();
    out.boards = n;
    out.start_x = in.start_x;
    out.start_y = in.start_y;
    out.end_y = in.end_y;
    out.board_px = in.board_px;
    out.row_px = in.row_px;
    out.leftovers = walk.leftovers().count();

    // The footer, in the label colour the walk left selected.
    const Font old_font = dc.select_font(Font{"Arial", 64, 400, false});
    dc.set_text_color(kLabelColor);
    dc.set_text_align(TextAlign::CenterBaseline);
    dc.text_out(1200, in.end_y + 75, kFooter);
    dc.select_font(old_font);

    if (d.export_drawing) write_gif(hooks.gif_path, canvas);

    call(hooks.pump_messages);
    call(hooks.set_wait_cursor, false);
    restore.cursor = false;

    const MaterialSpec& m = d.material;
    out.cartons = carton_count(n, m.units_per_carton);
    add_line("Boards: " + std::to_string(n) + " Cartons: " + std::to_string(out.cartons));
    out.subtotal = out.cartons * m.price_per_carton;
    add_line("Subtotal: " + format_money(out.subtotal));
    out.tax = out.subtotal * (m.tax_percent * 0.01);
    add_line("Tax: " + format_money(out.tax) + " @ " + format_fixed(m.tax_percent, 3) + "%");
    out.total = out.tax + out.subtotal;
    add_line("Total: " + format_money(out.total));

    call(hooks.show_progress, false);
    restore.progress = false;
    call(hooks.show_memo, true);
    call(hooks.pump_messages);
    d.edit_mode = 2;
    return out;
}

}  // namespace plk
