// Build-time generator of the pictures the program reads from its working
// directory: the design canvas, the wood samples, the board tile, the logo and
// the start-up reset picture.
//
//   mkassets <output directory>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/bitmap.h"
#include "platform/bmp.h"
#include "tools/mkassets/logo.h"
#include "tools/mkassets/wood.h"

namespace {

// The design canvas: 2400 pixels across for the layout drawing; 1700 high for
// its top margin (80), the tallest outline (1400), the footer line 75 below it
// and the footer text. Only the size is read, so one bit per pixel keeps the
// file small.
constexpr int kCanvasWidth = 2400;
constexpr int kCanvasHeight = 1700;

plk::Bitmap make_canvas() {
    plk::Bitmap canvas(kCanvasWidth, kCanvasHeight, 1);
    canvas.palette() = {plk::kBlack, plk::kWhite};
    canvas.fill(plk::kWhite);
    return canvas;
}

}  // namespace

// Under LeakSanitizer (the sanitizer build runs this generator while
// building): fontconfig keeps what it allocates while parsing its own
// configuration until the process ends. That memory is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkassets <output directory>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    try {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);  // a failure shows at the first write
        const auto out = [&](const char* name) { return (dir / name).string(); };
        plk::write_bmp(out("quartel.dll"), make_canvas());
        plk::write_bmp(out("lcolours.qvp"), plk::assets::make_sample_sheet());
        plk::write_bmp(out("lcolorT.qvp"), plk::assets::make_board_tile());
        plk::write_bmp(out("defcube5.pic"), plk::assets::make_cube());
        plk::write_bmp(out("logo.bmp"), plk::assets::make_logo());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkassets: %s\n", e.what());
        return 1;
    }
    return 0;
}
