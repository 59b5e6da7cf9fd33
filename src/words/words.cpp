// The catalogue of a language.
#include "words/words.h"

#include "catalogues.h"

namespace telmor {

const Words& words(Language language) {
  return language == Language::english ? english_words() : japanese_words();
}

bool asks_for_shape(RecordingFault fault) {
  return fault == RecordingFault::first_line_values || fault == RecordingFault::rows_not_whole_seconds;
}

}  // namespace telmor
