// Fixed-width, blank-padded text fields counted in characters.
#include "record/text_field.h"

#include <algorithm>
#include <cassert>

namespace telmor {
namespace {

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

// End of the character that starts at pos: its first byte and at most three
// continuation bytes. A longer run of continuation bytes (not UTF-8, but a
// typed line may hold anything) counts as one character per four bytes, so a
// field of w characters never takes more than 4w bytes.
std::size_t character_end(std::string_view text, std::size_t pos) {
  const std::size_t limit = std::min(text.size(), pos + 4);
  ++pos;
  while (pos < limit && is_continuation(text[pos])) ++pos;
  return pos;
}

}  // namespace

std::size_t utf8_prefix_bytes(std::string_view text, int max_chars) {
  std::size_t pos = 0;
  for (int chars = 0; chars < max_chars && pos < text.size(); ++chars) pos = character_end(text, pos);
  return pos;
}

int utf8_length(std::string_view text) {
  int chars = 0;
  for (std::size_t pos = 0; pos < text.size(); pos = character_end(text, pos)) ++chars;
  return chars;
}

TextField::TextField(int width) : width_(static_cast<std::uint8_t>(width)) {
  assert(width >= 1 && width <= kMaxWidth);
  clear();
}

std::string_view TextField::trimmed() const {
  std::string_view v = view();
  const auto end = v.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : v.substr(0, end + 1);
}

void TextField::assign(std::string_view text) {
  const std::size_t bytes = utf8_prefix_bytes(text, width_);
  const int chars = utf8_length(text.substr(0, bytes));
  std::copy_n(text.data(), bytes, bytes_.data());
  std::fill_n(bytes_.data() + bytes, width_ - chars, ' ');
  size_ = static_cast<std::uint8_t>(bytes + static_cast<std::size_t>(width_ - chars));
}

bool TextField::equals(std::string_view text) const {
  TextField other(width_);
  other.assign(text);
  return view() == other.view();
}

}  // namespace telmor
