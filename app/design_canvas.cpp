#include "app/design_canvas.h"

#include <algorithm>

#include "platform/bmp.h"
#include "platform/error.h"

namespace plk {

namespace {
// Only the picture's size matters; its pixels are painted over by the grid.
std::string canvas_size(const std::string& path, int& w, int& h) {
    try {
        const Bitmap picture = read_bmp(path);
        w = picture.width();
        h = picture.height();
        return {};
    } catch (const AppError& e) {
        return e.what();
    }
}
}  // namespace

std::string load_canvas(DesignState& d, const std::string& path, int min_width, int min_height) {
    int w = kDefaultCanvasWidth;
    int h = kDefaultCanvasHeight;
    std::string error = canvas_size(path, w, h);
    if (!error.empty()) {
        w = kDefaultCanvasWidth;
        h = kDefaultCanvasHeight;
    }
    // A canvas smaller than the panel would give negative scroll ranges.
    w = std::clamp(std::max(w, min_width), 1, kMaxBitmapSide);
    h = std::clamp(std::max(h, min_height), 1, kMaxBitmapSide);
    d.grid_bitmap = Bitmap(w, h, 32);
    d.layout_bitmap = Bitmap(w, h, 32);
    return error;
}

std::string reload_grid_bitmap(DesignState& d, const std::string& path, int min_width, int min_height) {
    int w = d.grid_bitmap.width();
    int h = d.grid_bitmap.height();
    std::string error = canvas_size(path, w, h);
    if (!error.empty()) {
        w = d.grid_bitmap.width();
        h = d.grid_bitmap.height();
    }
    // Both canvases always have the same size.
    w = std::clamp(std::max({w, min_width, d.layout_bitmap.width()}), 1, kMaxBitmapSide);
    h = std::clamp(std::max({h, min_height, d.layout_bitmap.height()}), 1, kMaxBitmapSide);
    d.grid_bitmap = Bitmap(w, h, 32);
    if (d.layout_bitmap.width() != w || d.layout_bitmap.height() != h) d.layout_bitmap = Bitmap(w, h, 32);
    return error;
}

}  // namespace plk
