// The texts' font.
#include "gui/text_font.h"

#include <QStringList>

#include "gui/frame_language.h"
#include "words/words.h"

namespace telmor {
namespace {

QFont ipa_gothic() {
  QFont font(QStringLiteral("IPAGothic"));
  // English lines are Latin only: a Latin face draws their backslashes as such.
  if (frame_language() == Language::english)
    font.setFamilies(QStringList{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("IPAGothic")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

QFont text_font() {
  QFont font = ipa_gothic();
  font.setPointSize(11);
  return font;
}

QFont chart_font() {
  QFont font = ipa_gothic();
  font.setPixelSize(14);
  return font;
}

}  // namespace telmor
