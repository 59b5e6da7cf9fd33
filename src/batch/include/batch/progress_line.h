// One progress line on a terminal, redrawn in place: recordings done and in
// all, recordings per second, time left.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "words/words.h"

namespace telmor {

// The text of the line: "12/40 件  3.5 件/秒  残り 0:08", in English
// "12/40  3.5/s  0:08 left".
std::string progress_text(int done, int total, double seconds_elapsed, Language language = Language::japanese);

class ProgressLine {
 public:
  // Draws nothing when not shown.
  ProgressLine(std::ostream& terminal, bool shown, Language language = Language::japanese);

  void update(int done, int total);
  // Wipes the line, so that a message can take its place.
  void clear();

 private:
  std::ostream& terminal_;
  bool shown_;
  Language language_;
  std::size_t width_ = 0;  // bytes of the line on show
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace telmor
