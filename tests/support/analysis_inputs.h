// What the analysis suites give an analysis: a recording read from text in
// the waveform format (made with the sample's generator), settings built in
// one line, and a console that drops what is written to it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/console_output.h"
#include "readers/recording_text.h"
#include "signal/recording.h"
#include "timing/analysis_settings.h"

namespace telmor::test {

class SilentConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view) override {}
};

// text's leads × seconds at 1 kHz; a read problem fails the test.
inline Recording recording_of_text(const std::string& text, int leads, int seconds) {
  Recording recording;
  EXPECT_FALSE(read_recording_text(text, leads, seconds, recording));
  return recording;
}

// The dialogue's settings and d's ranges, the rest at their defaults.
inline AnalysisSettings with(int smooth, float ratio, int af, int at, int rf, int rt, int beat_lead = 1) {
  AnalysisSettings s;
  s.smooth_ms = smooth;
  s.amp_ratio = ratio;
  s.at_from = af;
  s.at_to = at;
  s.rt_from = rf;
  s.rt_to = rt;
  s.beat_lead = beat_lead;
  return s;
}

}  // namespace telmor::test
