// One headless run of telmor-replay, from loading the script to the exit status.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <span>
#include <string_view>

#include "console/window_layer.h"
#include "replay/replay_options.h"

namespace telmor {

// The program to run: run_program in telmor-replay, a stand-in in tests.
using ReplayProgram = std::function<void(WindowLayer& layer, const std::filesystem::path& root)>;

// Runs the program over the script of options; the transcript goes to out,
// messages and warnings to err. Returns kReplayEnded when the program
// stopped, kReplayRanOut, kReplayMismatch, kReplayUsageError (unreadable or
// malformed script, draw log or snapshot that can't be written) or
// kReplayFailed (the program threw something else or returned without stopping).
int run_replay(const ReplayOptions& options, const ReplayProgram& program, std::ostream& out,
               std::ostream& err);

// The whole command: arguments after the program name, then run_replay;
// the program's lines in fallback's language (the locale's) unless --lang
// says otherwise.
int replay_main(std::span<const std::string_view> arguments, const ReplayProgram& program,
                std::ostream& out, std::ostream& err, Language fallback = Language::japanese);

}  // namespace telmor
