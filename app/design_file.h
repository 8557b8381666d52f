#pragma once
// The PK1 design file: writer, reader steps and the two line helpers.
//
// The file is 8-bit text, one item per line, CR LF line ends:
//   UNIFORMAT
//   [PK]
//   feet_per_grid,grid_pixels,unit_system
//   [ENDSEC]
//   [OUTLINE]
//   [x1/y1/x2/y2]
//   x1,y1,x2,y2            one line per segment
//   [ENDSEC]
//   [CONSUMER]
//   board_length,board_width,units_per_carton,price_per_carton,tax_percent,sample_index,stagger_style
//   [ENDSEC]
// Numbers use '.' whatever the user's region (format_file_number /
// parse_file_number); the integers are written plain.
//
// Opening a design, in this order (the window and the headless command both
// do it; the functions here are the parts without a window):
//   1. d.segment_count = 0; d.outline_centre = {kNone, kNone};
//      (window: wait cursor, clear the memo, draw and show the grid)
//   2. lines = read_design_lines(path);            may throw: nothing else changed
//   3. d.file_name = file_name_part(path);          (window: caption)
//   4-6. apply_design_lines(d, lines);               may throw: partial state, see there
//   7. (window: repaint)
//   8. d.edit_mode = 2;                             (window: menu items, memo)
//   9. d.outline_centre = close_outline(d);         (editor/outline.h)
//   10. (window: repaint and dimensions)
// A failure in 2 or 4-6 stops there: edit_mode is not set and the outline is
// not closed.
#include <string>
#include <string_view>
#include <vector>

#include "app/design_state.h"

namespace plk {

// The reader's limits: longer lines or fields make the file refused.
constexpr std::size_t kMaxDesignLineLength = 1999;
constexpr std::size_t kMaxDesignFieldLength = 254;
// The "none" result of find_line.
constexpr int kLineNotFound = 50000;
// The fixed backup file written before every save, in the working directory.
inline constexpr const char* kAutosaveFileName = "autosave.pk1";

// The whole file text for the design: the lines above, each ended by CR LF.
std::string design_text(const DesignState& d);

// Writes design_text to "autosave.pk1" and then to d.file_name, each through
// a temporary file and rename, so the old file survives a failed write.
// Throws AppError("Cannot create file <name>"); when the backup fails the
// named file is not written.
void save_design(const DesignState& d);

// Splits file text into lines at CR LF, lone CR or lone LF; a line end after
// the last line adds no empty line. `source` names the text in errors. Throws
// AppError when a line is longer than kMaxDesignLineLength.
std::vector<std::string> split_design_text(std::string_view text, const std::string& source);

// Reads the file at `path` (as given) and splits it. Throws
// AppError("Cannot open file <path>") when it cannot be read.
std::vector<std::string> read_design_lines(const std::string& path);

// Steps 4 to 6 of opening a design: unit_system from the third line's third
// field (a decimal number truncated towards zero), the outline from two lines
// below the first line containing "[OUTLINE]" up to a line that is exactly
// "[ENDSEC]", the material and stagger_style from the line after the first
// line containing "[CONSUMER]". Each value is stored as soon as it is read, so
// after a failure the values before it stay (segments read so far are counted
// by segment_count). The caller must have emptied the outline (step 1).
// Errors (AppError):
//   "List index out of bounds (2)"                  fewer than 3 lines
//   "List index out of bounds (<k+1>)"              "[CONSUMER]" on the last line
//   "'<text>' is not a valid floating point value"  a decimal field missing or bad
//   "'<text>' is not a valid integer value"         an integer field missing or bad
//   a line naming the limit, for a field over 254 characters, a coordinate
//   beyond +-1e7 pixels, or an outline of more than kMaxOutlineSegments walls
//   once closed (the design is then left with no outline).
void apply_design_lines(DesignState& d, const std::vector<std::string>& lines);

// Field k (from 0) of a line: the runs of characters between commas. Fewer
// than k + 1 fields give "". A trailing comma adds no field ("a," has no field 1).
std::string get_field(const std::string& line, int k);

// Index of the first line containing `tag` (case-sensitive), or 50000.
int find_line(const std::vector<std::string>& lines, const std::string& tag);

// Whether closing the outline appends a segment rather than moving the last
// end: at least 3 segments and the smallest Manhattan distance between the
// (truncated) ends of the first and last segments is more than 30. Shared by
// close_outline and the reader's size limit.
bool closing_appends_segment(const DesignState& d);

// A coordinate truncated towards zero, clamped to +-1e9 (NaN gives 0) so that
// the conversion is always defined.
int truncate_coordinate(double v);

}  // namespace plk
