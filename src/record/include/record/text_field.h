// A fixed-width text field: a number of characters, blank-padded, compared as
// a whole. Widths count characters (UTF-8 code points), never bytes, so a
// Japanese file name is cut between characters, never inside one.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace telmor {

class TextField {
 public:
  static constexpr int kMaxWidth = 33;

  // A field of width characters, all blanks.
  explicit TextField(int width);

  int width() const { return width_; }
  // The whole field, trailing blanks included.
  std::string_view view() const { return {bytes_.data(), size_}; }
  // The field up to (not including) its trailing blanks.
  std::string_view trimmed() const;

  // Fills the field from text: cut to width characters, padded with blanks.
  void assign(std::string_view text);
  void clear() { assign({}); }

  // Whole-field comparison with a text padded to the same width: a field
  // holding "yes" is not equal to "y".
  bool equals(std::string_view text) const;

 private:
  std::array<char, kMaxWidth * 4> bytes_{};
  std::uint8_t size_ = 0;  // bytes in use
  std::uint8_t width_ = 0;
};

// Byte length of the first max_chars characters of text (UTF-8).
std::size_t utf8_prefix_bytes(std::string_view text, int max_chars);
// Number of characters of text (UTF-8 code points).
int utf8_length(std::string_view text);

}  // namespace telmor
