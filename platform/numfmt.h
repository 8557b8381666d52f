#pragma once
// Number texts. The "regional" functions follow the user's locale (LC_NUMERIC
// and LC_MONETARY from the environment, falling back to "C" when the locale is
// not available); the design-file functions always use '.'.
#include <string>

namespace plk {

// Loads the user's regional settings once (setlocale from the environment,
// restoring "C" for the C library afterwards so stdio keeps using '.').
// Safe to call more than once; the first call fixes the settings.
void init_regional_settings();

// Regional decimal separator (',' or '.').
char regional_decimal_separator();

// Fixed-point with `decimals` decimals, rounded, regional separator, no
// thousands separators, leading '-' for negatives, at most 15 significant digits.
std::string format_fixed(double value, int decimals);

// Shortest text with at most 15 significant digits, no trailing zeros, regional
// separator (47.6377, 7.5, 8).
std::string format_general(double value);

// Money with 2 decimals in the regional currency format (symbol and its place,
// thousands and decimal separators, negative form).
std::string format_money(double value);

// Parses a decimal number written with the regional separator; surrounding
// blanks are allowed. Throws AppError("'<text>' is not a valid floating point value").
double parse_float_regional(const std::string& text);
// Parses a whole number (optional sign, surrounding blanks allowed). Throws
// AppError("'<text>' is not a valid integer value").
int parse_int(const std::string& text);

// Design-file number form: general form, at most 15 significant digits, '.',
// scientific form ("1E-6", "1.5E20") below 0.00001 or beyond 15 integer digits.
std::string format_file_number(double value);
// Parses a design-file number ('.' only, whatever the locale). Throws
// AppError("'<text>' is not a valid floating point value").
double parse_file_number(const std::string& text);

}  // namespace plk
