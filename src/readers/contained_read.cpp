// Format libraries run in a child process: a crash costs that file, a hang
// is ended, and whatever the child sends is checked as the file would be.
// The child is forked, not started anew: it needs no program of its own to
// be found, installed and packed beside every program and the Python module,
// and the libraries start in it as fresh as in a new process, since this
// process never calls them itself.
#include "readers/contained_read.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <new>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telmor {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr int kChildPipe = 3;
// Values go back a block at a time: the child never holds a second copy.
constexpr std::size_t kValuesPerMessage = std::size_t{1} << 18;

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// The child's side: every piece written to the pipe. A parent that has gone
// ends the child at its next write.
class PipeSink final : public RecordingSink {
 public:
  explicit PipeSink(int fd) : fd_(fd) {}
  RecordingProblem begin(std::uint64_t leads, std::uint64_t samples, double rate_hz, std::vector<std::string> labels,
                         std::vector<std::string> units) override {
    if (!write_all(fd_, begin_message(leads, samples, rate_hz, labels, units))) ::_exit(1);
    return {};
  }
  RecordingProblem append(int lead, std::span<const float> values) override {
    for (std::size_t from = 0; from < values.size(); from += kValuesPerMessage) {
      const std::span<const float> block = values.subspan(from, std::min(kValuesPerMessage, values.size() - from));
      if (!write_all(fd_, values_message(lead, block))) ::_exit(1);
    }
    return {};
  }

 private:
  int fd_;
};

void close_others() {
#ifdef SYS_close_range
  if (::syscall(SYS_close_range, kChildPipe + 1, ~0U, 0) == 0) return;
#endif
  const long most = std::min(::sysconf(_SC_OPEN_MAX), 65536L);
  for (long fd = kChildPipe + 1; fd < most; ++fd) ::close(static_cast<int>(fd));
}

// The pages the child's address space holds now.
std::uint64_t address_space_bytes() {
  const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[64] = {};
  const ssize_t got = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  std::uint64_t pages = 0;
  for (ssize_t i = 0; i < got && text[i] >= '0' && text[i] <= '9'; ++i)
    pages = pages * 10 + static_cast<std::uint64_t>(text[i] - '0');
  return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

void limit(int resource, std::uint64_t most) {
  const rlimit r{static_cast<rlim_t>(most), static_cast<rlim_t>(most)};
  ::setrlimit(resource, &r);
}

[[noreturn]] void run_child(int fd, pid_t parent, const SinkReader& reader, const Containment& containment) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(1);
  // The caller's handlers (a fuzzer's, a sanitizer's, Python's, Qt's) are
  // not the child's: a fault ends it, and its end is seen by the parent.
  for (int s = 1; s < NSIG; ++s) ::signal(s, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  if (fd != kChildPipe) {
    ::dup2(fd, kChildPipe);
    ::close(fd);
  }
  const int null = ::open("/dev/null", O_RDWR);
  for (int standard = 0; standard < 3; ++standard) ::dup2(null, standard);
  close_others();
  limit(RLIMIT_CORE, 0);
  limit(RLIMIT_CPU, containment.cpu_seconds);
  if (!kSanitized) limit(RLIMIT_AS, address_space_bytes() + containment.more_memory);
  if (const int adj = ::open("/proc/self/oom_score_adj", O_WRONLY); adj >= 0) {
    (void)!::write(adj, "1000", 4);
    ::close(adj);
  }
  PipeSink sink(kChildPipe);
  RecordingProblem problem;
  try {
    problem = reader(sink);
  } catch (const std::bad_alloc&) {
    problem = {RecordingFault::too_large};
  } catch (const std::exception& e) {
    problem = {RecordingFault::format_unreadable, 0, 0, 0, e.what()};
  } catch (...) {
    problem = {RecordingFault::format_unreadable, 0, 0, 0, "the library failed"};
  }
  write_all(kChildPipe, problem ? problem_message(problem) : finished_message());
  ::_exit(0);
}

RecordingProblem ended(std::string_view library, RecordingFault fault, std::int64_t count, std::int64_t row = 0) {
  RecordingProblem p{fault};
  p.detail = std::string(library);
  p.count = count;
  p.row = row;
  return p;
}

}  // namespace

RecordingProblem read_contained(std::string_view library, const SinkReader& reader, Recording& recording,
                                const Containment& containment) {
  int fds[2];
  pid_t pid = -1;
  {
    // One fork at a time: no child of ours holds another's pipe.
    static std::mutex forking;
    const std::lock_guard lock(forking);
    if (::pipe2(fds, O_CLOEXEC) != 0) return {RecordingFault::format_unreadable, 0, 0, 0, std::strerror(errno)};
    const pid_t parent = ::getpid();
    pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      run_child(fds[1], parent, reader, containment);
    }
    ::close(fds[1]);
  }
  if (pid < 0) {
    ::close(fds[0]);
    return {RecordingFault::format_unreadable, 0, 0, 0, "no process to read it in"};
  }

  RecordingBuilder builder(containment.most_recording_bytes);
  ContainedStream stream(builder);
  bool hung = false;
  std::string buffer(std::size_t{1} << 20, '\0');
  for (;;) {
    pollfd wait{fds[0], POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(std::min<std::int64_t>(containment.quiet.count(), 1 << 30)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      hung = true;
      break;
    }
    const ssize_t got = ::read(fds[0], buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (!stream.feed(std::span<const char>(buffer.data(), static_cast<std::size_t>(got)))) break;
  }
  ::close(fds[0]);
  // Whatever the child is doing, it is done: a child that has finished is
  // only a zombie by now, and the pid is ours until it is waited for.
  if (!stream.finished()) ::kill(pid, SIGKILL);
  int status = 0;
  pid_t waited = -1;
  do {
    waited = ::waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);

  if (hung) return ended(library, RecordingFault::library_hung, containment.quiet.count() / 1000);
  if (stream.finished()) {
    if (stream.problem()) return stream.problem();
    return builder.finish(recording);
  }
  if (stream.damaged()) return {RecordingFault::format_unreadable, 0, 0, 0, "the library's reader sent damaged data"};
  if (waited == pid && WIFSIGNALED(status)) return ended(library, RecordingFault::library_crashed, WTERMSIG(status));
  return ended(library, RecordingFault::library_crashed, 0, waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

}  // namespace telmor
