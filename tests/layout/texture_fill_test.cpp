// The board texture: sample cell, joints, tile size, clip, staggered rows.
#include <gtest/gtest.h>

#include "layout/texture_fill.h"
#include "layout_fixtures.h"
#include "platform/bmp.h"
#include "platform/error.h"

namespace plk {
namespace {

using test::set_outline;
using test::TempDir;

Color sample_color(int i) { return rgb(7 * i, 250 - 6 * i, 100 + i); }

// A sheet of 36 plain-coloured samples (each 78 x 45 block one colour) and a
// white tile of 78 x 46, so a board of 26 x 15.3334 in is stretched 1:1.
struct TexturePictures {
    TempDir dir;
    std::string sheet = dir.file("lcolours.qvp");
    std::string tile = dir.file("lcolorT.qvp");
    TexturePictures(int sheet_w = 312, int sheet_h = 405) {
        Bitmap s(sheet_w, sheet_h, 24);
        for (int y = 0; y < sheet_h; ++y)
            for (int x = 0; x < sheet_w; ++x) s.set_pixel(x, y, sample_color(1 + (y / 45) * 4 + x / 78));
        write_bmp(sheet, s);
        write_bmp(tile, Bitmap(78, 46, 24));
    }
};

DesignState textured_room(int sample, int stagger_on, int divisor) {
    DesignState d;
    reset_design(d);
    d.layout_bitmap = Bitmap(600, 400, 32);
    set_outline(d, {{30, 30}, {390, 30}, {390, 318}, {30, 318}});
    d.material.board_length = 26;       // 78 px
    d.material.board_width = 15.3334;  // 46 px
    d.material.sample_index = sample;
    d.style.stagger_on = stagger_on;
    d.style.stagger_divisor = divisor;
    return d;
}

TEST(TextureFill, SampleCellOrigins) {
    struct Case {
        int index;
        Point origin;
    } cases[] = {{1, {0, 0}}, {4, {234, 0}}, {5, {0, 45}}, {22, {78, 225}}, {36, {234, 360}},
                 {0, {0, 0}}, {-7, {0, 0}}, {37, {234, 360}}, {1000000, {234, 360}}};
    for (const Case& c : cases) EXPECT_EQ(sample_cell_origin(c.index), c.origin) << c.index;
}

TEST(TextureFill, PaintsTheChosenSampleInsideTheOutlineOnly) {
    TexturePictures pics;
    for (int sample : {4, 5, 22, 0, 99}) {
        SCOPED_TRACE(sample);
        DesignState d = textured_room(sample, 0, 2);
        fillboards(d, pics.sheet, pics.tile);
        const int shown = std::clamp(sample, 1, 36);
        // The first tile lies at (390 - 78, 30).
        EXPECT_EQ(d.layout_bitmap.pixel(322, 40), sample_color(shown));
        EXPECT_EQ(d.layout_bitmap.pixel(200, 200), sample_color(shown));
        // Dark joints along each tile's top and left edge.
        EXPECT_EQ(d.layout_bitmap.pixel(312, 40), kBlack);
        EXPECT_EQ(d.layout_bitmap.pixel(322, 30), kBlack);
        // Outside the outline nothing changes.
        EXPECT_EQ(d.layout_bitmap.pixel(20, 20), kWhite);
        EXPECT_EQ(d.layout_bitmap.pixel(395, 40), kWhite);
        EXPECT_EQ(d.layout_bitmap.pixel(200, 330), kWhite);
        // The vertices in design-canvas pixels.
        EXPECT_EQ(d.polygon_points[2], (Point{390, 318}));
    }
}

TEST(TextureFill, RowsStaggerLikeTheWalk) {
    // The left joint of the first tile of rows 2 and 3 (y 86 and 132).
    struct Case {
        int on, divisor;
        int row2_joint, row3_joint;
    } cases[] = {{0, 2, 312, 312}, {1, 2, 351, 312}, {1, 3, 364, 338}};
    TexturePictures pics;
    for (const Case& c : cases) {
        DesignState d = textured_room(1, c.on, c.divisor);
        fillboards(d, pics.sheet, pics.tile);
        EXPECT_EQ(d.layout_bitmap.pixel(c.row2_joint, 90), kBlack) << c.on << "/" << c.divisor;
        EXPECT_EQ(d.layout_bitmap.pixel(c.row3_joint, 140), kBlack) << c.on << "/" << c.divisor;
        EXPECT_NE(d.layout_bitmap.pixel(c.row2_joint + 5, 90), kBlack);
    }
}

TEST(TextureFill, SmallSheetOrOddIndexNeverReadsOutside) {
    TexturePictures pics(100, 50);  // only samples 1 and part of 2
    for (int sample : {36, 7, -3}) {
        DesignState d = textured_room(sample, 1, 2);
        EXPECT_NO_THROW(fillboards(d, pics.sheet, pics.tile));
    }
}

TEST(TextureFill, TinyBoardsStillFinish) {
    // A board under a third of an inch is less than a pixel: one-pixel tiles.
    TexturePictures pics;
    DesignState d = textured_room(3, 1, 3);
    d.material.board_length = 0.1;
    d.material.board_width = 0.1;
    fillboards(d, pics.sheet, pics.tile);
    EXPECT_EQ(d.layout_bitmap.pixel(20, 20), kWhite);
}

TEST(TextureFill, MissingPicturesAreNamed) {
    TexturePictures pics;
    DesignState d = textured_room(1, 1, 2);
    for (const auto& [sheet, tile, name] :
         {std::tuple{pics.dir.file("none.qvp"), pics.tile, "none.qvp"},
          std::tuple{pics.sheet, pics.dir.file("lcolorT_missing.qvp"), "lcolorT_missing.qvp"}}) {
        try {
            fillboards(d, sheet, tile);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
    // Without an outline nothing is read at all.
    d.segment_count = 0;
    EXPECT_NO_THROW(fillboards(d, pics.dir.file("none.qvp"), pics.dir.file("none.qvp")));
}

}  // namespace
}  // namespace plk
