// Locale-free number parsing and formatting.
#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace telmor {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Sign of the decimal magnitude of a well-formed real that did not fit a
// float: true when it is tiny (underflow), false when it is huge.
bool is_underflow(std::string_view digits) {
  std::int64_t int_digits = 0;
  std::int64_t leading_fraction_zeros = 0;
  bool seen_nonzero = false;
  bool in_fraction = false;
  std::int64_t exponent = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[i];
    if (c == '.') {
      in_fraction = true;
    } else if (c == 'e' || c == 'E') {
      std::string_view e = digits.substr(i + 1);
      const bool negative = !e.empty() && e.front() == '-';
      if (!e.empty() && (e.front() == '-' || e.front() == '+')) e.remove_prefix(1);
      for (char d : e) exponent = std::min<std::int64_t>(exponent * 10 + (d - '0'), 1'000'000'000);
      if (negative) exponent = -exponent;
      break;
    } else if (!seen_nonzero && c == '0') {
      if (in_fraction) ++leading_fraction_zeros;
    } else {
      seen_nonzero = true;
      if (!in_fraction) ++int_digits;
    }
  }
  if (!seen_nonzero) return true;
  const std::int64_t magnitude = int_digits > 0 ? int_digits + exponent : exponent - leading_fraction_zeros;
  return magnitude <= 0;
}

bool ends_number(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/';
}

// Exact in single precision: 5^10 < 2^24.
constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                  1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
// 10^-k rounded to double, k = 0..7.
constexpr double kInverseTens[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};

bool digit(char c) { return static_cast<unsigned>(c - '0') < 10u; }

// The fast path: sign, digits, point, digits, exponent. False when the text
// is not of that form or beyond the exact range; p is then left as it was.
bool scan_simple_real(const char*& p, const char* end, float& value) {
  const char* q = p;
  if (q == end) return false;
  // Without a branch: signs come and go at random in a recording.
  const bool negative = *q == '-';
  q += negative || *q == '+';
  // Leading zeros add nothing; more than 19 digits could wrap, and are
  // beyond the exact range anyway.
  std::uint64_t mantissa = 0;
  const char* const integer = q;
  while (q != end && digit(*q)) mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
  std::ptrdiff_t digits = q - integer;
  int exponent = 0;
  if (q != end && *q == '.') {
    const char* const fraction = ++q;
    while (q != end && digit(*q)) mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
    exponent = -static_cast<int>(q - fraction);
    digits += q - fraction;
  }
  if (digits == 0 || digits > 19) return false;
  if (q != end && (*q == 'e' || *q == 'E')) {
    ++q;
    bool exponent_negative = false;
    if (q != end && (*q == '-' || *q == '+')) exponent_negative = *q++ == '-';
    if (q == end || !digit(*q)) return false;
    int written = 0;
    while (q != end && digit(*q)) {
      if (written > 99) return false;
      written = written * 10 + (*q++ - '0');
    }
    exponent += exponent_negative ? -written : written;
  }
  if (q != end && !ends_number(*q)) return false;
  if (mantissa > (1u << 24) || exponent < -10 || exponent > 10) return false;
  const float m = static_cast<float>(mantissa);  // exact
  float magnitude;
  if (exponent >= 0) {
    // Both factors exact: the one rounding of the product is the correct one.
    magnitude = m * kPowersOfTen[exponent];
  } else if (exponent >= -7) {
    // m * 10^-k in double is within 2^-52 (relative) of m / 10^k, while that
    // value lies at least 1 / (10^k 2^25) (relative) from every midpoint of
    // two floats it is not equal to: for 10^k < 2^26.5 rounding the double to
    // single precision therefore gives the correct rounding of m / 10^k.
    magnitude = static_cast<float>(static_cast<double>(mantissa) * kInverseTens[-exponent]);
  } else {
    magnitude = m / kPowersOfTen[-exponent];  // both exact: one correct rounding
  }
  value = negative ? -magnitude : magnitude;
  p = q;
  return true;
}

}  // namespace

bool scan_real(const char*& p, const char* end, float& value) {
  if (scan_simple_real(p, end, value)) return true;
  const char* start = p;
  while (p != end && !ends_number(*p)) ++p;
  return parse_real(std::string_view(start, static_cast<std::size_t>(p - start)), value);
}

bool parse_integer(std::string_view text, std::int32_t& value) {
  std::string_view digits = text;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (digits.empty() || !is_digit(digits.front())) return false;
  std::int32_t parsed = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc{} || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool parse_real(std::string_view text, float& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Only digits or a point may start the number: this keeps out inf, nan,
  // a second sign and anything from_chars would take beyond plain decimals.
  if (text.empty() || !(is_digit(text.front()) || text.front() == '.')) return false;
  float parsed = 0.0f;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
  if (end != text.data() + text.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    if (!is_underflow(text)) return false;
    parsed = 0.0f;
  } else if (ec != std::errc{}) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}

std::string format_real(float value) {
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc{} ? std::string(buf, end) : std::string("?");
}

std::string format_integer(std::int64_t value) {
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc{} ? end : buf);
}

std::string format_integer_width(std::int64_t value, int width) {
  const std::string digits = format_integer(value);
  if (static_cast<int>(digits.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

std::string format_fixed(double value, int decimals) {
  char buf[400];
  if (!std::isfinite(value)) return "?";
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return ec == std::errc{} ? std::string(buf, end) : std::string("?");
}

std::string format_fixed_width(double value, int width, int decimals) {
  char buf[400];
  std::string text;
  if (std::isfinite(value)) {
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec == std::errc{}) text.assign(buf, end);
  }
  if (text.empty() || static_cast<int>(text.size()) > width)
    return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

}  // namespace telmor
