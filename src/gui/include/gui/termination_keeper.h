// SIGTERM, SIGHUP and SIGINT (a logout, a kill from a shell, the terminal
// closed or Ctrl+C in it) still end the desktop, but only after the recovery
// file of unsaved tables is written: without this, the edits of the last
// second of a pass would be lost with the process.
#pragma once

#include <QObject>

namespace telmor {

class FrameWindow;

// While it lives, those signals wake the GUI thread through a pipe; it writes
// frame's waiting recovery file and lets the signal end the process as it
// would have. A second signal before that ends the process at once (a GUI
// thread that does not answer must not make the program unkillable); so does
// one after the keeper is gone. Does nothing where there are no such signals.
class TerminationKeeper : public QObject {
 public:
  explicit TerminationKeeper(FrameWindow& frame);
  ~TerminationKeeper() override;

 private:
  void keep_and_end();

  FrameWindow& frame_;
};

}  // namespace telmor
