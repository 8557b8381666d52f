#include "platform/numfmt.h"

#include <langinfo.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <string_view>

#include "platform/error.h"
#include "platform/numfmt_testing.h"

namespace plk {
namespace {

// What localeconv() said when the settings were captured. Kept as our own copy
// because the C library's locale is put back to "C" right afterwards.
struct RegionalSettings {
    char decimal = '.';
    std::string currency_symbol;  // empty: money is written as a plain number
    char mon_decimal = '.';
    std::string mon_thousands;
    std::string mon_grouping;  // as localeconv() gives it: group sizes, CHAR_MAX ends
    std::string negative_sign = "-";
    bool p_cs_precedes = true;
    bool n_cs_precedes = true;
    int p_sep_by_space = 0;
    int n_sep_by_space = 0;
    int n_sign_posn = 1;
};

RegionalSettings& settings() {
    static RegionalSettings s;
    return s;
}

bool& settings_loaded() {
    static bool loaded = false;
    return loaded;
}

bool is_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
        if (extra == 4) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string trim_blanks(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

// A separator of one byte, or the fallback when the locale gives none or a
// multi-byte one (we only ever write one byte).
char single_char(const char* s, char fallback) {
    if (s == nullptr || s[0] == '\0' || s[1] != '\0') return fallback;
    return s[0];
}

// Reads the current C locale's conventions into our own record. The
// numeric and monetary categories are taken separately so that a broken
// LC_MONETARY does not cost the decimal separator, and vice versa.
RegionalSettings capture(const char* numeric_locale, const char* monetary_locale, bool* ok) {
    RegionalSettings s;
    *ok = true;
    if (std::setlocale(LC_NUMERIC, numeric_locale) == nullptr) {
        *ok = false;
        std::setlocale(LC_NUMERIC, "C");
    }
    if (std::setlocale(LC_MONETARY, monetary_locale) == nullptr) {
        *ok = false;
        std::setlocale(LC_MONETARY, "C");
    }
    // The codeset tells whether the currency symbol can be shown as UTF-8.
    const char* ctype_ok = std::setlocale(LC_CTYPE, monetary_locale);
    const lconv* lc = std::localeconv();
    s.decimal = single_char(lc->decimal_point, '.');
    s.mon_decimal = single_char(lc->mon_decimal_point, s.decimal);
    s.mon_thousands = lc->mon_thousands_sep ? lc->mon_thousands_sep : "";
    s.mon_grouping = lc->mon_grouping ? lc->mon_grouping : "";
    s.currency_symbol = lc->currency_symbol ? lc->currency_symbol : "";
    bool utf8 = ctype_ok != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    if (!utf8 && !is_utf8(s.currency_symbol)) {
        // A symbol in a legacy codeset: the international code is plain ASCII.
        std::string code = lc->int_curr_symbol ? lc->int_curr_symbol : "";
        s.currency_symbol = trim_blanks(code);
    }
    if (!is_utf8(s.mon_thousands)) s.mon_thousands = " ";
    s.negative_sign = (lc->negative_sign && lc->negative_sign[0]) ? lc->negative_sign : "-";
    if (!is_utf8(s.negative_sign)) s.negative_sign = "-";
    s.p_cs_precedes = lc->p_cs_precedes != 0;
    s.n_cs_precedes = lc->n_cs_precedes != 0;
    s.p_sep_by_space = lc->p_sep_by_space == CHAR_MAX ? 0 : lc->p_sep_by_space;
    s.n_sep_by_space = lc->n_sep_by_space == CHAR_MAX ? 0 : lc->n_sep_by_space;
    s.n_sign_posn = lc->n_sign_posn == CHAR_MAX ? 1 : lc->n_sign_posn;
    // Nothing else in the process may depend on the user's locale: stdio and
    // the number conversions of other code keep using '.'.
    std::setlocale(LC_ALL, "C");
    return s;
}

void ensure_loaded() {
    if (!settings_loaded()) init_regional_settings();
}

// A finite, non-negative value rounded to 15 significant digits: the digits
// (no leading zeros, trailing zeros removed, "0" for zero) and the decimal
// exponent of the first digit (value = d.ddd x 10^exp10).
struct Decimal15 {
    std::string digits;
    int exp10 = 0;
};

Decimal15 to_decimal15(double abs_value) {
    Decimal15 d;
    if (abs_value == 0) {
        d.digits = "0";
        return d;
    }
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, abs_value, std::chars_format::scientific, 14);
    std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
    std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') d.digits += text[i];
    }
    std::string_view exp_text = text.substr(e + 1);
    if (!exp_text.empty() && exp_text[0] == '+') exp_text.remove_prefix(1);
    std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), d.exp10);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// The fixed-point text of a finite non-negative value with `decimals`
