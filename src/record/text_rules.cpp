// Separators, byte-order marks and yes/no answers.
#include "record/text_rules.h"

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

bool is_yes(const TextField& reply) { return reply.equals("y") || reply.equals("Y"); }
bool is_no(const TextField& reply) { return reply.equals("n") || reply.equals("N"); }

bool is_command(const TextField& reply, char lower_case_letter) {
  const char lower[1] = {lower_case_letter};
  const char upper[1] = {static_cast<char>(lower_case_letter - 'a' + 'A')};
  return reply.equals(std::string_view(lower, 1)) || reply.equals(std::string_view(upper, 1));
}

}  // namespace telmor
