// The words of every reason, flag and review state: the core and the
// results file report values, and one catalogue per language turns them into
// text at the edge, where the user reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <system_error>

#include "readers/waveform_rows.h"
#include "base/file_errors.h"
#include "results/results_format.h"
#include "results/results_parse.h"
#include "signal/electrode_layout.h"
#include "signal/mark_kind.h"
#include "signal/recording_problem.h"
#include "timing/analysis.h"
#include "timing/beat_table.h"

namespace telmor {

enum class Language : std::uint8_t { japanese, english };

// Whether a file was being read or written when the system refused it.
enum class FileUse { reading, writing };

// One language's texts. Each is one sentence or phrase; none names the file
// it is about (the caller does).
class Words {
 public:
  virtual ~Words() = default;
  virtual Language language() const = 0;

  // Why a recording cannot be read, or what stops its analysis.
  virtual std::string recording_problem(const RecordingProblem& problem) const = 0;
  virtual std::string analysis_problem(const AnalysisProblem& problem) const = 0;
  // The status bar's note on a failed read of a waveform file, where the
  // text shows more than the dialogue's blocks say (empty otherwise).
  virtual std::string read_note(const WaveRows& rows, int lead_count) const = 0;
  // The fault of a layout file or grid, without its line.
  virtual std::string layout_fault(LayoutFault fault) const = 0;
  // Why a cell of marks by beat asks for a look: its AT's review, then its
  // RT's, joined (empty when neither asks).
  virtual std::string mark_review(MarkReview at, MarkReview rt) const = 0;
  // Leads whose marks of a kind (at: AT, else RT) crowd their windows' ends
  // or are weak: the range probably misses the wave (a phrase).
  virtual std::string range_warning(const std::vector<int>& leads, MarkKind kind) const = 0;

  // Why the tables could not be written as a results file.
  virtual std::string format_fault(const FormatResult& result) const = 0;
  // What is wrong with a results file's content, and on which line.
  virtual std::string parse_fault(const ParseResult& result) const = 0;
  // Why a file could not be read or written, from the system's reason: the
  // common causes (a missing file or folder, no permission, a full disk, a
  // read-only drive, a folder where a file should be or the other way round,
  // too many links, a name too long) in the user's words; any other cause as
  // an error with the system's own text in parentheses.
  virtual std::string system_error(std::error_code error, FileUse use) const = 0;
  // The report on a temporary that a killed save left and that could not be
  // removed.
  virtual std::string left_temporary(std::error_code error) const = 0;

  // Why the file could not be written (a missing file means its folder).
  std::string write_error(std::error_code error) const { return system_error(error, FileUse::writing); }
  // Why the file could not be opened for reading.
  std::string open_error(std::error_code error) const { return system_error(error, FileUse::reading); }
};

const Words& words(Language language);
inline const Words& japanese() { return words(Language::japanese); }
inline const Words& english() { return words(Language::english); }

// A fault that the shape of the recording, stated by the user, would mend:
// the front end adds how to state it.
bool asks_for_shape(RecordingFault fault);

}  // namespace telmor
