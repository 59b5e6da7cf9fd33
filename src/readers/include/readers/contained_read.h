// A format library run where a crash or a hang costs one file and nothing
// else: the reader runs in a child process of its own, hands its recording
// back through a pipe, and is ended when it stops answering. What comes back
// is checked like any file.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "readers/recording_sink.h"
#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

// A reader: it hands the recording to the sink and returns why it could not.
using SinkReader = std::function<RecordingProblem(RecordingSink&)>;

struct Containment {
  // A reader that sends nothing for this long is taken for hung and ended.
  std::chrono::milliseconds quiet{60'000};
  // The address space the child may add to what it starts with (not set in
  // a sanitizer's build, whose shadow memory is vast).
  std::uint64_t more_memory = std::uint64_t{4} << 30;
  // The processor time the child may take, in seconds.
  unsigned cpu_seconds = 900;
  // The most the recording's samples may take: what the file can hold, where
  // the caller knows, so that not even a child gone wrong makes this process
  // allocate more.
  std::uint64_t most_recording_bytes = std::uint64_t{16} << 30;
};

// Runs reader in a child process: its standard streams on /dev/null, every
// other descriptor closed, no core dump, its signals at their defaults, the
// first the system ends when memory runs out. The recording it hands on is
// checked and built here (RecordingBuilder). Returns the reader's own
// problem; library_crashed (detail: library, count: the signal, row: the
// exit status) when the child ends without finishing; library_hung (count:
// seconds) when it says nothing for containment.quiet; format_unreadable
// when what it sent is damaged. Where processes cannot be made (Windows) the
// reader runs here.
RecordingProblem read_contained(std::string_view library, const SinkReader& reader, Recording& recording,
                                const Containment& containment = {});

// The stream between a contained reader and its caller: messages of a kind
// and a length, checked against what a recording may hold before anything
// is allocated. Public so that it can be tested and fuzzed on its own.
class ContainedStream {
 public:
  explicit ContainedStream(RecordingSink& sink) : sink_(sink) {}
  // Takes the next bytes; false once the stream is damaged or finished.
  bool feed(std::span<const char> bytes);
  bool finished() const { return finished_; }
  bool damaged() const { return damaged_; }
  // The reader's problem, where it sent one.
  const RecordingProblem& problem() const { return problem_; }

 private:
  bool take(std::span<const char> message);
  RecordingSink& sink_;
  std::string pending_;
  RecordingProblem problem_;
  bool finished_ = false, damaged_ = false;
};

// The messages a contained reader writes, for the child's side and the tests.
std::string begin_message(std::uint64_t leads, std::uint64_t samples, double rate_hz,
                          const std::vector<std::string>& labels, const std::vector<std::string>& units);
std::string values_message(int lead, std::span<const float> values);
std::string problem_message(const RecordingProblem& problem);
std::string finished_message();

}  // namespace telmor
