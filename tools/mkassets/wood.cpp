#include "tools/mkassets/wood.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace plk::assets {
namespace {

constexpr double kPi = 3.14159265358979323846;

// How one sample looks. Grain runs along x, the board's length.
struct WoodStyle {
    int base[3];         // surface colour
    int grain[3];        // colour of the growth-ring streaks
    double ring_spacing; // pixels between streaks across the board
    double warp;         // how far the streaks wander (in ring widths)
    double ring_depth;   // 0..1 how strongly streaks show
    double sharpness;    // higher = thinner streaks
    double fibre;        // fine lengthwise fibre noise, 0..1
    int knots;           // knots per cell
    double wash;         // 0..1 mix towards a limed / washed finish
    int wash_colour[3];
};

// Light to dark, then greys and washed finishes. Neighbours in the table
// differ in hue, lightness or figure so that every swatch is told apart.
constexpr std::array<WoodStyle, kSampleCount> kStyles = {{
    // 1-4: maple, birch, beech, steamed beech
    {{232, 200, 150}, {200, 160, 105}, 9.0, 0.6, 0.35, 3.0, 0.25, 0, 0.0, {0, 0, 0}},
    {{240, 226, 190}, {214, 190, 145}, 7.0, 0.8, 0.30, 4.0, 0.20, 1, 0.0, {0, 0, 0}},
    {{218, 160, 108}, {186, 120, 72}, 5.0, 0.5, 0.40, 2.5, 0.35, 0, 0.0, {0, 0, 0}},
    {{196, 124, 84}, {160, 90, 56}, 6.0, 0.7, 0.40, 3.0, 0.30, 0, 0.0, {0, 0, 0}},
    // 5-8: white ash, light oak, natural oak, golden oak
    {{226, 218, 200}, {170, 150, 120}, 10.0, 1.2, 0.55, 5.0, 0.20, 0, 0.0, {0, 0, 0}},
    {{214, 182, 130}, {168, 126, 76}, 8.0, 1.4, 0.55, 4.0, 0.30, 1, 0.0, {0, 0, 0}},
    {{192, 148, 94}, {140, 96, 52}, 7.0, 1.6, 0.60, 3.5, 0.35, 2, 0.0, {0, 0, 0}},
    {{196, 128, 52}, {146, 84, 28}, 8.0, 1.3, 0.55, 3.5, 0.30, 1, 0.0, {0, 0, 0}},
    // 9-12: rustic oak, smoked oak, dark oak, antique oak
    {{166, 130, 96}, {108, 76, 50}, 6.0, 2.0, 0.65, 2.5, 0.40, 3, 0.0, {0, 0, 0}},
    {{132, 108, 84}, {88, 70, 52}, 7.0, 1.5, 0.55, 3.0, 0.35, 1, 0.0, {0, 0, 0}},
    {{92, 62, 38}, {56, 36, 20}, 8.0, 1.2, 0.50, 3.0, 0.30, 1, 0.0, {0, 0, 0}},
    {{150, 112, 70}, {96, 66, 36}, 5.0, 1.8, 0.60, 2.0, 0.45, 2, 0.15, {120, 110, 100}},
    // 13-16: cherry, American cherry, red oak, mahogany
    {{186, 104, 66}, {146, 72, 42}, 9.0, 0.8, 0.40, 3.5, 0.25, 0, 0.0, {0, 0, 0}},
    {{146, 66, 50}, {108, 44, 32}, 8.0, 0.9, 0.40, 3.5, 0.25, 1, 0.0, {0, 0, 0}},
    {{194, 132, 104}, {150, 88, 66}, 6.0, 1.5, 0.60, 3.0, 0.35, 1, 0.0, {0, 0, 0}},
    {{136, 50, 30}, {96, 28, 16}, 5.0, 0.6, 0.45, 2.0, 0.30, 0, 0.0, {0, 0, 0}},
    // 17-20: walnut, black walnut, teak, iroko
    {{116, 80, 54}, {76, 50, 32}, 7.0, 1.7, 0.55, 2.5, 0.35, 1, 0.0, {0, 0, 0}},
    {{78, 56, 52}, {48, 32, 30}, 6.0, 1.4, 0.50, 2.5, 0.30, 1, 0.0, {0, 0, 0}},
    {{182, 116, 46}, {134, 78, 24}, 6.5, 1.0, 0.50, 3.0, 0.40, 0, 0.0, {0, 0, 0}},
    {{142, 108, 46}, {100, 72, 26}, 5.5, 1.1, 0.50, 2.5, 0.35, 0, 0.0, {0, 0, 0}},
    // 21-24: merbau, jatoba, wenge, dark ebony
    {{98, 60, 52}, {66, 38, 32}, 4.5, 0.8, 0.55, 2.0, 0.40, 0, 0.0, {0, 0, 0}},
    {{186, 100, 46}, {136, 64, 24}, 6.0, 1.2, 0.55, 3.0, 0.35, 1, 0.0, {0, 0, 0}},
    {{66, 50, 42}, {30, 22, 20}, 3.5, 0.5, 0.70, 1.5, 0.30, 0, 0.0, {0, 0, 0}},
    {{40, 34, 32}, {20, 16, 16}, 5.0, 0.8, 0.55, 2.0, 0.25, 0, 0.0, {0, 0, 0}},
    // 25-28: grey-washed oak, silver grey, driftwood, ash grey
    {{162, 156, 146}, {112, 104, 94}, 7.0, 1.5, 0.55, 3.5, 0.35, 1, 0.0, {0, 0, 0}},
    {{192, 190, 184}, {140, 138, 132}, 8.0, 1.3, 0.50, 4.0, 0.30, 1, 0.0, {0, 0, 0}},
    {{158, 140, 112}, {110, 94, 70}, 6.0, 1.9, 0.60, 3.0, 0.45, 2, 0.0, {0, 0, 0}},
    {{122, 120, 116}, {80, 78, 76}, 7.0, 1.4, 0.55, 3.0, 0.35, 1, 0.0, {0, 0, 0}},
    // 29-32: charcoal, white-washed oak, white-washed pine, pine
    {{84, 84, 84}, {50, 50, 52}, 6.0, 1.4, 0.55, 2.5, 0.35, 1, 0.0, {0, 0, 0}},
    {{200, 166, 118}, {150, 112, 70}, 7.0, 1.5, 0.55, 3.5, 0.30, 1, 0.65, {246, 244, 238}},
    {{226, 186, 124}, {190, 140, 80}, 10.0, 0.9, 0.55, 4.0, 0.20, 2, 0.65, {250, 246, 236}},
    {{228, 184, 118}, {186, 126, 60}, 11.0, 1.0, 0.65, 4.5, 0.20, 2, 0.0, {0, 0, 0}},
    // 33-36: knotty pine, bamboo, zebrano, olive ash
    {{210, 160, 90}, {160, 104, 44}, 9.0, 1.6, 0.60, 4.0, 0.25, 3, 0.0, {0, 0, 0}},
    {{216, 196, 120}, {180, 156, 84}, 3.0, 0.2, 0.35, 1.5, 0.45, 0, 0.0, {0, 0, 0}},
    {{206, 180, 126}, {84, 62, 36}, 6.0, 0.4, 0.85, 2.0, 0.20, 0, 0.0, {0, 0, 0}},
    {{190, 184, 136}, {128, 118, 76}, 8.0, 1.8, 0.60, 3.0, 0.35, 1, 0.0, {0, 0, 0}},
}};
// A short initializer list would leave the last samples zero-filled (black).
static_assert(kStyles[kSampleCount - 1].ring_spacing > 0, "every sample needs a style");

// Deterministic integer hash -> [0, 1).
double hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<double>(h) / 4294967296.0;
}

