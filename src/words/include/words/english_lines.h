// The program's own lines in English: every console and chart line and every
// note the flow writes in Japanese, matched against one catalogue of patterns
// (the Japanese line with {} where it holds a name, a number or another
// line) and written as the English pattern with the same parts, each part
// put into English in turn. The English face of the replay (--lang en) and of
// the desktop; the Japanese lines themselves stay as they are.
#pragma once

#include <string>
#include <string_view>

namespace telmor {

// line in English; a line without Japanese as it stands. A line no pattern
// matches has its Japanese punctuation put into English and keeps the rest.
std::string english_line(std::string_view line);

// Whether text holds a Japanese character (kana, kanji or full-width forms).
bool holds_japanese(std::string_view text);

}  // namespace telmor
