// Fixed-width, blank-padded text fields counted in characters.
#include "console/text_field.h"

#include <algorithm>
#include <cassert>

namespace telmor {
namespace {

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

}  // namespace

std::size_t utf8_prefix_bytes(std::string_view text, int max_chars) {
  std::size_t pos = 0;
  for (int chars = 0; chars < max_chars && pos < text.size(); ++chars) {
    ++pos;
    while (pos < text.size() && is_continuation(text[pos])) ++pos;
  }
  return pos;
}

int utf8_length(std::string_view text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(),
                                        [](char c) { return !is_continuation(c); }));
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
