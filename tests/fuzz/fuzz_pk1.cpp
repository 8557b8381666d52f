// Design file reader: arbitrary bytes as file text through the line splitting,
// the reader's steps and the outline closing, as opening a design does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/design_file.h"
#include "app/design_state.h"
#include "editor/outline.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plk::DesignState d;
    d.segment_count = 0;
    d.outline_centre = {plk::kNone, plk::kNone};
    try {
        auto lines = plk::split_design_text(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.pk1");
        plk::apply_design_lines(d, lines);
        d.edit_mode = 2;
        d.outline_centre = plk::close_outline(d);
        // What was read must fit the table and write back out.
        if (d.segment_count < 0 || d.segment_count > plk::kMaxOutlineSegments) __builtin_trap();
        (void)plk::design_text(d);
    } catch (const plk::AppError&) {
        // A refused file: the state left behind must still be within bounds.
        if (d.segment_count < 0 || d.segment_count > plk::kMaxOutlineSegments) __builtin_trap();
    }
    return 0;
}
