// The self-pipe that turns a terminating signal into a last write of the
// recovery file on the GUI thread.
#include "gui/termination_keeper.h"

#include "gui/frame_window.h"

#if defined(__unix__)
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace telmor {

#if defined(__unix__)
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int wake_fds[2] = {-1, -1};           // [0] read by the GUI thread, [1] written by the handler
std::atomic<bool> armed{false};       // a keeper is alive to answer
std::atomic<bool> woken{false};       // a signal waits for that answer
static_assert(std::atomic<bool>::is_always_lock_free);

// The signal's own default: the process ends as the sender meant it to.
void end_by(int signal_number) {
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

extern "C" void on_terminating_signal(int signal_number) {
  if (!armed.load() || woken.exchange(true)) {
    end_by(signal_number);
    return;
  }
  const int saved_errno = errno;
  const unsigned char byte = static_cast<unsigned char>(signal_number);
  if (::write(wake_fds[1], &byte, 1) != 1) end_by(signal_number);
  errno = saved_errno;
}

}  // namespace

TerminationKeeper::TerminationKeeper(FrameWindow& frame) : frame_(frame) {
  if (wake_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wake_fds) != 0) {
    wake_fds[0] = wake_fds[1] = -1;
    return;  // the signals keep their default: the file is as old as a second
  }
  auto* notifier = new QSocketNotifier(wake_fds[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] { keep_and_end(); });
  woken.store(false);
  armed.store(true);
  struct sigaction action {};
  action.sa_handler = on_terminating_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the program thread's reads carry on undisturbed
  for (const int signal_number : kSignals) sigaction(signal_number, &action, nullptr);
}

TerminationKeeper::~TerminationKeeper() { armed.store(false); }

void TerminationKeeper::keep_and_end() {
  unsigned char byte = 0;
  if (::read(wake_fds[0], &byte, 1) != 1) return;
  frame_.keep_recovery_now();
  end_by(byte);
}

#else

TerminationKeeper::TerminationKeeper(FrameWindow& frame) : frame_(frame) {}
TerminationKeeper::~TerminationKeeper() = default;
void TerminationKeeper::keep_and_end() {}

#endif

}  // namespace telmor