// decimals and '.' as separator, rounded half away from zero on its
// 15-significant-digit decimal form (so 2.0005 gives 2.001, as written).
std::string fixed_text(double abs_value, int decimals, bool* all_zero) {
    Decimal15 d = to_decimal15(abs_value);
    std::string digits = d.digits;
    int point = d.exp10 + 1;  // digits before the decimal point
    if (digits == "0") point = 1;
    int keep = point + decimals;
    if (keep < 0) {
        digits = "0";
        point = 1;
    } else if (keep < static_cast<int>(digits.size())) {
        bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[static_cast<std::size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
        if (digits.empty()) {
            digits = "0";
            point = 1;
        }
    }
    // Leading zeros so that the point falls inside or right after the digits.
    if (point <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - point), '0');
        point = 1;
    }
    std::size_t need = static_cast<std::size_t>(point + decimals);
    if (digits.size() < need) digits.append(need - digits.size(), '0');
    std::string out = digits.substr(0, static_cast<std::size_t>(point));
    if (decimals > 0) {
        out += '.';
        out += digits.substr(static_cast<std::size_t>(point));
    }
    *all_zero = out.find_first_not_of("0.") == std::string::npos;
    return out;
}

std::string non_finite_text(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// General form with the given decimal separator (see format_file_number).
std::string general_text(double value, char sep) {
    if (!std::isfinite(value)) return non_finite_text(value);
    if (value == 0) return "0";  // also -0
    Decimal15 d = to_decimal15(std::fabs(value));
    std::string out = value < 0 ? "-" : "";
    const std::string& g = d.digits;
    if (d.exp10 < -5 || d.exp10 >= 15) {
        out += g[0];
        if (g.size() > 1) {
            out += sep;
            out += g.substr(1);
        }
        out += 'E';
        out += std::to_string(d.exp10);
    } else if (d.exp10 >= 0) {
        std::size_t int_digits = static_cast<std::size_t>(d.exp10) + 1;
        if (g.size() <= int_digits) {
            out += g;
            out.append(int_digits - g.size(), '0');
        } else {
            out += g.substr(0, int_digits);
            out += sep;
            out += g.substr(int_digits);
        }
    } else {
        out += '0';
        out += sep;
        out.append(static_cast<std::size_t>(-d.exp10 - 1), '0');
        out += g;
    }
    return out;
}

// Skips an optional leading '+' or '-' at s[i]; true for '-'.
bool take_sign(const std::string& s, std::size_t& i) {
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) return s[i++] == '-';
    return false;
}

// Parses a decimal number in the form [sign] digits [sep digits] [E [sign]
// digits] with at least one mantissa digit, nothing else but surrounding
// blanks. Returns false for any other text or a value out of range.
bool parse_decimal(const std::string& text, char sep, double* out) {
    std::string s = trim_blanks(text);
    std::size_t i = 0;
    const bool negative = take_sign(s, i);
    std::string plain;  // the number as from_chars wants it: no sign, '.'
    int mantissa_digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        plain += s[i++];
        ++mantissa_digits;
    }
    if (i < s.size() && s[i] == sep) {
        plain += '.';
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            plain += s[i++];
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        int exp_digits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            plain += s[i++];
            ++exp_digits;
        }
        if (exp_digits == 0) return false;
    }
    if (i != s.size()) return false;
    double v = 0;
    auto r = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (r.ec != std::errc() || r.ptr != plain.data() + plain.size() || !std::isfinite(v)) {
        // Underflow to zero is harmless; overflow is not a usable number.
        if (r.ec == std::errc::result_out_of_range && r.ptr == plain.data() + plain.size()) {
            std::size_t e = plain.find('e');
            bool tiny = e != std::string::npos && e + 1 < plain.size() && plain[e + 1] == '-';
            if (!tiny) return false;
            v = 0;
        } else {
            return false;
        }
    }
    *out = negative ? -v : v;
    return true;
}

AppError float_error(const std::string& text) {
    return AppError("'" + text + "' is not a valid floating point value");
}

