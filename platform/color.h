#pragma once
// Colours and small geometry values shared by all drawing code.
#include <cstdint>

namespace plk {

// A colour value laid out as 0x00BBGGRR (red in the low byte).
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int red_of(Color c) { return static_cast<int>(c & 0xff); }
constexpr int green_of(Color c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int blue_of(Color c) { return static_cast<int>((c >> 16) & 0xff); }

// Returned by pixel reads outside the bitmap or outside the clip region.
constexpr Color kInvalidColor = 0xFFFFFFFFu;

constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kPureRed = rgb(255, 0, 0);

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace plk
