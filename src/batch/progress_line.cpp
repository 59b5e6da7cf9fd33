// The progress line of telmor-batch.
#include "batch/progress_line.h"

#include <cmath>

#include "base/number_text.h"

namespace telmor {

std::string progress_text(int done, int total, double seconds_elapsed, Language language) {
  const bool english = language == Language::english;
  std::string text = format_integer(done) + "/" + format_integer(total) + (english ? "" : " 件");
  if (done == 0 || !(seconds_elapsed > 0.0)) return text;
  const double rate = done / seconds_elapsed;
  const auto left = static_cast<long long>(std::ceil((total - done) / rate));
  const std::string seconds = format_integer(left % 60);
  const std::string time_left = format_integer(left / 60) + ":" + (seconds.size() < 2 ? "0" : "") + seconds;
  if (english) return text + "  " + format_fixed(rate, 1) + "/s  " + time_left + " left";
  return text + "  " + format_fixed(rate, 1) + " 件/秒  残り " + time_left;
}

ProgressLine::ProgressLine(std::ostream& terminal, bool shown, Language language)
    : terminal_(terminal), shown_(shown), language_(language) {}

void ProgressLine::update(int done, int total) {
  if (!shown_) return;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  const std::string text = progress_text(done, total, elapsed.count(), language_);
  // Blanks wipe what a longer line before left.
  terminal_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ')
            << std::flush;
  width_ = text.size();
}

void ProgressLine::clear() {
  if (!shown_ || width_ == 0) return;
  terminal_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}

}  // namespace telmor
