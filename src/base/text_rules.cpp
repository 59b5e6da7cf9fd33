// Separators and byte-order marks.
#include "base/text_rules.h"

namespace telmor {

void skip_byte_order_mark(std::string_view& text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
}

void skip_byte_order_mark(std::istream& text) {
  using Traits = std::istream::traits_type;
  if (text.peek() != Traits::to_int_type(kByteOrderMark[0])) return;
  const std::istream::pos_type start = text.tellg();
  char bytes[3] = {};
  text.read(bytes, 3);
  if (text.gcount() == 3 && std::string_view(bytes, 3) == kByteOrderMark) return;
  text.clear();
  text.seekg(start);
}

}  // namespace telmor
