// The small rules of text that typed replies, data files, results files and
// replay scripts share: what separates items and what a byte-order mark is.
#pragma once

#include <istream>
#include <string_view>

namespace telmor {

// A blank or a tab.
constexpr bool is_space_or_tab(char c) { return c == ' ' || c == '\t'; }
// A blank in a typed line or a data row: a blank, a tab, or the CR of a CR LF line end.
constexpr bool is_blank(char c) { return is_space_or_tab(c) || c == '\r'; }
// What ends an item of a typed line or a value of a data row: a blank, a comma or a slash.
constexpr bool ends_item(char c) { return is_blank(c) || c == ',' || c == '/'; }
// True when text is empty or holds blanks and tabs only.
constexpr bool is_space_line(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The UTF-8 byte-order mark that some editors put at the start of a text file.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Drops a byte-order mark from the start of text.
void skip_byte_order_mark(std::string_view& text);
// Reads past a byte-order mark at the stream's current position (its start);
// anything else is left unread.
void skip_byte_order_mark(std::istream& text);

}  // namespace telmor
