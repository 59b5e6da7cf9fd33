// The one-letter menu of the chart window: every letter, what it does and its
// words, in the order the menu line shows them. The command loop dispatches
// from it, builds its menu line from it, and the desktop's menu bar offers
// the same letters.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "record/text_field.h"

namespace telmor {

enum class MenuAction { save, load, ranges, detect, correct_at, correct_rt, exit };
// Where the desktop's menu bar puts a letter.
enum class MenuGroup { file, analysis, correction };

struct MenuLetter {
  char letter;  // either case answers
  std::string_view label;
  MenuAction action;
  MenuGroup group;
};

inline constexpr std::array<MenuLetter, 7> kMenuLetters = {{
    {'s', "保存", MenuAction::save, MenuGroup::file},
    {'o', "既データ読込", MenuAction::load, MenuGroup::file},
    {'d', "認識範囲", MenuAction::ranges, MenuGroup::analysis},
    {'c', "計算", MenuAction::detect, MenuGroup::analysis},
    {'a', "AT修正", MenuAction::correct_at, MenuGroup::correction},
    {'r', "RT修正", MenuAction::correct_rt, MenuGroup::correction},
    {'x', "終了", MenuAction::exit, MenuGroup::file},
}};

// "保存(s),既データ読込(o),…,終了(x)": each letter's words and the letter.
std::string menu_line();

// The letter whose character the reply field holds (as a whole field, either
// case), or null: any other reply redraws.
const MenuLetter* find_menu_letter(const TextField& reply);

}  // namespace telmor
