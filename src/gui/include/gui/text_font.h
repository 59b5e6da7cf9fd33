// The one font of the console and the chart texts.
#pragma once

#include <QFont>

namespace telmor {

// IPAGothic: one face for Latin and Japanese alike, so that a backslash is
// drawn the same (as the yen sign Japanese fonts give it) wherever it
// stands, and fixed-pitch with kana exactly two Latin letters wide, so that
// padded columns line up in mixed lines too. Other faces fill in only when it
// is not installed. The English face is drawn in DejaVu Sans Mono, whose
// backslash is a backslash.
QFont text_font();

// The same face at a fixed size in logical pixels, for the chart, whose rows
// must not change with the screen.
QFont chart_font();

}  // namespace telmor
