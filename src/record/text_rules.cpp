// Yes/no answers and one-letter commands.
#include "record/text_rules.h"

namespace telmor {

bool is_yes(const TextField& reply) { return reply.equals("y") || reply.equals("Y"); }
bool is_no(const TextField& reply) { return reply.equals("n") || reply.equals("N"); }

bool is_command(const TextField& reply, char lower_case_letter) {
  const char lower[1] = {lower_case_letter};
  const char upper[1] = {static_cast<char>(lower_case_letter - 'a' + 'A')};
  return reply.equals(std::string_view(lower, 1)) || reply.equals(std::string_view(upper, 1));
}

}  // namespace telmor
