#pragma once
// Procedural wood: the 36-sample sheet of the Material dialog and the texture
// fill, and the board tile the texture fill stretches onto each board.
#include "platform/bitmap.h"

namespace plk::assets {

// Sheet geometry shared with the dialog and the texture fill: four samples to
// a row, nine rows, sample n at column (n - 1) % 4, row (n - 1) / 4.
constexpr int kSampleColumns = 4;
constexpr int kSampleRows = 9;
constexpr int kSampleCount = kSampleColumns * kSampleRows;
constexpr int kCellWidth = 78;
constexpr int kCellHeight = 45;
constexpr int kSheetWidth = kSampleColumns * kCellWidth;   // 312
constexpr int kSheetHeight = kSampleRows * kCellHeight;    // 405

// The tile has a board's proportions (47.6 x 7.6 in is about 6 : 1) and is
// no taller than a sample cell, so the sample copied onto it covers it fully.
constexpr int kTileWidth = 78;
constexpr int kTileHeight = 13;

// 24-bit sheet of all samples. Deterministic: the same bytes on every run.
Bitmap make_sample_sheet();

// 24-bit tile showing sample 1 (the texture fill overwrites it with the
// chosen sample before use).
Bitmap make_board_tile();

}  // namespace plk::assets
