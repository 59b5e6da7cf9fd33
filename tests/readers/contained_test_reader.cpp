// A reader program for the tests of contained reads: its first argument
// says what it does (hands on a recording, fails in one of the ways a
// library can, looks at what it was given).
#include <dirent.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "readers/contained_read.h"

namespace telmor {
namespace {

// Two leads of 5 samples, sent a lead and a half at a time.
RecordingProblem two_leads(RecordingSink& sink) {
  if (RecordingProblem p = sink.begin(2, 5, 500.0, {"V1", "V2"}, {"mV"})) return p;
  const std::vector<float> a = {1, 2, 3}, b = {4, 5}, c = {-1, -2, -3, -4, -5};
  if (RecordingProblem p = sink.append(1, a)) return p;
  if (RecordingProblem p = sink.append(2, c)) return p;
  return sink.append(1, b);
}

RecordingProblem large(RecordingSink& sink) {
  const int samples = 3'000'000;
  if (RecordingProblem q = sink.begin(3, static_cast<std::uint64_t>(samples), 1000.0, {}, {})) return q;
  std::vector<float> lead(static_cast<std::size_t>(samples));
  for (int j = 1; j <= 3; ++j) {
    for (int i = 0; i < samples; ++i) lead[static_cast<std::size_t>(i)] = static_cast<float>(j * 1e-3 * i);
    if (RecordingProblem q = sink.append(j, lead)) return q;
  }
  return {};
}

// The descriptors open in this process: only the standard streams and the pipe.
RecordingProblem descriptors(RecordingSink& sink) {
  DIR* dir = ::opendir("/proc/self/fd");
  int others = 0;
  for (dirent* e = ::readdir(dir); e != nullptr; e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == ".." || name == "0" || name == "1" || name == "2" || name == "3") continue;
    if (std::stoi(name) != ::dirfd(dir)) ++others;
  }
  ::closedir(dir);
  if (others != 0) return {RecordingFault::format_unreadable, 0, others, 0, "descriptors left open"};
  return two_leads(sink);
}

SinkReader reader_for(const std::vector<std::string>& arguments) {
  const std::string mode = arguments.empty() ? std::string() : arguments.front();
  if (mode == "two_leads") return two_leads;
  if (mode == "large") return large;
  if (mode == "descriptors") return descriptors;
  if (mode == "problem")
    return [](RecordingSink&) { return RecordingProblem{RecordingFault::dataset_not_found, 0, 0, 0, "/data\x1b[2J"}; };
  if (mode == "segfault") return [](RecordingSink&) { std::raise(SIGSEGV); return RecordingProblem{}; };
  if (mode == "abort") return [](RecordingSink&) { std::abort(); return RecordingProblem{}; };
  if (mode == "exit") return [](RecordingSink&) { std::exit(3); return RecordingProblem{}; };
  if (mode == "hang") return [](RecordingSink&) { for (;;) ::pause(); return RecordingProblem{}; };
  if (mode == "bad_alloc") return [](RecordingSink&) -> RecordingProblem { throw std::bad_alloc(); };
  if (mode == "length_error") return [](RecordingSink&) -> RecordingProblem { throw std::length_error("vector"); };
  if (mode == "half")
    return [](RecordingSink& sink) {
      sink.begin(1, 10, 1000.0, {}, {});
      std::raise(SIGBUS);
      return RecordingProblem{};
    };
  if (mode == "missing") return [](RecordingSink& sink) { return sink.begin(1, 10, 1000.0, {}, {}); };
  if (mode == "flood")
    return [](RecordingSink&) {
      std::vector<char> flood(std::size_t{1} << 30, 'x');
      return RecordingProblem{RecordingFault::no_rows, static_cast<std::int64_t>(flood[12345])};
    };
  if (mode == "print")
    return [](RecordingSink& sink) {
      std::fprintf(stderr, "biosig.c (line 383) lcm(0,0)\n");
      std::printf("HDF5-DIAG: Error detected\n");
      std::fflush(nullptr);
      return two_leads(sink);
    };
  throw std::invalid_argument("no such mode");
}

}  // namespace
}  // namespace telmor

int main(int argc, char** argv) { return telmor::serve_contained_reader(argc, argv, telmor::reader_for); }
