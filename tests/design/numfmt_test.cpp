// Number texts: the locale-independent design-file form, and the regional
// forms under the C locale and (when generated on this machine) de_DE and en_US.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/support/error_text.h"
#include "platform/error.h"
#include "platform/numfmt.h"
#include "platform/numfmt_testing.h"

namespace plk {
namespace {

// Switches the captured regional settings for one test and back to "C".
class RegionalLocale {
public:
    explicit RegionalLocale(const char* name) : ok_(set_regional_settings_for_test(name)) {}
    ~RegionalLocale() { set_regional_settings_for_test("C"); }
    bool ok() const { return ok_; }

private:
    bool ok_;
};

using plk::testing::error_text;

TEST(FileNumber, WritesGeneralForm) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.083334, "0.083334"},
        {3, "3"},
        {47.6377, "47.6377"},
        {23.55, "23.55"},
        {-12.5, "-12.5"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},                   // 15 significant digits hide the binary tail
        {1.0 / 3.0, "0.333333333333333"},
        {0.00001, "0.00001"},                 // the smallest plain form
        {0.000001, "1E-6"},
        {-2.5e-7, "-2.5E-7"},
        {999999999999999.0, "999999999999999"},  // 15 integer digits stay plain
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {123456789012345678.0, "1.23456789012346E17"},
        {9.9999999999999999e14, "1E15"},       // rounding carries into a new digit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_file_number(c.value), c.text) << c.value;
    }
}

TEST(FileNumber, NonFiniteValuesHaveAText) {
    EXPECT_EQ(format_file_number(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(format_file_number(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(format_file_number(std::nan("")), "NAN");
}

TEST(FileNumber, WrittenFormReadsBack) {
    for (double v : {0.083334, 47.6377, -1e-6, 1.5e20, 123.456, 30.0, 1e-300}) {
        EXPECT_EQ(parse_file_number(format_file_number(v)), std::stod(format_file_number(v)));
    }
}

TEST(FileNumber, ParsesAndRejects) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"30", true, 30},       {"-2.5", true, -2.5},   {"+4", true, 4},
        {" 7.5 ", true, 7.5},   {"1E-6", true, 1e-6},   {"1.5e20", true, 1.5e20},
        {".5", true, 0.5},      {"5.", true, 5},        {"1e-400", true, 0},
        {"", false, 0},         {" ", false, 0},        {"1,5", false, 0},
        {"1.5x", false, 0},     {"1.5 2", false, 0},    {"inf", false, 0},
        {"nan", false, 0},      {"0x10", false, 0},     {"1e", false, 0},
        {"1e400", false, 0},    {"-", false, 0},        {".", false, 0},
        {"[ENDSEC] ", false, 0},
    };
    for (const Case& c : cases) {
        if (c.ok) {
            EXPECT_EQ(parse_file_number(c.text), c.value) << c.text;
        } else {
            EXPECT_EQ(error_text([&] { parse_file_number(c.text); }),
                      std::string("'") + c.text + "' is not a valid floating point value");
        }
    }
}

TEST(IntegerText, ParsesWithinInt32Only) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"22", true, 22},
        {" -7 ", true, -7},
        {"+3", true, 3},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999", false, 0},
        {"1.0", false, 0},
        {"", false, 0},
        {"8a", false, 0},
        {"-", false, 0},
    };
    for (const Case& c : cases) {
        if (c.ok) {
            EXPECT_EQ(parse_int(c.text), c.value) << c.text;
        } else {
            EXPECT_EQ(error_text([&] { parse_int(c.text); }),
                      std::string("'") + c.text + "' is not a valid integer value");
        }
    }
}

TEST(RegionalText, CLocaleUsesPointAndPlainMoney) {
    RegionalLocale loc("C");
    ASSERT_TRUE(loc.ok());
    EXPECT_EQ(regional_decimal_separator(), '.');
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {3.048, 3, "3.048"},   {304.8, 0, "305"},     {1999.97568, 0, "2000"},
        {2.0005, 3, "2.001"},  {-0.0004, 3, "0.000"}, {-1.5, 1, "-1.5"},
        {0.5, 0, "1"},         {1e20, 1, "100000000000000000000.0"},
        {123456789.123456789, 3, "123456789.123"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format_fixed(c.value, c.decimals), c.text) << c.value;
    }
    EXPECT_EQ(format_general(47.6377), "47.6377");
    EXPECT_EQ(format_money(1.17), "1.17");
    EXPECT_EQ(format_money(1234.5), "1234.50");
    EXPECT_EQ(format_money(-0.001), "0.00");
    EXPECT_EQ(parse_float_regional(" 7.5"), 7.5);
}

TEST(RegionalText, GermanUsesCommaAndEuroAfter) {
    RegionalLocale loc("de_DE.UTF-8");
    if (!loc.ok()) GTEST_SKIP() << "de_DE.UTF-8 not generated on this machine";
    EXPECT_EQ(regional_decimal_separator(), ',');
    EXPECT_EQ(format_fixed(3.048, 3), "3,048");
    EXPECT_EQ(format_fixed(1234567.5, 1), "1234567,5");  // never thousands separators
    EXPECT_EQ(format_general(47.6377), "47,6377");
    EXPECT_EQ(format_money(1234.5), "1.234,50 \u20ac");
    EXPECT_EQ(format_money(1234567.891), "1.234.567,89 \u20ac");
    EXPECT_EQ(format_money(-2.5), "-2,50 \u20ac");
    EXPECT_EQ(parse_float_regional("7,5"), 7.5);
    EXPECT_EQ(error_text([] { parse_float_regional("7.5"); }), "'7.5' is not a valid floating point value");
    // The design-file form does not follow the region.
    EXPECT_EQ(format_file_number(7.5), "7.5");
    EXPECT_EQ(parse_file_number("7.5"), 7.5);
    EXPECT_EQ(error_text([] { parse_file_number("7,5"); }), "'7,5' is not a valid floating point value");
}

TEST(RegionalText, AmericanMoneyHasSymbolFirst) {
    RegionalLocale loc("en_US.UTF-8");
    if (!loc.ok()) GTEST_SKIP() << "en_US.UTF-8 not generated on this machine";
    EXPECT_EQ(format_money(1.17), "$1.17");
    EXPECT_EQ(format_money(1234567.5), "$1,234,567.50");
    EXPECT_EQ(format_money(999.995), "$1,000.00");
    EXPECT_EQ(format_money(-3), "-$3.00");
    EXPECT_EQ(format_money(0), "$0.00");
}

TEST(RegionalText, UnknownLocaleIsRefusedAndKeepsSettings) {
    RegionalLocale loc("C");
    EXPECT_FALSE(set_regional_settings_for_test("xx_NOWHERE.UTF-8"));
    EXPECT_EQ(regional_decimal_separator(), '.');
}

}  // namespace
}  // namespace plk
