#include "layout/texture_fill.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "helperlib/common.h"
#include "platform/bmp.h"
#include "platform/dc.h"
#include "platform/error.h"
#include "platform/region.h"

namespace plk {

namespace {

// A picture file beside the program, as a 32-bit bitmap.
Bitmap load_picture(const std::string& path, const char* what) {
    Bitmap picture;
    try {
        picture = read_bmp(path);
    } catch (const AppError& e) {
        throw AppError(std::string(e.what()) + " (the " + what + " " + path + " is needed for the board texture)");
    }
    if (picture.bpp() == 32) return picture;
    Bitmap out(picture.width(), picture.height(), 32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) out.set_pixel32(x, y, picture.pixel(x, y));
    return out;
}

// Largest tile side worth drawing; a bigger board is clipped by the canvas anyway.
constexpr double kMaxTile = 1e6;

int tile_side(double pixels) {
    if (!(pixels >= 1)) return 1;  // a zero-sized tile would never move on
    return static_cast<int>(std::min(pixels, kMaxTile));
}

}  // namespace

Point sample_cell_origin(int sample_index) {
    const int i = std::clamp(sample_index, 1, kSampleCount);
    return Point{78 * ((i - 1) % 4), 45 * ((i - 1) / 4)};
}

void fillboards(DesignState& d, const std::string& sheet_path, const std::string& tile_path) {
    if (d.segment_count < 1) return;
    if (d.segment_count > kMaxPolygonPoints)
        throw AppError("The outline has " + std::to_string(d.segment_count) + " walls; at most " +
                       std::to_string(kMaxPolygonPoints) + " can be filled");
    const int n = d.segment_count;

    int max_x = 0, min_y = kNone, max_y = 0;
    std::vector<Point> vertices;
    vertices.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        // Out-of-range coordinates are clamped before they become pixels.
        const Point p{static_cast<int>(std::clamp(s.x1, -1e7, 1e7)), static_cast<int>(std::clamp(s.y1, -1e7, 1e7))};
        d.polygon_points[static_cast<std::size_t>(i)] = p;
        vertices.push_back(p);
        max_x = std::max(max_x, p.x);
        min_y = std::min(min_y, p.y);
        max_y = std::max(max_y, p.y);
    }

    Bitmap tile;
    {
        const Bitmap sheet = load_picture(sheet_path, "board sample sheet");
        tile = load_picture(tile_path, "board tile");
        // The sample cell, cut to the sheet so an odd index or a small sheet
        // never reads outside it.
        const Point o = sample_cell_origin(d.material.sample_index);
        const int w = std::min(kSampleCellWidth, sheet.width() - o.x);
        const int h = std::min(kSampleCellHeight, sheet.height() - o.y);
        Dc tdc(tile);
        if (w > 0 && h > 0) tdc.bit_blt(0, 0, w, h, sheet, o.x, o.y);
        // A dark joint along the board's top and left edge.
        tdc.select_pen(Pen{kBlack, 1});
        line(tdc, 0, 0, tile.width(), 0);
        line(tdc, 0, 0, 0, tile.height());
    }

    const int tile_w = tile_side(std::trunc(d.grid_pixels * d.material.board_length));
    const int tile_h = tile_side(std::trunc(d.grid_pixels * d.material.board_width));

    Dc dc(d.layout_bitmap);
    const Region clip(vertices);
    dc.set_clip(&clip);

    // Only tiles that meet the outline's box can show; others are skipped
    // without changing where the rows start.
    int min_x = vertices[0].x;
    for (const Point& p : vertices) min_x = std::min(min_x, p.x);
    const long long row_start = static_cast<long long>(max_x) - tile_w;

    long long x = row_start;
    long long y = min_y;
    bool half_toggle = false;
    int third_phase = 0;
    do {
        if (x <= max_x && x + tile_w > min_x) {
            dc.stretch_blt(static_cast<int>(x), static_cast<int>(y), tile_w, tile_h, tile, 0, 0, tile.width(),
                           tile.height());
        }
        x -= tile_w;
        // Further tiles of this row lie left of the outline: go to the next row.
        if (x + tile_w <= min_x && x >= 0) x = -1;
        if (x < 0) {
            long long offset = tile_w;
            if (d.style.stagger_on && d.style.stagger_divisor == 2) {
                offset = half_toggle ? tile_w : tile_w / 2;
                half_toggle = !half_toggle;
            } else if (d.style.stagger_on && d.style.stagger_divisor == 3) {
                offset = third_phase == 0 ? tile_w / 3 : third_phase == 1 ? 2 * (tile_w / 3) : tile_w;
                third_phase = (third_phase + 1) % 3;
            }
            x = max_x - offset;
            y += tile_h;
        }
    } while (y <= max_y);

    dc.set_clip(nullptr);
}

}  // namespace plk
