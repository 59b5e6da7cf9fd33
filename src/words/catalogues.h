// The catalogues of the languages, one per file.
#pragma once

#include <cstdint>
#include <string>

#include "base/number_text.h"
#include "words/words.h"

namespace telmor {

// A signal's name as the system calls it (the same in every language):
// SIGSEGV for 11; "signal N" for one without a common name.
inline std::string signal_name(std::int64_t signal) {
  switch (signal) {
    case 4: return "SIGILL";
    case 6: return "SIGABRT";
    case 7: return "SIGBUS";
    case 8: return "SIGFPE";
    case 9: return "SIGKILL";
    case 11: return "SIGSEGV";
    case 24: return "SIGXCPU";
    default: return "signal " + format_integer(signal);
  }
}

const Words& japanese_words();
const Words& english_words();

}  // namespace telmor
