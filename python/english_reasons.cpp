// English words for the reasons of failed reads.
#include "english_reasons.h"

#include "analysis/recording_shape.h"

namespace telmor::python {
namespace {

std::string n(int value) { return std::to_string(value); }

constexpr const char* kGiveTheShape = " Give the shape with leads= and seconds=.";

}  // namespace

std::string recording_problem_text(const RecordingProblem& p) {
  switch (p.fault) {
    case RecordingFault::none:
      return {};
    case RecordingFault::no_rows:
      return "the file holds no rows of data";
    case RecordingFault::first_line_values:
      return "the first line holds " + n(p.count) + " values, not 1 to " + n(kMaxRecordingLeads) +
             " leads." + kGiveTheShape;
    case RecordingFault::rows_not_whole_seconds:
      return "the file holds " + n(p.count) + " rows of data, not a multiple of 1000 (one second)." +
             kGiveTheShape;
    case RecordingFault::too_many_seconds:
      return "the file holds " + n(p.count) + " rows of data, more than " +
             n(kMaxRecordingSeconds) + " seconds";
    case RecordingFault::end_of_file:
      return "read error (EOF): the file ends within the data of row " + n(p.row) +
             "; check the leads and seconds";
    case RecordingFault::not_a_number:
      return "read error (ERR): row " + n(p.row) + " holds a value that is not a number";
    case RecordingFault::value_beyond_float:
      return "read error (ERR): row " + n(p.row) + " holds a value beyond the range of a 32-bit real";
    case RecordingFault::lead_count_mismatch:
      return "the lead count " + n(p.leads) + " does not fit the file's columns (the first line holds " +
             n(p.count) + " values): row " + n(p.row) + " ends in the middle of a line";
    case RecordingFault::cr_line_ends:
      return "the lines end in CR alone (save the file with CR LF or LF line ends)";
    case RecordingFault::utf16_text:
      return "the text is UTF-16 (save it as UTF-8 or Shift_JIS)";
    case RecordingFault::no_amplitude:
      return "no data: leads 1 to 3 are all 0 over 100 to 1000 ms";
    case RecordingFault::no_beat_lead:
      return "the beat lead " + n(p.count) + " does not exist (the recording has " + n(p.leads) +
             " leads)";
    case RecordingFault::too_large:
      return "the recording is too large for memory";
  }
  return {};
}

std::string results_fault_text(const ParseResult& p) {
  const std::string block = p.block == Block::at ? "AT" : "RT";
  switch (p.fault) {
    case ParseFault::none:
      return {};
    case ParseFault::early_end:
      return "the file ends early: line " + n(p.line) + " (" + block + " block) is missing";
    case ParseFault::not_a_number:
      return "line " + n(p.line) + " (" + block + " block) " +
             (p.lead == 0 ? std::string("has a count that is not a number")
                          : "holds a value of lead " + n(p.lead) + " that is not a number");
    case ParseFault::count_out_of_range:
      return "line " + n(p.line) + " (" + block + " block) holds the count " + n(p.count) +
             ", outside 0 to 200";
    case ParseFault::read_error:
      return "the file could not be read";
  }
  return {};
}

}  // namespace telmor::python
