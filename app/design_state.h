#pragma once
// The one floor design held by the program. Plain data: every command reads
// and writes the fields directly and asks for a repaint itself.
#include <array>
#include <cstdint>
#include <string>

#include "platform/bitmap.h"
#include "platform/color.h"

namespace plk {

// One straight wall, in design-canvas pixels.
struct OutlineSegment {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double spare[3] = {0, 0, 0};  // never filled or read
};

enum UnitSystem : std::int32_t { kEnglish = 1, kMetric = 2 };

struct MaterialSpec {
    double board_length = 47.6377;  // inches (1210 mm)
    double board_width = 7.5984;     // inches (193 mm)
    std::int32_t units_per_carton = 8;
    double price_per_carton = 23.55;
    double tax_percent = 7.5;
    std::int32_t sample_index = 22;  // 1-based, row by row, four to a row
};

struct LayoutStyle {
    std::int32_t stagger_style = 1;  // 0 = none, 1 = "1/2", 2 = "1/3"
    std::int32_t kerf = 1;
    std::int32_t stagger_on = 1;
    std::int32_t stagger_divisor = 2;
};

// Storage for outline segments, and the most an outline may use once closed
// (the layout keeps one vertex per segment in a table of 100).
constexpr int kSegmentStorage = 133;
constexpr int kMaxOutlineSegments = 100;
constexpr int kMaxPolygonPoints = 100;
constexpr std::int32_t kNone = 50000;

struct DesignState {
    std::array<OutlineSegment, kSegmentStorage> segments{};
    std::int32_t segment_count = 0;
    std::int32_t grid_pixels = 3;
    double feet_per_grid = 0.083334;
    std::int32_t unit_system = kEnglish;
    std::int32_t edit_mode = 1;  // 1 = drawing, 2 = outline finished
    Point outline_centre{kNone, kNone};
    MaterialSpec material;
    LayoutStyle style;
    std::string file_name;
    std::string program_dir;
    Bitmap grid_bitmap;
    Bitmap layout_bitmap;
    std::int32_t grid_ready = 0;
    std::int32_t leftover_count = 0;
    std::array<Point, kMaxPolygonPoints> polygon_points{};
    std::int32_t export_drawing = 0;
    std::int32_t drawing_active = 0;
};

// Gives the design its defaults (segment records are left as they are; only
// segment_count says how many are valid).
void reset_design(DesignState& d);

// Derives stagger_on / stagger_divisor from stagger_style (0, 1, 2); any other
// style leaves them unchanged.
void derive_stagger(LayoutStyle& style);

}  // namespace plk
