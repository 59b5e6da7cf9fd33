// The command line of telmor-replay: [--root DIR] [--draw-log FILE] SCRIPT.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

namespace telmor {

inline constexpr std::string_view kReplayUsage =
    "usage: telmor-replay [--root DIR] [--draw-log FILE] SCRIPT";

struct ReplayOptions {
  std::filesystem::path root = ".";  // the drives root; the working directory by default
  std::optional<std::filesystem::path> draw_log;
  std::filesystem::path script;
  bool help = false;  // --help or -h: print the usage and do nothing else
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Throws UsageError for an unknown
// option, an option without its value, or no script (or more than one).
ReplayOptions parse_replay_arguments(std::span<const std::string_view> arguments);

}  // namespace telmor
