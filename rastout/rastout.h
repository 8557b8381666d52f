#pragma once
// The DIB stretch library: draws a bitmap onto a device context by way of a
// packed device-independent bitmap (DIB), stretched to a destination
// rectangle.
//
// Only StretchedOutput is exported from the shared library; the two steps
// below it are declared for the library's own tests.
#include <cstdint>
#include <optional>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/dib.h"

#if defined(__GNUC__)
#define RASTOUT_EXPORT __attribute__((visibility("default")))
#else
#define RASTOUT_EXPORT
#endif

// Converts `bitmap` into a packed DIB of its own depth (with `palette`, or
// the default palette when null, selected on the screen's device context),
// stretches the whole DIB onto (x, y, width, height) of `dc` with a plain
// source copy, and frees the DIB. Returns 0 when the DIB was released (also
// when there was nothing to draw); non-zero only if releasing it failed.
// Whether anything was drawn is not reported. The bitmap and the palette
// belong to the caller and are not changed.
extern "C" RASTOUT_EXPORT std::uintptr_t StretchedOutput(plk::Dc* dc, const plk::Bitmap* bitmap,
                                                         const plk::Palette* palette, std::int32_t x,
                                                         std::int32_t y, std::int32_t width,
                                                         std::int32_t height);

namespace plk::rastout {

// Builds a packed DIB of `bitmap` in a new movable block: the 40-byte header,
// the colour table and the bottom-up rows. A bit_count of 0 takes the
// bitmap's planes x bits per pixel. Returns 0 when there is no bitmap or any
// step fails; every failure releases what the conversion took (the block,
// the screen context, the palette selection). Sizes that do not fit a DIB
// fail before anything large is allocated.
MemHandle bitmap_to_dib(const Bitmap* bitmap, std::uint32_t compression, std::uint16_t bit_count,
                        const Palette* palette);

// The image size used when the platform reports none: row bytes x height,
// x 3 / 2 (rounded down) for a compressed DIB. nullopt when the result
// would not fit the 32-bit size field.
std::optional<std::uint32_t> estimate_image_size(std::uint16_t bit_count, std::int64_t width,
                                                 std::int64_t height, std::uint32_t compression);

// Stretches the source rectangle (sx, sy, sw, sh) of the DIB in `dib` onto
// (x, y, width, height) of `dc`; sw and sh both -1 mean the whole DIB. With
// no DIB the pattern fill of the destination with `op` is done instead and
// its result (1 or 0) returned. Otherwise returns the number of scan lines
// drawn, 0 when the block cannot be locked or does not hold a usable DIB.
int stretch_dib(Dc* dc, int x, int y, int width, int height, MemHandle dib, int sx, int sy, int sw, int sh,
                RasterOp op);

}  // namespace plk::rastout
