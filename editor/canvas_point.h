#pragma once
// Canvas values to pixel positions.
#include <cmath>

namespace plk {

// A double becomes a pixel position by truncation towards zero. Values from a
// design file can be anything: NaN gives 0 and huge values are held to a range
// that no drawing reaches, so the conversion never overflows an int.
inline int trunc_px(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kLimit = 1e8;
    if (v > kLimit) return static_cast<int>(kLimit);
    if (v < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}

}  // namespace plk
