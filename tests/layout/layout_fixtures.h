#pragma once
// Small helpers shared by the layout tests.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/design_file.h"
#include "app/design_state.h"
#include "editor/outline.h"
#include "helperlib/common.h"
#include "layout/board_walk.h"
#include "platform/dc.h"

namespace plk::test {

inline std::string design_path(const std::string& name) {
    return std::string(PLK_TEST_DATA_DIR) + "/designs/" + name;
}

// A design read as Open reads it, with the stagger the style dialog would
// derive, on the built-in 2400 x 1700 canvas.
inline DesignState load_design_fixture(const std::string& name) {
    DesignState d;
    reset_design(d);
    d.segment_count = 0;
    apply_design_lines(d, read_design_lines(design_path(name)));
    d.edit_mode = 2;
    d.outline_centre = close_outline(d);
    derive_stagger(d.style);
    d.grid_bitmap = Bitmap(2400, 1700, 32);
    d.layout_bitmap = Bitmap(2400, 1700, 32);
    return d;
}

// Sets the outline to the closed polygon through the given design-canvas points.
inline void set_outline(DesignState& d, const std::vector<Point>& pts) {
    d.segment_count = static_cast<int>(pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point a = pts[i], b = pts[(i + 1) % pts.size()];
        d.segments[i] = OutlineSegment{double(a.x), double(a.y), double(b.x), double(b.y), {0, 0, 0}};
    }
}

// A layout canvas with an outline drawn in pure red, ready for a walk with
// chosen cell sizes (independent of the layout run's scaling).
struct WalkScene {
    DesignState d;
    std::vector<Point> pts;
    WalkInput in;

    WalkScene(std::vector<Point> outline, int width, int height, int board_px, int row_px, double scale)
        : pts(std::move(outline)) {
        reset_design(d);
        d.layout_bitmap = Bitmap(width, height, 32);
        Dc dc(d.layout_bitmap);
        dc.select_pen(Pen{kPureRed, 1});
        in.start_x = 0;
        in.start_y = kNone;
        in.left_margin = kNone;
        int max_y = 0;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point a = pts[i], b = pts[(i + 1) % pts.size()];
            line(dc, a.x, a.y, b.x, b.y);
            in.start_x = std::max(in.start_x, a.x);
            in.start_y = std::min(in.start_y, a.y);
            in.left_margin = std::min(in.left_margin, a.x);
            max_y = std::max(max_y, a.y);
        }
        in.points = pts.data();
        in.n = static_cast<int>(pts.size());
        in.scale = scale;
        in.end_y = max_y;
        in.board_px = board_px;
        in.row_px = row_px;
        in.board_pen = getdwgpencolor();
    }
};

// A fresh directory for files a test writes; removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "plk_layout_XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs in another working directory for one scope.
class ChangeDir {
public:
    explicit ChangeDir(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ChangeDir() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
    }

private:
    std::filesystem::path old_;
};

}  // namespace plk::test
