// The menu line and the lookup of a typed letter.
#include "console/menu_letters.h"

#include "record/text_rules.h"

namespace telmor {

std::string menu_line() {
  std::string line;
  for (const MenuLetter& item : kMenuLetters) {
    if (!line.empty()) line += ',';
    line += item.label;
    line += '(';
    line += item.letter;
    line += ')';
  }
  return line;
}

const MenuLetter* find_menu_letter(const TextField& reply) {
  for (const MenuLetter& item : kMenuLetters) {
    if (is_command(reply, item.letter)) return &item;
  }
  return nullptr;
}

}  // namespace telmor
