#include "tools/mkassets/logo.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/dc.h"

namespace plk::assets {
namespace {

void fill_rect(Bitmap& bmp, int x, int y, int w, int h, Color c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) bmp.set_pixel(i, j, c);
}

// Three rows of boards, each row shifted by half a board, with dark joints:
// the laying pattern the program plans, as a motif.
void draw_planks(Bitmap& bmp) {
    constexpr int kLeft = 30;
    constexpr int kTop = 5;
    constexpr int kWidth = 88;
    constexpr int kRowHeight = 8;
    constexpr int kBoard = 40;
    const Color tones[3][3] = {
        {rgb(222, 180, 118), rgb(206, 160, 100), rgb(230, 192, 134)},
        {rgb(176, 108, 66), rgb(190, 122, 78), rgb(166, 98, 58)},
        {rgb(120, 82, 54), rgb(132, 92, 60), rgb(108, 74, 48)},
    };
    const Color joint = rgb(70, 45, 25);
    for (int row = 0; row < 3; ++row) {
        const int top = kTop + row * kRowHeight;
        // Rows start with a whole, half, whole board from the right, as laid.
        int right = kLeft + kWidth;
        int length = row == 1 ? kBoard / 2 : kBoard;
        for (int b = 0; right > kLeft; ++b) {
            const int left = std::max(kLeft, right - length);
            fill_rect(bmp, left, top, right - left, kRowHeight, tones[row][b % 3]);
            fill_rect(bmp, left, top, 1, kRowHeight, joint);
            right = left;
            length = kBoard;
        }
        fill_rect(bmp, kLeft, top, kWidth, 1, joint);
    }
    // Outer frame: the room's walls.
    const int bottom = kTop + 3 * kRowHeight;
    fill_rect(bmp, kLeft - 1, kTop - 1, kWidth + 2, 1, joint);
    fill_rect(bmp, kLeft - 1, bottom, kWidth + 2, 1, joint);
    fill_rect(bmp, kLeft - 1, kTop - 1, 1, bottom - kTop + 2, joint);
    fill_rect(bmp, kLeft + kWidth, kTop - 1, 1, bottom - kTop + 2, joint);
}

// Centred text on `baseline`, shrinking the font until it fits the width.
void centred_text(Dc& dc, const std::string& text, Font font, int baseline, int max_width) {
    dc.select_font(font);
    while (font.height > 8 && dc.text_extent(text).x > max_width) {
        font.height -= 1;
        dc.select_font(font);
    }
    dc.text_out(kLogoWidth / 2, baseline, text);
}

}  // namespace

Bitmap make_logo() {
    Bitmap logo(kLogoWidth, kLogoHeight, 24);
    logo.fill(kWhite);
    draw_planks(logo);

    Dc dc(logo);
    dc.set_bk_mode(BkMode::Transparent);
    dc.set_text_align(TextAlign::CenterBaseline);
    dc.set_text_color(rgb(70, 45, 25));
    centred_text(dc, "Plankora", Font{"Arial", 30, 700, false}, 60, kLogoWidth - 8);
    dc.set_text_color(rgb(150, 110, 70));
    centred_text(dc, "laminate floor planner", Font{"Arial", 12, 400, false}, 73, kLogoWidth - 8);
    return logo;
}

Bitmap make_cube() {
    constexpr int kSize = 32;
    Bitmap cube(kSize, kSize, 24);
    cube.fill(kWhite);
    const Color top = rgb(230, 192, 134);
    const Color left = rgb(190, 122, 78);
    const Color right = rgb(120, 82, 54);
    // An isometric cube: top vertex (cx, 2), centre (cx, 16), bottom (cx, 30),
    // side corners 14 pixels out; the top face above the centre's V, the
    // left and right faces below it.
    const int cx = kSize / 2;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int dx = std::abs(x - cx);
            if (dx > 14) continue;
            if (2 * (y - 2) >= dx && 2 * (16 - y) >= dx) cube.set_pixel(x, y, top);
            else if (2 * (y - 16) > -dx && 2 * (30 - y) > dx) cube.set_pixel(x, y, x < cx ? left : right);
        }
    }
    return cube;
}

}  // namespace plk::assets
