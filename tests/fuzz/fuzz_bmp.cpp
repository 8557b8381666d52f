// Feeds arbitrary bytes to the BMP reader: it must either return a bitmap
// whose size matches its pixel buffer or throw AppError, never read outside
// the input or crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/bmp.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const plk::Bitmap bmp = plk::decode_bmp(std::span<const std::uint8_t>(data, size));
        if (bmp.empty() || bmp.bits().size() != static_cast<std::size_t>(bmp.stride()) * bmp.height())
            std::abort();
        // Touch the corners through the public reader, palette lookups included.
        volatile plk::Color sink = bmp.pixel(0, 0) ^ bmp.pixel(bmp.width() - 1, bmp.height() - 1);
        (void)sink;
    } catch (const plk::AppError&) {
    }
    return 0;
}
