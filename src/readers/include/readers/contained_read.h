// A format library run where a crash or a hang costs one file and nothing
// else: the library reads in a program of its own (telmor-read), started
// anew for each file, which hands the recording back through a pipe and is
// ended when it stops answering. What comes back is checked like any file.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "readers/recording_sink.h"
#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

struct Containment {
  // A reader that sends nothing for this long is taken for hung and ended.
  std::chrono::milliseconds quiet{60'000};
  // The address space the reader may take (not set in a sanitizer's build,
  // whose shadow memory is vast): room for a MATLAB variable of the most
  // samples a recording holds, read whole in double precision.
  std::uint64_t memory = std::uint64_t{33} << 30;
  // The processor time the reader may take, in seconds.
  unsigned cpu_seconds = 900;
  // The most the recording's samples may take: what the file can hold, where
  // the caller knows, so that not even a reader gone wrong makes this process
  // allocate more.
  std::uint64_t most_recording_bytes = std::uint64_t{16} << 30;
};

// Starts program with arguments (after the containment's own, which
// serve_contained_reader takes), its standard streams on /dev/null, every
// other descriptor closed but the pipe it writes to, its signals at their
// defaults. The recording it hands on is checked and built here
// (RecordingBuilder). Returns the reader's own problem; library_crashed
// (detail: library, count: the signal, row: the exit status) when it ends
// without finishing; library_hung (count: seconds) when it says nothing for
// containment.quiet; format_unreadable when what it sent is damaged or it
// cannot be started.
RecordingProblem read_contained(std::string_view library, const std::filesystem::path& program,
                                const std::vector<std::string>& arguments, Recording& recording,
                                const Containment& containment = {});

// The reader program of this installation: telmor-read beside the Python
// module or the program that holds this code, or where the installed layout
// keeps it (PREFIX/lib/telmor, beside PREFIX/bin and
// PREFIX/lib/python3/dist-packages); empty when there is none. Never looked
// for in the working folder.
std::filesystem::path reader_program();

// A reader: it hands the recording to the sink and returns why it could not.
using SinkReader = std::function<RecordingProblem(RecordingSink&)>;

// The reader program's side, for its main: takes the containment's own
// arguments off the front (what read_contained put there), puts itself
// within the limits they give (no core dump, its address space and
// processor time, the first the system ends when memory runs out, ended
// with its caller), hands the rest to make_reader, runs the reader it makes
// with the pipe as its sink (a problem, or a finish, last), and returns the
// program's exit status. Anything the reader throws is its problem.
int serve_contained_reader(int argc, char** argv,
                           const std::function<SinkReader(const std::vector<std::string>&)>& make_reader);

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

// The messages a contained reader writes, for the reader's side and the tests.
std::string begin_message(std::uint64_t leads, std::uint64_t samples, double rate_hz,
                          const std::vector<std::string>& labels, const std::vector<std::string>& units);
std::string values_message(int lead, std::span<const float> values);
std::string problem_message(const RecordingProblem& problem);
std::string finished_message();

}  // namespace telmor
