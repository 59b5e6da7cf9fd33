// The reader program's side of a contained read: its limits, its pipe, and
// whatever the reader does turned into the stream's last message.
#include <charconv>
#include <csignal>
#include <cstring>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "readers/contained_read.h"

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

constexpr int kReaderPipe = 3;
// Values go back a block at a time: the reader never holds a second copy.
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

// Every piece written to the pipe; a caller that has gone ends the reader at
// its next write.
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

bool number(const char* text, std::uint64_t& value) {
  const char* end = text + std::strlen(text);
  const auto [at, error] = std::from_chars(text, end, value);
  return error == std::errc() && at == end;
}

void limit(int resource, std::uint64_t most) {
  const rlimit r{static_cast<rlim_t>(most), static_cast<rlim_t>(most)};
  ::setrlimit(resource, &r);
}

}  // namespace

int serve_contained_reader(int argc, char** argv,
                           const std::function<SinkReader(const std::vector<std::string>&)>& make_reader) {
  // --parent PID --memory BYTES --cpu SECONDS -- READER ARGUMENTS
  std::uint64_t parent = 0, memory = 0, cpu = 0;
  if (argc < 8 || std::strcmp(argv[1], "--parent") != 0 || !number(argv[2], parent) ||
      std::strcmp(argv[3], "--memory") != 0 || !number(argv[4], memory) || std::strcmp(argv[5], "--cpu") != 0 ||
      !number(argv[6], cpu) || std::strcmp(argv[7], "--") != 0)
    return 2;  // started by hand: nothing to serve
  // A fault ends the reader by its signal, whatever handler a runtime put
  // there (a sanitizer's), so that its caller names it.
  for (const int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) ::signal(s, SIG_DFL);
  // Ended with its caller, whose pipe it writes to.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (static_cast<std::uint64_t>(::getppid()) != parent) return 1;
  limit(RLIMIT_CORE, 0);
  limit(RLIMIT_CPU, cpu);
  if (!kSanitized) limit(RLIMIT_AS, memory);
  if (const int adj = ::open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC); adj >= 0) {
    (void)!::write(adj, "1000", 4);
    ::close(adj);
  }
  const std::vector<std::string> arguments(argv + 8, argv + argc);
  PipeSink sink(kReaderPipe);
  RecordingProblem problem;
  try {
    problem = make_reader(arguments)(sink);
  } catch (const std::bad_alloc&) {
    problem = {RecordingFault::too_large};
  } catch (const std::exception& e) {
    problem = {RecordingFault::format_unreadable, 0, 0, 0, e.what()};
  } catch (...) {
    problem = {RecordingFault::format_unreadable, 0, 0, 0, "the library failed"};
  }
  write_all(kReaderPipe, problem ? problem_message(problem) : finished_message());
  // No destructor of the libraries' state runs: what they hold dies with the
  // process.
  ::_exit(0);
}

}  // namespace telmor
