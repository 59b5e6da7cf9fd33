// Text fields of CSV tables.
#include "base/csv_text.h"

#include <cmath>

#include "base/number_text.h"

namespace telmor {

void append_csv_name(std::string& text, std::string_view name) {
  if (name.find_first_of(",\"\r\n") == std::string_view::npos) {
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
