// Numbers to and from text without the locale: a decimal comma from the
// user's locale must never reach the data or results files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telmor {

// A whole number: optional sign, then decimal digits only, within 32 bits.
bool parse_integer(std::string_view text, std::int32_t& value);

// A real number in ordinary decimal notation: optional sign, digits with an
// optional point (".5" and "5." count), optional exponent E or e. Rounded
// once, straight from the decimal text, to single precision. A value below
// the smallest subnormal reads as a signed zero; one beyond the largest float,
// "inf", "nan", hexadecimal or a D exponent do not read.
bool parse_real(std::string_view text, float& value);

// Reads the number that starts at p and runs to the first blank, tab, CR,
// comma, slash or line end (or to end), as parse_real reads that text: the
// same value, the same refusals. Plain decimals of at most 19 digits (below
// 2^53) and a decimal exponent within +-22, the usual kind, take the fast
// path of base/decimal_scan.h; the rest go to parse_real. Leaves p past the
// number.
bool scan_real(const char*& p, const char* end, float& value);

// Shortest text that reads back to the same value ("0.1", "7", "-80", "1e-06").
std::string format_real(float value);
// The same for a double ("1000.5", "0.1", "1e-300"); "inf", "-inf" and "nan" as such.
std::string format_double(double value);
std::string format_integer(std::int64_t value);

// Right-aligned in width columns; a number too wide is shown as width asterisks.
std::string format_integer_width(std::int64_t value, int width);
// Fixed point with decimals digits after the point, as wide as it needs
// ("3.5", "-0.25"); "?" for a value that is not finite.
std::string format_fixed(double value, int decimals);
// Fixed point with decimals digits after the point, right-aligned in width
// columns, asterisks when too wide (as a Fortran Fw.d edit).
std::string format_fixed_width(double value, int width, int decimals);

}  // namespace telmor
