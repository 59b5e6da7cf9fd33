// First item of a typed reply line.
#include "console/free_form.h"

#include "record/text_rules.h"

namespace telmor {

std::optional<std::string> first_item(std::string_view line) {
  std::size_t pos = 0;
  while (pos < line.size() && is_blank(line[pos])) ++pos;
  if (pos == line.size()) return std::nullopt;

  const char first = line[pos];
  if (first == '\'' || first == '"') {
    std::string item;
    for (++pos; pos < line.size(); ++pos) {
      if (line[pos] == first) {
        if (pos + 1 < line.size() && line[pos + 1] == first) {
          item += first;
          ++pos;
          continue;
        }
        break;
      }
      item += line[pos];
    }
    return item;
  }
  const std::size_t start = pos;
  while (pos < line.size() && !ends_item(line[pos])) ++pos;
  return std::string(line.substr(start, pos - start));
}

}  // namespace telmor
