// The texts' font.
#include "gui/text_font.h"

namespace telmor {
namespace {

QFont ipa_gothic() {
  QFont font(QStringLiteral("IPAGothic"));
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
