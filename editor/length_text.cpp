#include "editor/length_text.h"

#include <cmath>
#include <cstdio>

#include "platform/numfmt.h"

namespace plk {
namespace {

// A length split into whole feet F, whole inches I and sixteenths s.
struct FeetInches {
    int feet = 0;
    int inches = 0;
    int sixteenths = 0;
};

// Feet beyond this cannot be counted in an int (and F + 1 must still fit).
constexpr double kMaxWholeFeet = 2147483000.0;

FeetInches split_feet(double length) {
    FeetInches r;
    // NaN has no parts; a cast of it (or of a huge value) to int is undefined.
    if (std::isnan(length)) return r;
    double whole = std::trunc(length);
    if (whole > kMaxWholeFeet) return FeetInches{static_cast<int>(kMaxWholeFeet), 0, 0};
    if (whole < -kMaxWholeFeet) return FeetInches{-static_cast<int>(kMaxWholeFeet), 0, 0};
    r.feet = static_cast<int>(whole);
    double f = length - whole;  // carries the length's sign
    if (f > 0) {
        double n = f * 12;
        double inches = std::trunc(n);
        double g = n - inches;
        r.inches = static_cast<int>(inches);
        if (g * 16 > 15) {
            // Within a sixteenth of the next inch: carried, not shown as "15".
            r.sixteenths = 0;
            r.inches += 1;
            if (r.inches >= 12) {
                r.inches = 0;
                r.feet += 1;
            }
        } else {
            r.sixteenths = static_cast<int>(g * 16);
        }
    }
    return r;
}

std::string printf_text(const char* format, int a, int b, const char* c) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

}  // namespace

double pixels_to_feet(const DesignState& d, double pixels) {
    return pixels / static_cast<double>(d.grid_pixels) * d.feet_per_grid;
}

std::string format_length(const DesignState& d, double feet) { return format_length(d.unit_system, feet); }

std::string format_length(int unit_system, double feet) {
    if (unit_system == kMetric) {
        double mm = feet * 12 * 25.4;
        if (mm >= 2000) return format_fixed(mm * 0.001, 3) + "m";
        return format_fixed(mm, 0) + "mm";
    }
    FeetInches p = split_feet(feet);
    if (p.sixteenths <= 0) return printf_text("%d' %d\"", p.feet, p.inches, "");
    return printf_text("%d' %d\" %s", p.feet, p.inches, sixteenths_text(p.sixteenths));
}

std::string format_feet_inches(double feet) {
    FeetInches p = split_feet(feet);
    // Half an inch stays down; nine sixteenths and more round the inches up.
    if (p.sixteenths > 8) {
        p.inches += 1;
        if (p.inches == 12) {
            p.inches = 0;
            p.feet += 1;
        }
    }
    if (p.inches > 0) return printf_text("%d' %d\"", p.feet, p.inches, "");
    return printf_text("%d'", p.feet, 0, "");
}

double midpoint(double a, double b) {
    double l = a > b ? a : b;
    double m = a > b ? b : a;
    return l + (m - l) * 0.5;
}

const char* sixteenths_text(int s) {
    static const char* const kTexts[16] = {"",    "1",   "1/8", "1/4", "1/4", "1/4", "3/8", "1/2",
                                           "1/2", "1/2", "5/8", "3/4", "3/4", "7/8", "7/8", "15"};
    if (s < 1 || s > 15) return "";
    return kTexts[s];
}

}  // namespace plk
