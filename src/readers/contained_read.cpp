// The caller's side of a contained read: the reader program started anew
// for each file (a new process image: nothing of this process, its threads'
// locks included, reaches the library), its stream checked as it comes, its
// end seen whichever way it ends.
#include "readers/contained_read.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace telmor {
namespace {

constexpr int kReaderPipe = 3;

RecordingProblem ended(std::string_view library, RecordingFault fault, std::int64_t count, std::int64_t row = 0) {
  RecordingProblem p{fault};
  p.detail = std::string(library);
  p.count = count;
  p.row = row;
  return p;
}

// The reader's standard streams on /dev/null, its pipe at kReaderPipe and
// nothing else open; every signal at its default and none blocked.
class SpawnSetup {
 public:
  explicit SpawnSetup(int pipe) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_adddup2(&actions_, pipe, kReaderPipe);
    posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions_, kReaderPipe + 1);
    posix_spawnattr_init(&attributes_);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

RecordingProblem read_contained(std::string_view library, const std::filesystem::path& program,
                                const std::vector<std::string>& arguments, Recording& recording,
                                const Containment& containment) {
  if (program.empty()) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "the reader program telmor-read is not installed beside TELMOR";
    return p;
  }
  // The containment's own arguments first (serve_contained_reader takes
  // them), then the reader's.
  std::vector<std::string> words = {program.string(), "--parent", std::to_string(::getpid()), "--memory",
                                    std::to_string(containment.memory), "--cpu",
                                    std::to_string(containment.cpu_seconds), "--"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {RecordingFault::format_unreadable, 0, 0, 0, std::strerror(errno)};
  pid_t pid = -1;
  int started = 0;
  {
    const SpawnSetup setup(fds[1]);
    started = ::posix_spawn(&pid, words.front().c_str(), setup.actions(), setup.attributes(), argv.data(), environ);
  }
  ::close(fds[1]);
  if (started != 0) {
    ::close(fds[0]);
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = "the reader program " + program.string() + " cannot be started: " + std::strerror(started);
    return p;
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
  // Whatever the reader is doing, it is done: one that has finished is only
  // a zombie by now, and its pid is ours until it is waited for.
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
