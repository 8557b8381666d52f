#pragma once
// The maker's logo shown on the main window and in the about box.
#include "platform/bitmap.h"

namespace plk::assets {

constexpr int kLogoWidth = 147;
constexpr int kLogoHeight = 77;

// 24-bit, white background (the windows show it transparent on white): a
// small staggered-plank motif above the "Plankora" wordmark.
Bitmap make_logo();

// A small cube picture, the start-up reset copy.
Bitmap make_cube();

}  // namespace plk::assets