// Inserts the monetary thousands separator into a run of integer digits.
std::string group_digits(const std::string& int_digits, const RegionalSettings& s) {
    if (s.mon_thousands.empty() || s.mon_grouping.empty()) return int_digits;
    std::size_t remaining = int_digits.size();
    std::size_t gi = 0;
    int size = 0;
    std::string groups;  // built from the right
    std::size_t pos = int_digits.size();
    while (true) {
        if (gi < s.mon_grouping.size()) {
            char g = s.mon_grouping[gi];
            if (g == CHAR_MAX || g <= 0) {
                if (g == CHAR_MAX || size <= 0) break;  // no further grouping
            } else {
                size = g;
            }
            ++gi;
        }
        if (size <= 0 || remaining <= static_cast<std::size_t>(size)) break;
        pos -= static_cast<std::size_t>(size);
        remaining -= static_cast<std::size_t>(size);
        groups = s.mon_thousands + int_digits.substr(pos, static_cast<std::size_t>(size)) + groups;
    }
    return int_digits.substr(0, pos) + groups;
}

}  // namespace

void init_regional_settings() {
    if (settings_loaded()) return;
    bool ok = false;
    settings() = capture("", "", &ok);
    settings_loaded() = true;
}

bool set_regional_settings_for_test(const char* locale_name) {
    if (locale_name == nullptr) {
        settings_loaded() = false;
        init_regional_settings();
        return true;
    }
    bool ok = false;
    RegionalSettings s = capture(locale_name, locale_name, &ok);
    if (!ok) return false;
    settings() = s;
    settings_loaded() = true;
    return true;
}

char regional_decimal_separator() {
    ensure_loaded();
    return settings().decimal;
}

std::string format_fixed(double value, int decimals) {
    ensure_loaded();
    if (!std::isfinite(value)) return non_finite_text(value);
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    bool zero = false;
    std::string out = fixed_text(std::fabs(value), decimals, &zero);
    for (char& c : out) {
        if (c == '.') c = settings().decimal;
    }
    // A value that rounds to zero is written without a sign.
    if (value < 0 && !zero) out.insert(out.begin(), '-');
    return out;
}

std::string format_general(double value) {
    ensure_loaded();
    return general_text(value, settings().decimal);
}

std::string format_money(double value) {
    ensure_loaded();
    const RegionalSettings& s = settings();
    if (!std::isfinite(value)) return non_finite_text(value);
    bool zero = false;
    std::string number = fixed_text(std::fabs(value), 2, &zero);
    bool negative = value < 0 && !zero;
    std::size_t dot = number.find('.');
    std::string quantity = group_digits(number.substr(0, dot), s) + s.mon_decimal + number.substr(dot + 1);
    if (s.currency_symbol.empty()) return (negative ? "-" : "") + quantity;

    const std::string& sym = s.currency_symbol;
    if (!negative) {
        std::string space = s.p_sep_by_space == 1 ? " " : "";
        return s.p_cs_precedes ? sym + space + quantity : quantity + space + sym;
    }
    const std::string& sign = s.negative_sign;
    bool precedes = s.n_cs_precedes;
    int sep = s.n_sep_by_space;
    std::string space = sep == 1 ? " " : "";
    switch (s.n_sign_posn) {
        case 0:  // parentheses around quantity and symbol
            return "(" + (precedes ? sym + space + quantity : quantity + space + sym) + ")";
        case 2:  // sign after quantity and symbol
            return precedes ? sym + space + quantity + sign : quantity + space + sym + sign;
        case 3:  // sign right before the symbol
            if (precedes) return sign + (sep == 2 ? " " : "") + sym + space + quantity;
            return quantity + space + sign + (sep == 2 ? " " : "") + sym;
        case 4:  // sign right after the symbol
            if (precedes) return sym + (sep == 2 ? " " : "") + sign + space + quantity;
            return quantity + space + sym + (sep == 2 ? " " : "") + sign;
        default:  // 1: sign before quantity and symbol
            if (precedes) return sign + (sep == 2 ? " " : "") + sym + space + quantity;
            return sign + quantity + space + sym;
    }
}

double parse_float_regional(const std::string& text) {
    ensure_loaded();
    double v = 0;
    if (!parse_decimal(text, settings().decimal, &v)) throw float_error(text);
    return v;
}

int parse_int(const std::string& text) {
    std::string s = trim_blanks(text);
    std::size_t i = 0;
    const bool negative = take_sign(s, i);
    long long v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) {
            any = false;
            break;
        }
        any = true;
        v = v * 10 + (s[i] - '0');
        // Stop before the accumulator itself could overflow.
        if (v > 2147483648LL) {
            any = false;
            break;
        }
    }
    if (negative) v = -v;
    if (!any || v > INT_MAX || v < INT_MIN) {
        throw AppError("'" + text + "' is not a valid integer value");
    }
    return static_cast<int>(v);
}

std::string format_file_number(double value) { return general_text(value, '.'); }

double parse_file_number(const std::string& text) {
    double v = 0;
    if (!parse_decimal(text, '.', &v)) throw float_error(text);
    return v;
}

}  // namespace plk
