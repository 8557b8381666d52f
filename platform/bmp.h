#pragma once
// BMP files: read the variants common tools write, write 24/32-bit and indexed.
// Encoding works on memory; the file functions are thin wrappers.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace plk {

// Decodes a BMP held in memory: 1/4/8/24/32 bits, bottom-up and top-down rows,
// the 40-byte header and the larger V4/V5 headers (BI_RGB and BI_BITFIELDS
// with the usual masks). Every size and offset is checked before it is used.
// Throws AppError("Bitmap image is not valid") for anything malformed.
// The result keeps the file's depth (indexed stays indexed).
Bitmap decode_bmp(std::span<const std::uint8_t> data);

// Reads a BMP file. A missing or unreadable file throws
// AppError("Cannot open file <path>"); a malformed one "Bitmap image is not valid".
Bitmap read_bmp(const std::string& path);

// Encodes a bitmap as a bottom-up BMP with the 40-byte header, at its own depth.
std::vector<std::uint8_t> encode_bmp(const Bitmap& bitmap);

// Writes a BMP file through a temporary file renamed over the target.
// Throws AppError("Cannot create file <path>") when it cannot be written.
void write_bmp(const std::string& path, const Bitmap& bitmap);

}  // namespace plk
