// Counting the values of the first row and the rows of a recording's text.
#include "analysis/recording_shape.h"

#include "record/text_rules.h"

namespace telmor {
namespace {

bool holds_data(std::string_view line) {
  for (const char c : line) {
    if (!is_blank(c)) return true;
  }
  return false;
}

// Values of one line by the reader's rules.
int values_on(std::string_view line) {
  int values = 0;
  bool after_comma = true;
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (is_blank(c)) {
      ++at;
    } else if (c == '/') {
      break;
    } else if (c == ',') {
      if (after_comma) ++values;  // an empty value
      after_comma = true;
      ++at;
    } else {
      while (at < line.size() && !ends_item(line[at])) ++at;
      ++values;
      after_comma = false;
    }
  }
  return values;
}

}  // namespace

TextShape text_shape(std::string_view text) {
  skip_byte_order_mark(text);
  TextShape shape;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!holds_data(line)) continue;
    if (shape.data_rows == 0) shape.first_row_values = values_on(line);
    ++shape.data_rows;
  }
  return shape;
}

}  // namespace telmor
