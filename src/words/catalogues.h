// The catalogues of the languages, one per file.
#pragma once

#include "words/words.h"

namespace telmor {

const Words& japanese_words();
const Words& english_words();

}  // namespace telmor
