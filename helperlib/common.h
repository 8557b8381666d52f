#pragma once
// The drawing and process helpers the program binds by name from the shared
// library "common".
#include "platform/color.h"
#include "platform/dc.h"

namespace plk {

// Colour of the board pen; never pure red (pure red marks walls).
Color getdwgpencolor();
// Straight line in the dc's current pen and mix mode (last pixel not drawn).
void line(Dc& dc, int x1, int y1, int x2, int y2);
// The four sides of the axis-parallel rectangle, current pen.
void Box(Dc& dc, int x1, int y1, int x2, int y2);
// Straight-line distance in whole pixels (rounded to nearest).
int cdistance(int x1, int y1, int x2, int y2);
// The nearest grid point on a grid with lines at multiples of spacing; a grid
// point maps to itself. The dc is not drawn on.
Point adjustcoordstogrid(int x, int y, Dc& dc, int spacing);
// Starts the program named first on the line with the rest as arguments and
// waits for it to end; returns quietly when it cannot be started.
void WinExecAndWait32(const char* command_line);

}  // namespace plk
