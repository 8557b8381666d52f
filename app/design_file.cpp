#include "app/design_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/numfmt.h"

namespace plk {
namespace {

// Beyond this a coordinate no longer converts to a pixel position that the
// drawing code can add scroll offsets to without overflowing.
constexpr double kMaxCoordinate = 1e7;

const char* const kLineEnd = "\r\n";

int clamped_count(const DesignState& d) {
    if (d.segment_count < 0) return 0;
    return d.segment_count > kSegmentStorage ? kSegmentStorage : d.segment_count;
}

AppError index_error(int index) { return AppError("List index out of bounds (" + std::to_string(index) + ")"); }

// get_field with the reader's field-length limit; `line_index` is from 0.
std::string read_field(const std::vector<std::string>& lines, std::size_t line_index, int k) {
    std::string field = get_field(lines[line_index], k);
    if (field.size() > kMaxDesignFieldLength) {
        throw AppError("Field " + std::to_string(k + 1) + " of line " + std::to_string(line_index + 1) +
                       " of the design file is longer than " + std::to_string(kMaxDesignFieldLength) +
                       " characters");
    }
    return field;
}

double read_number(const std::vector<std::string>& lines, std::size_t line_index, int k) {
    return parse_file_number(read_field(lines, line_index, k));
}

int read_integer(const std::vector<std::string>& lines, std::size_t line_index, int k) {
    return parse_int(read_field(lines, line_index, k));
}

double read_coordinate(const std::vector<std::string>& lines, std::size_t line_index, int k) {
    std::string field = read_field(lines, line_index, k);
    double v = parse_file_number(field);
    if (std::fabs(v) > kMaxCoordinate) {
        throw AppError("The coordinate '" + field + "' in line " + std::to_string(line_index + 1) +
                       " of the design file is too large");
    }
    return v;
}

AppError too_many_walls() {
    return AppError("The outline in this design has more than " + std::to_string(kMaxOutlineSegments) + " walls");
}

}  // namespace

std::string design_text(const DesignState& d) {
    std::string t;
    auto add = [&t](const std::string& line) {
        t += line;
        t += kLineEnd;
    };
    add("UNIFORMAT");
    add("[PK]");
    add(format_file_number(d.feet_per_grid) + "," + format_file_number(d.grid_pixels) + "," +
        std::to_string(d.unit_system));
    add("[ENDSEC]");
    add("[OUTLINE]");
    add("[x1/y1/x2/y2]");
    for (int i = 0; i < clamped_count(d); ++i) {
        const OutlineSegment& s = d.segments[static_cast<std::size_t>(i)];
        add(format_file_number(s.x1) + "," + format_file_number(s.y1) + "," + format_file_number(s.x2) + "," +
            format_file_number(s.y2));
    }
    add("[ENDSEC]");
    add("[CONSUMER]");
    const MaterialSpec& m = d.material;
    add(format_file_number(m.board_length) + "," + format_file_number(m.board_width) + "," +
        std::to_string(m.units_per_carton) + "," + format_file_number(m.price_per_carton) + "," +
        format_file_number(m.tax_percent) + "," + std::to_string(m.sample_index) + "," +
        std::to_string(d.style.stagger_style));
    add("[ENDSEC]");
    return t;
}

void save_design(const DesignState& d) {
    std::string text = design_text(d);
    // The backup first: if it cannot be written, the named file is left alone.
    write_file_atomic(kAutosaveFileName, text);
    write_file_atomic(d.file_name, text);
}

std::vector<std::string> split_design_text(std::string_view text, const std::string& source) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    auto add = [&](std::size_t end) {
        if (end - start > kMaxDesignLineLength) {
            throw AppError("Line " + std::to_string(lines.size() + 1) + " of " + source + " is longer than " +
                           std::to_string(kMaxDesignLineLength) + " characters");
        }
        lines.emplace_back(text.substr(start, end - start));
    };
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            add(i);
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < text.size()) add(text.size());
    return lines;
}

std::vector<std::string> read_design_lines(const std::string& path) {
    std::vector<std::uint8_t> bytes = read_file_bytes(path);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return split_design_text(text, path);
}

