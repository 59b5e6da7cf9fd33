// Fuzzes the free-form reply read: typed lines through first_item, the field
// reads over a window layer, the number parsers and formatters, and TextField.
//
// Input: byte 0 picks the field width (1..33), the window, and the decimals of
// the fixed-point format; the rest is typed text, one reply line per '\n'.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/free_form.h"
#include "base/number_text.h"
#include "console/reply_read.h"
#include "record/text_field.h"
#include "fuzz_check.h"
#include "support/scripted_layer.h"

namespace telmor {
namespace {

// A NaN payload no parser can produce: shows that a failed read left the value alone.
constexpr std::uint32_t kUntouchedBits = 0x7FC0DEADu;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_item(char c) { return is_blank(c) || c == ',' || c == '/'; }

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (;;) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return lines;
    text.remove_prefix(end + 1);
  }
}

// Digits only, at least one; returns the position after them.
std::size_t skip_digits(std::string_view text, std::size_t at) {
  while (at < text.size() && is_digit(text[at])) ++at;
  return at;
}

// The notation parse_real documents: sign, digits with an optional point
// (".5" and "5." count), optional exponent E or e with optional sign.
bool is_decimal_real(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t int_start = at;
  at = skip_digits(text, at);
  std::size_t mantissa_digits = at - int_start;
  if (at < text.size() && text[at] == '.') {
    const std::size_t fraction_start = ++at;
    at = skip_digits(text, at);
    mantissa_digits += at - fraction_start;
  }
  if (mantissa_digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t exponent_start = at;
    at = skip_digits(text, at);
    if (at == exponent_start) return false;
  }
  return at == text.size();
}

// Optional sign, then decimal digits only, within 32 bits.
std::optional<std::int32_t> reference_integer(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (!is_digit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > std::int64_t{1} << 32) magnitude = std::int64_t{1} << 32;  // saturate
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

void check_real_round_trip(float value) {
  if (!std::isfinite(value)) return;
  const std::string text = format_real(value);
  FUZZ_CHECK(is_decimal_real(text));
  float back = float_of(kUntouchedBits);
  FUZZ_CHECK(parse_real(text, back));
  FUZZ_CHECK(bits_of(back) == bits_of(value));
}

// parse_real against the C library's correctly rounded strtof ("C" locale:
// the fuzzer never sets one), for text in the documented notation.
void check_real_result(std::string_view text, bool ok, float value) {
  if (!is_decimal_real(text)) {
    FUZZ_CHECK(!ok);
    FUZZ_CHECK(bits_of(value) == kUntouchedBits);
    return;
  }
  const std::string copy(text);
  errno = 0;
  const float expected = std::strtof(copy.c_str(), nullptr);
  if (std::isinf(expected)) {
    FUZZ_CHECK(!ok);  // beyond the largest float
    FUZZ_CHECK(bits_of(value) == kUntouchedBits);
    return;
  }
  FUZZ_CHECK(ok);
  if (bits_of(value) != bits_of(expected)) {
    // "Below the smallest subnormal reads as a signed zero": between zero and
    // the smallest subnormal either neighbour is what the comment allows.
    const float smallest = std::numeric_limits<float>::denorm_min();
    FUZZ_CHECK(std::fabs(expected) <= smallest && std::fabs(value) <= smallest);
    FUZZ_CHECK(value == 0.0f || std::fabs(value) == smallest);
    FUZZ_CHECK(std::signbit(value) == std::signbit(expected));
  }
  check_real_round_trip(value);
}

void check_integer_result(std::string_view text, bool ok, std::int32_t value,
                          std::int32_t untouched) {
  const std::optional<std::int32_t> expected = reference_integer(text);
  FUZZ_CHECK(ok == expected.has_value());
  FUZZ_CHECK(value == (ok ? *expected : untouched));
}

void check_integer_formats(std::int64_t value, int width) {
  const std::string text = format_integer(value);
  if (value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max()) {
    std::int32_t back = 0;
    FUZZ_CHECK(parse_integer(text, back) && back == value);
  }
  const std::string wide = format_integer_width(value, width);
  FUZZ_CHECK(wide.size() == static_cast<std::size_t>(width));
  if (text.size() <= wide.size()) {
    FUZZ_CHECK(wide == std::string(wide.size() - text.size(), ' ') + text);
  } else {
    FUZZ_CHECK(wide.find_first_not_of('*') == std::string::npos);
  }
}

// Right-aligned in width columns, exactly decimals digits after the point, or
// width asterisks.
void check_fixed_format(double value, int width, int decimals) {
  const std::string text = format_fixed_width(value, width, decimals);
  FUZZ_CHECK(text.size() == static_cast<std::size_t>(width));
  if (text.find_first_not_of('*') == std::string::npos) return;
  FUZZ_CHECK(std::isfinite(value));
  std::size_t at = text.find_first_not_of(' ');
  FUZZ_CHECK(at != std::string::npos);
  if (text[at] == '-') ++at;
  const std::size_t int_start = at;
  at = skip_digits(text, at);
  FUZZ_CHECK(at > int_start);
  if (decimals > 0) {
    FUZZ_CHECK(at < text.size() && text[at] == '.');
    const std::size_t fraction_start = ++at;
    at = skip_digits(text, at);
    FUZZ_CHECK(at - fraction_start == static_cast<std::size_t>(decimals));
  }
  FUZZ_CHECK(at == text.size());
}

// What text_field.h promises of a field filled from text.
void check_field(const TextField& field, std::string_view text) {
  const int width = field.width();
  const std::string_view view = field.view();
  FUZZ_CHECK(view.size() <= static_cast<std::size_t>(TextField::kMaxWidth) * 4);
  FUZZ_CHECK(utf8_length(view) == width);

  // Padding: the field is a prefix of text followed by blanks only.
  std::size_t kept = 0;
  while (kept < view.size() && kept < text.size() && view[kept] == text[kept]) ++kept;
  // Trailing blanks of text look like padding; find where the copied part ends.
  const std::size_t copied = utf8_prefix_bytes(text, width);
  FUZZ_CHECK(copied <= kept);
  FUZZ_CHECK(view.substr(copied).find_first_not_of(' ') == std::string_view::npos);
  // Cut between characters, never inside one. A character is at most four
  // bytes: only a run of continuation bytes longer than that (not UTF-8) may
  // go on after a full four-byte last character.
  if (copied < text.size()) {
    if (is_continuation(text[copied])) {
      FUZZ_CHECK(copied - utf8_prefix_bytes(text, width - 1) == 4);
    }
    if (!is_continuation(text.front())) FUZZ_CHECK(utf8_length(text.substr(0, copied)) == width);
  }

  const std::string_view trimmed = field.trimmed();
  FUZZ_CHECK(view.substr(0, trimmed.size()) == trimmed);
  FUZZ_CHECK(trimmed.empty() || trimmed.back() != ' ');
  FUZZ_CHECK(view.substr(trimmed.size()).find_first_not_of(' ') == std::string_view::npos);

  FUZZ_CHECK(field.equals(text));
  FUZZ_CHECK(field.equals(trimmed));
}

void check_first_item(std::string_view line, const std::optional<std::string>& item) {
  std::size_t start = 0;
  while (start < line.size() && is_blank(line[start])) ++start;
  FUZZ_CHECK(item.has_value() == (start < line.size()));
  if (!item) return;
  const char first = line[start];
  if (first == '\'' || first == '"') {
    FUZZ_CHECK(item->size() < line.size() - start);
    return;
  }
  FUZZ_CHECK(line.substr(start, item->size()) == *item);
  const std::size_t end = start + item->size();
  FUZZ_CHECK(end == line.size() || ends_item(line[end]));
  for (char c : *item) FUZZ_CHECK(!ends_item(c));
}

struct Settings {
  int width = 1;     // of the text field, 1..33
  int decimals = 0;  // of the fixed-point format, 0..6
  Window window = Window::console;
};

// Everything one line can reach without the layer.
void check_line(std::string_view line, const Settings& settings) {
  const std::optional<std::string> item = first_item(line);
  check_first_item(line, item);

  TextField raw(settings.width);
  raw.assign(line);
  check_field(raw, line);

  // A float from the line's first bytes, whatever its bits.
  if (line.size() >= 4) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, line.data(), sizeof bits);
    const float value = float_of(bits);
    check_real_round_trip(value);
    check_fixed_format(static_cast<double>(value), settings.width, settings.decimals);
  }

  if (!item) return;
  TextField field(settings.width);
  field.assign(*item);
  check_field(field, *item);

  std::int32_t integer = -7;
  const bool integer_ok = parse_integer(*item, integer);
  check_integer_result(*item, integer_ok, integer, -7);
  if (integer_ok) {
    check_integer_formats(integer, settings.width);
    check_integer_formats(std::int64_t{integer} * 1000003, settings.width);
  }

  float real = float_of(kUntouchedBits);
  const bool real_ok = parse_real(*item, real);
  check_real_result(*item, real_ok, real);
  if (real_ok) check_fixed_format(static_cast<double>(real), settings.width, settings.decimals);
}

