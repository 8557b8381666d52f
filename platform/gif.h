#pragma once
// GIF writing through giflib, keeping a drawing's colours exact.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace plk {

// Encodes the whole bitmap as a GIF picture. With at most 256 distinct colours
// the palette is exact; beyond that the most frequent colours are kept exact
// and the rest mapped to the nearest kept colour.
std::vector<std::uint8_t> encode_gif(const Bitmap& bitmap);

// Writes the GIF to a temporary file in the same directory and renames it over
// path, so a failure never leaves a half-written picture. File mode 0644
// (subject to umask). Throws AppError("Cannot create file <path>").
void write_gif(const std::string& path, const Bitmap& bitmap);

}  // namespace plk
