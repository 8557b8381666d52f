// The command-line side of quartel: --version, --help and the headless layout.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/design_canvas.h"
#include "app/design_file.h"
#include "app/design_state.h"
#include "editor/outline.h"
#include "layout/layout_run.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/numfmt.h"

namespace plk {

namespace {

const char* const kUsage =
    "Usage: quartel [DESIGN.pk1]\n"
    "       quartel --layout DESIGN.pk1 [--gif PATH | --no-gif] [--no-kerf]\n"
    "       quartel --help | --version\n"
    "\n"
    "Without options quartel opens its window, with the design named (if any).\n"
    "\n"
    "--layout DESIGN.pk1  lays out the design without a window: reads it as Open\n"
    "                     does, takes the stagger from the design's style, lays the\n"
    "                     boards, writes the numbered drawing to \"fdraw.gif\" in the\n"
    "                     working directory and prints the five summary lines (area,\n"
    "                     boards and cartons, subtotal, tax, total). The canvas size\n"
    "                     comes from \"quartel.dll\" in the working directory (a\n"
    "                     built-in 2400 x 1700 canvas when that file is absent).\n"
    "  --gif PATH         writes the drawing to PATH instead of \"fdraw.gif\"\n"
    "  --no-gif           writes no drawing\n"
    "  --no-kerf          lays out without the saw-cut allowance\n"
    "--help               shows this text\n"
    "--version            shows the release\n"
    "\n"
    "Exit status: 0 when the layout was made; 1 with a message on standard error\n"
    "when it could not be (nothing is written then).\n";

struct LayoutArgs {
    std::string design;
    std::string gif = "fdraw.gif";
    bool write_gif = true;
    bool kerf = true;
};

// Parses the words after --layout. Throws AppError for a bad command line.
LayoutArgs parse_layout_args(int argc, char** argv) {
    LayoutArgs a;
    bool gif_given = false, no_gif_given = false;
    for (int i = 2; i < argc; ++i) {
        const std::string w = argv[i];
        if (w == "--gif") {
            if (i + 1 >= argc) throw AppError("--gif needs a file name");
            a.gif = argv[++i];
            if (a.gif.empty()) throw AppError("--gif needs a file name");
            gif_given = true;
        } else if (w == "--no-gif") {
            a.write_gif = false;
            no_gif_given = true;
        } else if (w == "--no-kerf") {
            a.kerf = false;
        } else if (w.size() > 1 && w[0] == '-') {
            throw AppError("Unknown option " + w);
        } else if (a.design.empty()) {
            a.design = w;
        } else {
            throw AppError("Only one design can be laid out at a time (" + a.design + ", " + w + ")");
        }
    }
    if (gif_given && no_gif_given) throw AppError("--gif and --no-gif cannot be used together");
    if (a.design.empty()) throw AppError("--layout needs a design file");
    return a;
}

int run_layout(const LayoutArgs& a) {
    init_regional_settings();
    DesignState d;
    reset_design(d);

    // Open, without the window's steps.
    d.segment_count = 0;
    d.outline_centre = Point{kNone, kNone};
    const std::vector<std::string> lines = read_design_lines(a.design);
    d.file_name = file_name_part(a.design);
    apply_design_lines(d, lines);
    d.edit_mode = 2;
    d.outline_centre = close_outline(d);
    if (d.segment_count < 1) throw AppError("The design " + d.file_name + " has no outline to lay out");

    // The style dialog's OK derives the stagger from the style.
    derive_stagger(d.style);
    d.style.kerf = a.kerf ? 1 : 0;

    // A canvas picture that is there but unreadable is an error; an absent one
    // gives the built-in canvas.
    const std::string canvas_error = load_canvas(d, "quartel.dll");
    if (!canvas_error.empty() && file_exists("quartel.dll")) throw AppError(canvas_error);

    check_layout_design(d);
    d.export_drawing = a.write_gif ? 1 : 0;
    LayoutRunHooks hooks;
    hooks.gif_path = a.gif;
    const LayoutSummary summary = drawlayout(d, hooks);
    for (const std::string& line : summary.lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace

int run_cli(int argc, char** argv) {
    if (argc < 2 || argv[1] == nullptr) return -1;
    const std::string first = argv[1];
    if (first == "--version") {
        std::puts("Release 1.0.01");
        return 0;
    }
    if (first == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == "--layout") {
        try {
            return run_layout(parse_layout_args(argc, argv));
        } catch (const AppError& e) {
            std::fprintf(stderr, "%s\n", e.what());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quartel: %s\n", e.what());
        }
        return 1;
    }
    // Single-dash words (-platform, -style ...) are the window toolkit's.
    if (first.size() > 2 && first.compare(0, 2, "--") == 0) {
        std::fprintf(stderr, "Unknown option %s\n%s", first.c_str(), kUsage);
        return 1;
    }
    return -1;
}

}  // namespace plk
