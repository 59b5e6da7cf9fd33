// The exit handler that writes the recovery file of a frame still alive.
#include "gui/exit_keeper.h"

#include <cstdlib>

#include "gui/frame_window.h"

namespace telmor {
namespace {

FrameWindow* living_frame = nullptr;

void keep_recovery() {
  if (living_frame != nullptr) living_frame->keep_recovery_now();
}

}  // namespace

void keep_recovery_on_exit(FrameWindow* frame) {
  static const bool registered = std::atexit(keep_recovery) == 0;
  (void)registered;
  living_frame = frame;
}

}  // namespace telmor
