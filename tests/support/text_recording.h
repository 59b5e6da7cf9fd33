// A recording read from text in the waveform format, for suites that make
// their recordings with the sample's generator; and a console that drops
// what is written to it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/console_output.h"
#include "readers/recording_text.h"
#include "signal/recording.h"

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

}  // namespace telmor::test
