// Length texts in English and metric units.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/design_state.h"
#include "editor/length_text.h"
#include "platform/numfmt_testing.h"

namespace plk {
namespace {

constexpr double kInch = 1.0 / 12.0;

struct LengthCase {
    const char* name;
    int unit_system;
    double feet;
    const char* text;
};

TEST(LengthText, FormatLengthCases) {
    ASSERT_TRUE(set_regional_settings_for_test("C"));
    const LengthCase cases[] = {
        {"whole inches", kEnglish, 12.25, "12' 3\""},
        {"half a foot", kEnglish, 5.5, "5' 6\""},
        {"inches written when zero", kEnglish, 1.0, "1' 0\""},
        {"zero", kEnglish, 0.0, "0' 0\""},
        {"half inch as fraction", kEnglish, 3.375, "3' 4\" 1/2"},
        {"one sixteenth shows as 1", kEnglish, 2 + 1.07 * kInch, "2' 1\" 1"},
        // 2.078125 ft = 2 ft 15/16 in, exactly: a remainder of exactly 15
        // sixteenths is shown, anything above it is carried.
        {"fifteen sixteenths show as 15", kEnglish, 2.078125, "2' 0\" 15"},
        {"above fifteen sixteenths carries", kEnglish, 2 + 1.9376 * kInch, "2' 2\""},
        {"almost a whole inch carries", kEnglish, (11 - 0.01) * kInch, "0' 11\""},
        {"carry into the next foot", kEnglish, 12 + (12 - 0.03) * kInch, "13' 0\""},
        {"negative keeps only feet", kEnglish, -2.5, "-2' 0\""},
        {"small negative is zero", kEnglish, -0.5, "0' 0\""},
        {"36 pixels in English", kEnglish, 1.000008, "1' 0\""},
        {"any other unit is English", 7, 1.0, "1' 0\""},
        {"NaN has no parts", kEnglish, std::nan(""), "0' 0\""},
        {"36 pixels in metric", kMetric, 1.000008, "305mm"},
        {"half foot metric", kMetric, 0.5, "152mm"},
        {"ten feet in metres", kMetric, 10.0, "3.048m"},
        {"just below 2000 mm", kMetric, 6.5616, "2000mm"},
        {"just above 2000 mm", kMetric, 6.562, "2.000m"},
        {"negative metric", kMetric, -1.0, "-305mm"},
    };
    for (const LengthCase& c : cases) {
        EXPECT_EQ(format_length(c.unit_system, c.feet), c.text) << c.name;
    }
}

TEST(LengthText, EveryFractionOfTheSixteenthsTable) {
    const char* expected[] = {"1",   "1/8", "1/4", "1/4", "1/4", "3/8", "1/2", "1/2",
                              "1/2", "5/8", "3/4", "3/4", "7/8", "7/8", "15"};
    for (int s = 1; s <= 15; ++s) {
        EXPECT_STREQ(sixteenths_text(s), expected[s - 1]) << s;
        if (s == 15) continue;  // only an exact 15/16 shows "15" (see above)
        // 3 feet 4 inches and s sixteenths plus a little, so truncation gives s.
        double feet = 3 + (4 + (s + 0.01) / 16.0) * kInch;
        EXPECT_EQ(format_length(kEnglish, feet), std::string("3' 4\" ") + expected[s - 1]) << s;
    }
    EXPECT_STREQ(sixteenths_text(0), "");
    EXPECT_STREQ(sixteenths_text(16), "");
}

TEST(LengthText, FeetInchesCases) {
    struct Case {
        const char* name;
        double feet;
        const char* text;
    };
    const Case cases[] = {
        {"whole feet", 12.0, "12'"},
        {"half a foot", 12.5, "12' 6\""},
        {"half inch stays down", 12 + 3.5 * kInch, "12' 3\""},
        {"nine sixteenths round up", 12 + (3 + 9.2 / 16) * kInch, "12' 4\""},
        {"rounding reaches a foot", 12 + 11.6 * kInch, "13'"},
        {"negative", -2.5, "-2'"},
        {"huge value is clamped, not undefined", 1e300, "2147483000'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_feet_inches(c.feet), c.text) << c.name;
    }
}

TEST(LengthText, MetricUsesRegionalSeparator) {
    if (!set_regional_settings_for_test("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not generated";
    EXPECT_EQ(format_length(kMetric, 10.0), "3,048m");
    EXPECT_EQ(format_length(kMetric, 0.5), "152mm");
    set_regional_settings_for_test("C");
}

TEST(LengthText, PixelsToFeetAndMidpoint) {
    DesignState d;
    EXPECT_DOUBLE_EQ(pixels_to_feet(d, 36), 1.000008);
    EXPECT_DOUBLE_EQ(pixels_to_feet(d, 3), 0.083334);
    d.unit_system = kMetric;
    EXPECT_EQ(format_length(d, pixels_to_feet(d, 36)), "305mm");
    EXPECT_EQ(midpoint(2, 8), 5);
    EXPECT_EQ(midpoint(8, 2), 5);
    EXPECT_EQ(midpoint(-3, 3), 0);
}

}  // namespace
}  // namespace plk
