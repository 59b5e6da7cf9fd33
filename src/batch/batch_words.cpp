// The batch's catalogue of a language.
#include "batch_words.h"

namespace telmor {

const BatchWords& japanese_batch_words();
const BatchWords& english_batch_words();

const BatchWords& batch_words(Language language) {
  return language == Language::english ? english_batch_words() : japanese_batch_words();
}

}  // namespace telmor
