#include "helperlib/common.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace plk {
namespace {

// Nearest multiple of spacing (> 0), halves going up, kept inside int range:
// near the ends of the range the nearest multiple may not fit, and the one on
// the inner side is taken.
int nearest_multiple(int v, int spacing) {
    const std::int64_t s = spacing;
    std::int64_t shifted = static_cast<std::int64_t>(v) + s / 2;
    // Floor division, so negative values round the same way as positive ones.
    std::int64_t q = shifted / s;
    if (shifted % s != 0 && shifted < 0) --q;
    std::int64_t r = q * s;
    if (r > INT_MAX) r -= s;
    if (r < INT_MIN) r += s;
    return static_cast<int>(r);
}

}  // namespace

Color getdwgpencolor() { return rgb(0, 0, 160); }

void line(Dc& dc, int x1, int y1, int x2, int y2) { dc.line(x1, y1, x2, y2); }

void Box(Dc& dc, int x1, int y1, int x2, int y2) { dc.rectangle_outline(x1, y1, x2, y2); }

int cdistance(int x1, int y1, int x2, int y2) {
    // The differences of two ints need 33 bits; a double holds them exactly.
    const double dx = static_cast<double>(x2) - static_cast<double>(x1);
    const double dy = static_cast<double>(y2) - static_cast<double>(y1);
    const double d = std::round(std::hypot(dx, dy));
    return d > INT_MAX ? INT_MAX : static_cast<int>(d);
}

Point adjustcoordstogrid(int x, int y, Dc& /*dc*/, int spacing) {
    // No grid to snap to: the point stays where it is.
    if (spacing <= 0) return Point{x, y};
    return Point{nearest_multiple(x, spacing), nearest_multiple(y, spacing)};
}

void WinExecAndWait32(const char* command_line) {
    if (command_line == nullptr) return;
    std::vector<std::string> argv = split_command_line(command_line);
    if (argv.empty()) return;
    // The callers carry on whether or not the program could be started.
    (void)run_and_wait(argv);
}

}  // namespace plk
