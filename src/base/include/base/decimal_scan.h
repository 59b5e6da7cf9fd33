// The fast path of scan_real, inline so that a reader of many numbers pays no
// call for each: short plain decimals rounded once, exactly, to single precision.
#pragma once

#include <bit>
#include <cfloat>
#include <cstdint>

namespace telmor {

// The conversion below rounds once in double and once more to float; that is
// only the correct rounding where double arithmetic is done in double.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must round to double");

namespace decimal_scan_detail {

// What ends a number in a data row: a blank, a tab, CR, LF, a comma or a slash.
constexpr bool ends_number(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/';
}

constexpr bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10u; }

// 10^k, k = -22..22, at [k + 22], rounded to double: those with k >= 0 are
// exact (5^22 < 2^53), the others within half an ulp.
inline constexpr double kTens[] = {
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
    1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};

// Where the text may go on: to end, or (kLineEnded) as long as needed,
// because a byte that ends every number (a line end) lies ahead.
template <bool kLineEnded>
struct Bound {
  const char* end;
  bool at_end(const char* q) const { return !kLineEnded && q == end; }
};

// Reads a run of decimal digits at q into mantissa (which wraps, harmlessly,
// past 19 digits: such a number leaves the fast path) and returns how many.
// One at a time: the lengths of numbers in a file repeat, so the branches are
// well predicted and the reading runs ahead, where reading eight bytes at once
// would make the position of each number wait for arithmetic on the last.
template <bool kLineEnded>
int read_digits(const char*& q, Bound<kLineEnded> bound, std::uint64_t& mantissa) {
  const char* const start = q;
  for (; !bound.at_end(q) && is_digit(*q); ++q)
    mantissa = mantissa * 10 + static_cast<unsigned char>(*q - '0');
  return static_cast<int>(q - start);
}

// scan_short_decimal below, within bound.
template <bool kLineEnded>
bool scan_short_decimal(const char*& p, Bound<kLineEnded> bound, float& value) {
  const char* q = p;
  if (bound.at_end(q)) return false;
  const bool negative = *q == '-';
  q += negative || *q == '+';
  std::uint64_t mantissa = 0;
  int digits = read_digits(q, bound, mantissa);
  int exponent = 0;
  if (!bound.at_end(q) && *q == '.') {
    ++q;
    const int fraction = read_digits(q, bound, mantissa);
    digits += fraction;
    exponent = -fraction;
  }
  if (digits == 0 || digits > 19) return false;
  if (!bound.at_end(q) && (*q == 'e' || *q == 'E')) {
    ++q;
    const bool exponent_negative = !bound.at_end(q) && *q == '-';
    q += !bound.at_end(q) && (*q == '-' || *q == '+');
    if (bound.at_end(q) || !is_digit(*q)) return false;
    int written = 0;
    for (; !bound.at_end(q) && is_digit(*q); ++q) {
      if (written < 1000) written = written * 10 + (*q - '0');
    }
    exponent += exponent_negative ? -written : written;
  }
  if (!bound.at_end(q) && !ends_number(*q)) return false;
  if (mantissa >= (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  const double m = static_cast<double>(mantissa);  // exact
  const double rounded = m * kTens[exponent + 22];
  // In units of d's last place, the midpoints of its binade are where the 29
  // bits below a float's last fraction bit read 2^28.
  const std::uint64_t below_float = std::bit_cast<std::uint64_t>(rounded) & 0x1FFFFFFFu;
  if (below_float - (0x10000000u - 4u) <= 8u) return false;
  // The sign as a bit, not a branch: signs come and go at random in a recording.
  const std::uint32_t sign = static_cast<std::uint32_t>(negative) << 31;
  value = std::bit_cast<float>(std::bit_cast<std::uint32_t>(static_cast<float>(rounded)) | sign);
  p = q;
  return true;
}

}  // namespace decimal_scan_detail

// Reads the number at p when it is a plain decimal (sign, digits with an
// optional point, optional exponent E or e) of at most 19 digits whose digits
// make an integer m below 2^53 and whose decimal exponent k is within +-22,
// followed by a blank, tab, CR, LF, comma, slash or end: sets value to the
// correctly rounded float of m 10^k, leaves p past the number and returns
// true. Otherwise (the number may still be one for parse_real) returns false
// and leaves p and value alone.
//
// Method: m is exact in double, and one multiply by 10^k rounded to double
// gives d = m 10^k (1 + e1)(1 + e2), |e1|, |e2| <= 2^-53 (e1 = 0 for k >= 0):
// within 2^-52 |x| of x = m 10^k, less than two units in the last place of
// d. The midpoints between adjacent floats are doubles: where none lies
// within four units of d, none lies between x and d, and x rounds to the same
// float as d (and d's one rounding to float is the correct rounding of x);
// otherwise the number is left to parse_real, which happens for one number
// in about 2^26. 10^-22 <= |x| < 2^53 10^22 keeps x in the normal range of
// floats. (After W. D. Clinger, "How to read floating point numbers
// accurately", PLDI 1990, whose exact case is k >= 0 here.)
inline bool scan_short_decimal(const char*& p, const char* end, float& value) {
  return decimal_scan_detail::scan_short_decimal(p, decimal_scan_detail::Bound<false>{end}, value);
}

// The same for a number whose text goes on to a line end (LF) at least: no
// test for the end of the text at every byte.
inline bool scan_short_decimal_before_line_end(const char*& p, float& value) {
  return decimal_scan_detail::scan_short_decimal(p, decimal_scan_detail::Bound<true>{nullptr}, value);
}

}  // namespace telmor
