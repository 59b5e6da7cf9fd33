// Text fields of CSV tables.
#include "base/csv_text.h"

#include <cmath>

#include "base/number_text.h"
#include "base/printable_text.h"

namespace telmor {

namespace {

bool needs_guard(std::string_view name) {
  return !name.empty() && std::string_view("=+-@\t\r'").find(name.front()) != std::string_view::npos;
}

}  // namespace

std::string guarded_csv_text(std::string_view raw) {
  // What a file named is shown, never obeyed: no control byte reaches the
  // table, and it stays UTF-8.
  std::string name = escaped_controls(raw);
  if (needs_guard(name)) name.insert(0, 1, '\'');
  return name;
}

void append_csv_name(std::string& text, std::string_view raw) {
  const std::string name = guarded_csv_text(raw);
  if (name.find_first_of(",\"\r\n") == std::string::npos) {
    text += name;
    return;
  }
  text += '"';
  for (const char c : name) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

std::string_view csv_name(std::string_view field) {
  if (field.size() >= 2 && field.front() == '\'' && needs_guard(field.substr(1))) field.remove_prefix(1);
  return field;
}

void append_csv_integer(std::string& text, std::int64_t value) {
  text += ',';
  text += format_integer(value);
}

void append_csv_integer(std::string& text, bool present, std::int64_t value) {
  text += ',';
  if (present) text += format_integer(value);
}

void append_csv_number(std::string& text, double value, int decimals) {
  text += ',';
  if (!std::isfinite(value)) return;
  const std::string number = format_fixed(value, decimals);
  const bool zero = number.find_first_not_of("-0.") == std::string::npos;
  text += zero && number.front() == '-' ? number.substr(1) : number;
}

}  // namespace telmor