void apply_design_lines(DesignState& d, const std::vector<std::string>& lines) {
    // Units: the third line wherever the section tags are; its first two
    // fields (scale) are not taken over.
    if (lines.size() < 3) throw index_error(2);
    {
        std::string field = read_field(lines, 2, 2);
        double units = std::trunc(parse_file_number(field));
        if (!(units >= INT32_MIN && units <= INT32_MAX)) {
            throw AppError("'" + field + "' is not a valid integer value");
        }
        d.unit_system = static_cast<std::int32_t>(units);
    }

    // Outline: from two lines below the tag line up to a line that is exactly
    // "[ENDSEC]" or the end of the file.
    int k = find_line(lines, "[OUTLINE]");
    if (k != kLineNotFound) {
        for (std::size_t i = static_cast<std::size_t>(k) + 2; i < lines.size() && lines[i] != "[ENDSEC]"; ++i) {
            if (d.segment_count >= kMaxOutlineSegments) {
                d.segment_count = 0;
                throw too_many_walls();
            }
            OutlineSegment& s = d.segments[static_cast<std::size_t>(d.segment_count)];
            s.x1 = read_coordinate(lines, i, 0);
            s.y1 = read_coordinate(lines, i, 1);
            s.x2 = read_coordinate(lines, i, 2);
            s.y2 = read_coordinate(lines, i, 3);
            d.segment_count += 1;
        }
        // A full outline whose closing would need one more wall.
        if (d.segment_count == kMaxOutlineSegments && closing_appends_segment(d)) {
            d.segment_count = 0;
            throw too_many_walls();
        }
    }

    // Material and style: the line after the tag line.
    k = find_line(lines, "[CONSUMER]");
    if (k != kLineNotFound) {
        std::size_t m = static_cast<std::size_t>(k) + 1;
        if (m >= lines.size()) throw index_error(k + 1);
        d.material.board_length = read_number(lines, m, 0);
        d.material.board_width = read_number(lines, m, 1);
        d.material.units_per_carton = read_integer(lines, m, 2);
        d.material.price_per_carton = read_number(lines, m, 3);
        d.material.tax_percent = read_number(lines, m, 4);
        d.material.sample_index = read_integer(lines, m, 5);
        d.style.stagger_style = read_integer(lines, m, 6);
    }
}

std::string get_field(const std::string& line, int k) {
    if (k < 0) return "";
    std::size_t start = 0;
    for (int field = 0;; ++field) {
        std::size_t comma = line.find(',', start);
        std::size_t end = comma == std::string::npos ? line.size() : comma;
        if (field == k) return line.substr(start, end - start);
        // The last field, or a trailing comma, which starts no further field.
        if (comma == std::string::npos || comma + 1 >= line.size()) return "";
        start = comma + 1;
    }
}

int find_line(const std::vector<std::string>& lines, const std::string& tag) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(tag) != std::string::npos) return static_cast<int>(i);
    }
    return kLineNotFound;
}

int truncate_coordinate(double v) {
    constexpr double kLimit = 1e9;
    if (std::isnan(v)) return 0;
    if (v > kLimit) return static_cast<int>(kLimit);
    if (v < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(std::trunc(v));
}

bool closing_appends_segment(const DesignState& d) {
    int n = clamped_count(d);
    if (n < 3) return false;
    const OutlineSegment& f = d.segments[0];
    const OutlineSegment& l = d.segments[static_cast<std::size_t>(n - 1)];
    const std::int64_t fx1 = truncate_coordinate(f.x1), fy1 = truncate_coordinate(f.y1);
    const std::int64_t fx2 = truncate_coordinate(f.x2), fy2 = truncate_coordinate(f.y2);
    const std::int64_t lx1 = truncate_coordinate(l.x1), ly1 = truncate_coordinate(l.y1);
    const std::int64_t lx2 = truncate_coordinate(l.x2), ly2 = truncate_coordinate(l.y2);
    auto manhattan = [](std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
        return std::llabs(ax - bx) + std::llabs(ay - by);
    };
    std::int64_t m = manhattan(fx1, fy1, lx1, ly1);
    for (std::int64_t v : {manhattan(fx1, fy1, lx2, ly2), manhattan(fx2, fy2, lx1, ly1), manhattan(fx2, fy2, lx2, ly2)}) {
        if (v < m) m = v;
    }
    return m > 30;
}

}  // namespace plk
