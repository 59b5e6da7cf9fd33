// Locale-free number parsing and formatting.
#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "base/decimal_scan.h"

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

bool ends_number(char c) { return decimal_scan_detail::ends_number(c); }

}  // namespace

bool scan_real(const char*& p, const char* end, float& value) {
  if (scan_short_decimal(p, end, value)) return true;
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

std::string format_double(double value) {
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
