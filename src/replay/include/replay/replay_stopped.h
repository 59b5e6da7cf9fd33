// The end of a headless run before the program has stopped, with the exit status it calls for.
#pragma once

#include <string>

#include "console/window_layer.h"

namespace telmor {

// Exit statuses of telmor-replay.
inline constexpr int kReplayEnded = 0;          // the program stopped
inline constexpr int kReplayFailed = 1;         // the program failed in another way
inline constexpr int kReplayUsageError = 2;     // bad arguments, unreadable or malformed script
inline constexpr int kReplayRanOut = 3;         // the script ran out while the program waited
inline constexpr int kReplayMismatch = 4;       // the next directive is not what the program waited for

// Thrown from a blocking read or wait of the replay layer (and from a
// snapshot that can't be written); what() is the message for stderr.
class ReplayStopped : public InputClosed {
 public:
  ReplayStopped(int exit_status, const std::string& message)
      : InputClosed(message), exit_status_(exit_status) {}
  int exit_status() const { return exit_status_; }

 private:
  int exit_status_;
};

}  // namespace telmor
