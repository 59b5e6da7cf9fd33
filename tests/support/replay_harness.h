// A ReplayLayer over a script given as text, with its transcript and draw log captured.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "replay/replay_layer.h"
#include "replay/session_script.h"

namespace telmor::test {

struct ReplayHarness {
  explicit ReplayHarness(std::string_view script)
      : layer(parse_session_script(script), transcript, &draw_log) {}

  // Runs a stand-in program; returns the exit status its stop calls for
  // (0 when it returns normally) and keeps the stop's message.
  int run(const std::function<void(WindowLayer&)>& program) {
    try {
      program(layer);
    } catch (const ReplayStopped& stop) {
      message = stop.what();
      return stop.exit_status();
    }
    return 0;
  }

  std::ostringstream transcript;
  std::ostringstream draw_log;
  ReplayLayer layer;
  std::string message;
};

}  // namespace telmor::test
