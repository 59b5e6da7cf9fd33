// The help window's text: the page of the frame's language, from the help
// folder's HTML files.
#include "gui/help_text.h"

#include "gui/frame_language.h"
#include "help_pages.h"
#include "words/words.h"

namespace telmor {

QString help_html() {
  return QString::fromUtf8(frame_language() == Language::english ? help_pages::kEnglish : help_pages::kJapanese);
}

}  // namespace telmor
