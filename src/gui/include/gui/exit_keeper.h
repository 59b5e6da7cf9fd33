// The last chance of unsaved tables: Qt ends the process with exit() when
// the display connection breaks, without returning from its event loop, so
// the recovery file is written from an exit handler.
#pragma once

namespace telmor {

class FrameWindow;

// From now until keep_recovery_on_exit(nullptr), an exit() of the process on
// the GUI thread first writes frame's waiting recovery file.
void keep_recovery_on_exit(FrameWindow* frame);

}  // namespace telmor