// Smooth value noise in [0, 1).
double value_noise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double a = hash01(ix, iy, seed);
    const double b = hash01(ix + 1, iy, seed);
    const double c = hash01(ix, iy + 1, seed);
    const double d = hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fbm(double x, double y, std::uint32_t seed) {
    double sum = 0;
    double amp = 0.5;
    double norm = 0;
    for (int octave = 0; octave < 3; ++octave) {
        sum += amp * value_noise(x, y, seed + 101u * octave);
        norm += amp;
        x *= 2.1;
        y *= 2.1;
        amp *= 0.5;
    }
    return sum / norm;
}

struct Knot {
    double x, y, rx, ry;
};

double mix(double a, double b, double t) { return a + (b - a) * t; }

int clamp_byte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

// Paints sample `index` (0-based) into the w x h area of `bmp` at (ox, oy).
void paint_wood(Bitmap& bmp, int ox, int oy, int w, int h, int index) {
    const WoodStyle& s = kStyles[static_cast<std::size_t>(index)];
    const std::uint32_t seed = 7919u + 31u * static_cast<std::uint32_t>(index);

    // Knots: placed from the seed, kept clear of the cell's edges.
    std::array<Knot, 4> knots{};
    const int knot_count = std::min<int>(s.knots, static_cast<int>(knots.size()));
    for (int k = 0; k < knot_count; ++k) {
        knots[k].x = 8 + hash01(k, 1, seed) * (w - 16);
        knots[k].y = 6 + hash01(k, 2, seed) * (h - 12);
        knots[k].rx = 2.5 + hash01(k, 3, seed) * 3.0;
        knots[k].ry = 1.5 + hash01(k, 4, seed) * 1.5;
    }

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Ring position across the board, wandering slowly along it.
            double t = y / s.ring_spacing + s.warp * (fbm(x * 0.025, y * 0.09, seed) - 0.5) * 1.5;
            double knot_dark = 0;
            for (int k = 0; k < knot_count; ++k) {
                const double dx = (x - knots[k].x) / knots[k].rx;
                const double dy = (y - knots[k].y) / knots[k].ry;
                const double d2 = dx * dx + dy * dy;
                // Rings bend around a knot and close into it.
                t += 1.6 * std::exp(-d2 * 0.35) * (dy >= 0 ? 1 : -1);
                if (d2 < 1) knot_dark = std::max(knot_dark, 0.75 * (1 - d2));
            }
            const double ring = std::pow(0.5 + 0.5 * std::cos(2 * kPi * t), s.sharpness);
            const double fibre = value_noise(x * 0.18, y * 1.1, seed + 7u) - 0.5;
            const double mottle = fbm(x * 0.06, y * 0.06, seed + 13u) - 0.5;
            const double streak = s.ring_depth * ring;
            const double shade = 1.0 + s.fibre * 0.35 * fibre + 0.12 * mottle;

            int out[3];
            for (int c = 0; c < 3; ++c) {
                double v = mix(s.base[c], s.grain[c], streak) * shade;
                v = mix(v, s.wash_colour[c], s.wash * (0.75 + 0.5 * mottle));
                v = mix(v, s.grain[c] * 0.55, knot_dark);
                out[c] = clamp_byte(v);
            }
            bmp.set_pixel(ox + x, oy + y, rgb(out[0], out[1], out[2]));
        }
    }
}

}  // namespace

Bitmap make_sample_sheet() {
    Bitmap sheet(kSheetWidth, kSheetHeight, 24);
    for (int i = 0; i < kSampleCount; ++i) {
        const int column = i % kSampleColumns;
        const int row = i / kSampleColumns;
        paint_wood(sheet, column * kCellWidth, row * kCellHeight, kCellWidth, kCellHeight, i);
    }
    return sheet;
}

Bitmap make_board_tile() {
    Bitmap tile(kTileWidth, kTileHeight, 24);
    paint_wood(tile, 0, 0, kTileWidth, kTileHeight, 0);
    return tile;
}

}  // namespace plk::assets
