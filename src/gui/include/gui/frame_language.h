// The language the desktop speaks: chosen once at start (the remembered
// choice, else the user's locale; Japanese unless it is English), before any
// widget is made. Japanese texts are written in the code as they are shown;
// in English each is looked up in the frame's catalogue.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "words/language_choice.h"
#include "words/words.h"

namespace telmor {

Language frame_language();
// Before the frame is built; a frame already shown keeps its texts.
void set_frame_language(Language language);

// A text of the frame (UTF-8 Japanese) in the frame's language. A text the
// catalogue lacks is shown with its punctuation in English.
QString ui(std::string_view japanese);
// Its English from the frame's catalogue; null when it has none.
const char* frame_english(std::string_view japanese);

// The catalogue of reasons, flags and file errors in the frame's language.
const Words& frame_words();
// A line or note of the program's flow in the frame's language.
std::string frame_line(std::string_view line);

// The language chosen in the frame's menu ("ja", "en" or empty when none was),
// kept in the user's TELMOR settings.
std::string remembered_language();
void remember_language(Language language);

}  // namespace telmor