// The lines typed into one window, read in turn as text, integer and real
// until the input runs out.
void check_reads(const std::vector<std::string_view>& lines, const Settings& settings) {
  test::ScriptedLayer layer;
  auto& input = settings.window == Window::console ? layer.console_input : layer.chart_input;
  for (std::string_view line : lines) input.emplace_back(line);

  std::size_t next = 0;  // the line the layer hands out next
  for (int turn = 0;; ++turn) {
    // Blank lines keep the read waiting; it takes the first line with an item.
    std::optional<std::string> item;
    while (next < lines.size() && !(item = first_item(lines[next]))) ++next;
    if (next < lines.size()) ++next;

    bool closed = false;
    try {
      switch (turn % 3) {
        case 0: {
          TextField field(settings.width);
          read_text(layer, settings.window, field);
          FUZZ_CHECK(item.has_value());
          check_field(field, *item);
          break;
        }
        case 1: {
          std::int32_t value = 12345;
          const bool ok = read_integer(layer, settings.window, value);
          FUZZ_CHECK(item.has_value());
          check_integer_result(*item, ok, value, 12345);
          break;
        }
        default: {
          float value = float_of(kUntouchedBits);
          const bool ok = read_real(layer, settings.window, value);
          FUZZ_CHECK(item.has_value());
          check_real_result(*item, ok, value);
          break;
        }
      }
    } catch (const InputClosed&) {
      closed = true;
    }
    FUZZ_CHECK(closed == !item.has_value());
    FUZZ_CHECK(input.size() == lines.size() - next);
    if (closed) return;
  }
}

}  // namespace
}  // namespace telmor

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  if (size == 0) return 0;
  Settings settings;
  settings.width = 1 + data[0] % TextField::kMaxWidth;
  settings.decimals = (data[0] >> 4) % 7;
  settings.window = (data[0] & 0x80u) != 0 ? Window::chart : Window::console;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::vector<std::string_view> lines = split_lines(text);
  for (std::string_view line : lines) check_line(line, settings);
  check_reads(lines, settings);
  return 0;
}
