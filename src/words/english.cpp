// The English words: the Python module's reasons, and the desktop's and the
// replay's English face. Phrases, not sentences: a caller puts them after a
// file's name ("'a.txt': the file holds no rows of data").
#include <string>

#include "base/number_text.h"
#include "readers/recording_limits.h"
#include "readers/recording_shape.h"
#include "catalogues.h"

namespace telmor {
namespace {

std::string n(std::int64_t value) { return format_integer(value); }

bool is_permission(std::error_code error) {
  return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

std::string_view shared_cause(std::error_code error) {
  if (error == std::errc::no_space_on_device) return "the disk is full";
  if (error == std::errc::read_only_file_system) return "the drive is read-only";
  if (error == std::errc::is_a_directory) return "it is a folder, not a file";
  if (error == std::errc::not_a_directory) return "a file stands where the path needs a folder";
  if (error == std::errc::directory_not_empty) return "the folder is not empty";
  if (error == std::errc::too_many_symbolic_link_levels) return "too many links, or a loop of links";
  if (error == std::errc::too_many_links) return "too many links to it";
  if (error == std::errc::filename_too_long) return "the name is too long";
  return {};
}

// How a library's process ended: its signal's name, or its exit status.
std::string ending(const RecordingProblem& p) {
  if (p.count != 0) return signal_name(p.count);
  return "exit status " + n(p.row);
}

std::string header_problem(const RecordingProblem& p) {
  const std::string signal = "signal " + n(p.leads) + ": ";
  switch (p.field) {
    case HeaderField::none:
    case HeaderField::version:
      return "the header's format " + p.detail + " cannot be read";
    case HeaderField::header_bytes:
      return "the header's length of " + p.detail + " bytes fits neither its signals nor the file's size";
    case HeaderField::signal_count:
      return "the number of signals " + p.detail + " is not 1 to " + n(kMaxHeaderSignals);
    case HeaderField::record_count:
      return "the number of data records " + p.detail + " is not valid";
    case HeaderField::record_duration:
      return "the duration of a data record " + p.detail + " is not a positive number of seconds";
    case HeaderField::samples_per_record:
      return (p.leads > 0 ? signal : std::string()) + "the samples per record " + p.detail + " are not valid";
    case HeaderField::digital_range:
      return signal + "the digital minimum and maximum " + p.detail +
             " are not a minimum below the maximum within the sample's range";
    case HeaderField::physical_minimum:
      return signal + "the physical minimum " + p.detail + " is not a number";
    case HeaderField::physical_maximum:
      return signal + "the physical maximum " + p.detail + " is not a number";
    case HeaderField::physical_range:
      return signal + "the physical minimum and maximum are both " + p.detail;
    case HeaderField::sample_type:
      return signal + "the sample type " + p.detail + " is not one GDF defines";
  }
  return {};
}

std::string one_review(MarkReview review, const char* kind) {
  switch (review) {
    case MarkReview::before_first_beat:
      return std::string(kind) + " before the first beat";
    case MarkReview::missing:
      return std::string("no ") + kind;
    case MarkReview::several:
      return std::string("several ") + kind + "s";
    case MarkReview::weak:
      return std::string("weak ") + kind;
    case MarkReview::edge:
      return std::string("no ") + kind + " (steepest at the window's end: the wave lies beyond)";
    case MarkReview::flat:
      return std::string("no ") + kind + " (the signal is flat)";
    case MarkReview::no_window:
      return std::string("no ") + kind + " (no room for a window)";
    case MarkReview::near_edge:
      return kind + std::string(" near its window's end");
    case MarkReview::none:
      break;
  }
  return {};
}

const char* bound_name(SettingPart part) {
  switch (part) {
    case SettingPart::at_from:
      return "AT from";
    case SettingPart::at_to:
      return "AT to";
    case SettingPart::rt_from:
      return "RT from";
    default:
      return "RT to";
  }
}

class EnglishWords final : public Words {
 public:
  Language language() const override { return Language::english; }

  std::string recording_problem(const RecordingProblem& p) const override {
    switch (p.fault) {
      case RecordingFault::none:
        return {};
      case RecordingFault::no_rows:
        return "the file holds no rows of data";
      case RecordingFault::first_line_values:
        return "the first line holds " + n(p.count) + " values, not 1 to " + n(kMaxRecordingLeads) + " leads";
      case RecordingFault::rows_not_whole_seconds:
        return "the file holds " + n(p.count) + " rows of data, not a multiple of 1000 (one second)";
      case RecordingFault::too_many_seconds:
        return "the file holds " + n(p.count) + " rows of data, more than " + n(kMaxRecordingSeconds) +
               " seconds";
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
      case RecordingFault::binary_data:
        return "the file is no text: it holds NUL bytes";
      case RecordingFault::too_large:
        return "the recording is too large for memory";
      case RecordingFault::cannot_open:
        return "the file cannot be opened (" + p.detail + ")";
      case RecordingFault::unknown_format:
        return "neither the name nor the content of " + p.detail +
               " is a recording format TELMOR reads (text, CSV/TSV, EDF/BDF/GDF, HDF5, MATLAB)";
      case RecordingFault::format_unreadable:
        return "the file cannot be read: " + p.detail;
      case RecordingFault::no_dataset:
        return "the file holds no 2-D numeric dataset";
      case RecordingFault::several_datasets:
        return "the file holds several 2-D datasets (" + p.detail + "): name one with --dataset";
      case RecordingFault::dataset_not_found:
        return "the file holds no dataset " + p.detail;
      case RecordingFault::dataset_shape:
        return "the dataset is not a 2-D array of numbers (" + p.detail + ")";
      case RecordingFault::orientation_ambiguous:
        return "a dataset of " + n(p.row) + " × " + n(p.count) +
               " could be either samples × leads or leads × samples: say which with --orientation";
      case RecordingFault::rate_missing:
        return "the file states no sampling rate: give it with --rate";
      case RecordingFault::rate_invalid:
        return "the sampling rate " + p.detail + " is not a positive number of Hz";
      case RecordingFault::rates_differ:
        return "the channels are sampled at different rates (" + p.detail + ")";
      case RecordingFault::irregular_time:
        return "the time column's step changes at row " + n(p.row) + ": the samples are not evenly spaced";
      case RecordingFault::csv_header:
        if (p.count == 1) return "the first row holds numbers: a CSV recording starts with a row of channel names";
        if (p.count == 2)
          return "the time column " + p.detail + " names no unit: call it time_s or time_ms (or give --rate)";
        return "the file holds no column but its time";
      case RecordingFault::field_count:
        return "row " + n(p.row) + " does not hold as many fields as the header";
      case RecordingFault::lead_outside:
        return "there is no lead " + n(p.leads) + " (the recording holds " + n(p.count) + ")";
      case RecordingFault::time_outside:
        return p.detail + " s lies outside the recording (" + n(p.count) + " ms long)";
      case RecordingFault::header_invalid:
        return header_problem(p);
      case RecordingFault::data_missing:
        if (p.detail.empty())
          return "the header declares " + n(p.count) + " data records but the file holds " + n(p.row) +
                 " (the file is cut short)";
        return "the dataset " + p.detail + " declares " + n(p.count) + " values but the file holds " + n(p.row);
      case RecordingFault::beyond_limit:
        return "the recording " + p.detail + " is too large (at most " + n(p.count) + " GiB of samples)";
      case RecordingFault::library_crashed:
        return "the library that reads " + p.detail + " stopped (" + ending(p) + "): the file may be damaged";
      case RecordingFault::library_hung:
        return "the library that reads " + p.detail + " gave no answer for " + n(p.count) +
               " s and was stopped: the file may be damaged";
    }
    return {};
  }

  std::string analysis_problem(const AnalysisProblem& p) const override {
    switch (p.fault) {
      case AnalysisFault::none:
        return {};
      case AnalysisFault::no_leads:
        return "the recording holds no lead";
      case AnalysisFault::no_samples:
        return "the recording holds no sample";
      case AnalysisFault::too_short:
        return "the recording is shorter than a second (" + n(static_cast<std::int64_t>(p.value)) + " samples)";
      case AnalysisFault::values_mismatch:
        return "the recording's values are not leads × samples";
      case AnalysisFault::beat_lead_outside:
        return "the beat lead " + n(static_cast<std::int64_t>(p.value)) + " does not exist (the recording has " +
               n(p.leads) + " leads)";
      case AnalysisFault::smoothing_outside:
        return "the smoothing must be " + n(kMinSmoothPoints) + " to " + n(kMaxSmoothPoints) + " points, not " +
               n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::ratio_outside:
        return "the amplitude ratio must be 0.0 to 1.0, not " + format_real(static_cast<float>(p.value));
      case AnalysisFault::range_bound_outside:
        return std::string("the range bound ") + bound_name(p.part) + " must be " + n(kLowestRangeBound) +
               " to " + n(kHighestRangeBound) + " ms, not " + n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::range_reversed:
        return std::string("the ") + (p.part == SettingPart::at ? "AT" : "RT") + " range ends before it starts";
      case AnalysisFault::rate_outside:
        return "a rate of " + format_real(static_cast<float>(p.value)) + " Hz cannot be analysed (" +
               format_real(static_cast<float>(kMinRateHz)) + " Hz at least)";
      case AnalysisFault::window_too_narrow:
        return std::string("the ") + (p.part == SettingPart::at ? "" : "RT ") + "smoothing window holds only " +
               n(2 * static_cast<std::int64_t>(p.value) + 1) + " samples, too few for a cubic (5 at least)";
      case AnalysisFault::rt_smoothing_outside:
        return "the RT smoothing must be " + n(kMinSmoothPoints) + " to " + n(kMaxSmoothPoints) + " ms, not " +
               n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::legacy_rate:
        return "the legacy arithmetic is for 1000 Hz only (this recording is " +
               format_real(static_cast<float>(p.value)) + " Hz)";
      case AnalysisFault::legacy_rt_smoothing:
        return "the legacy arithmetic finds AT and RT on one derivative: it takes no RT smoothing";
      case AnalysisFault::rt_margin_outside:
        return "the RT margin must be 0 to " + n(kMostRtMarginMs) + " ms, not " + n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::rt_window_outside:
        return p.part == SettingPart::window_reversed ? std::string("the RT window after the AT ends before it starts")
                            : std::string("the RT window's ") + (p.part == SettingPart::window_from ? "start" : "end") +
                                  " after the AT must be 0 to " + n(kHighestRangeBound) + " ms, not " +
                                  n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::blanking_outside:
        return std::string("the beat search's blanking ") + (p.part == SettingPart::before ? "before" : "after") +
               " a beat must be 0 to " + n(kMostBlankMs) + " ms, not " + n(static_cast<std::int64_t>(p.value));
      case AnalysisFault::legacy_cycle_options:
        return "the legacy arithmetic searches as specified: it takes no RT margin or RT window after the AT";
      case AnalysisFault::no_amplitude:
        return "no data: the beat lead " + n(p.lead) + " is all 0 over 100 to 1000 ms";
      case AnalysisFault::derivative_not_finite:
        return "the values of lead " + n(p.lead) +
               " are too large for single precision: its derivative is not finite (scale the data)";
      case AnalysisFault::amplitude_lost:
        return "the values of lead " + n(p.lead) +
               " are too small for single precision: its derivative is all zero (scale the data)";
    }
    return {};
  }

  std::string read_note(const WaveRows& rows, int lead_count) const override {
    switch (rows.cause) {
      case WaveCause::cr_line_ends:
        return recording_problem({RecordingFault::cr_line_ends});
      case WaveCause::utf16_text:
        return recording_problem({RecordingFault::utf16_text});
      case WaveCause::value_beyond_float:
        return "row " + n(rows.row) + " holds a value beyond the range of a 32-bit real";
      case WaveCause::none:
        break;
    }
    if (rows.status != WaveReadStatus::lead_count_mismatch) return {};
    return "the file's first line holds " + n(rows.first_line_values) + " values; the lead count is " +
           n(lead_count);
  }

  std::string layout_fault(LayoutFault fault) const override {
    switch (fault) {
      case LayoutFault::none:
        return {};
      case LayoutFault::no_header:
        return "the first line is not lead,x_mm,y_mm";
      case LayoutFault::field_count:
        return "not three comma-separated fields";
      case LayoutFault::bad_lead:
        return "the lead is not a whole number from 1 on";
      case LayoutFault::bad_number:
        return "a coordinate is not a decimal number";
      case LayoutFault::not_finite:
        return "a coordinate is not finite";
      case LayoutFault::lead_twice:
        return "the lead has a position already";
      case LayoutFault::too_close:
        return "closer than 1 um to another electrode";
      case LayoutFault::no_electrodes:
        return "no electrode positions";
      case LayoutFault::bad_grid:
        return "the grid is not RxC with whole rows and columns from 1 on, " + n(kMaxLayoutElectrodes) +
               " electrodes at most";
      case LayoutFault::bad_pitch:
        return "the pitch is not a finite number of at least 0.001 mm";
      case LayoutFault::too_many:
        return "more than " + n(kMaxLayoutElectrodes) + " electrodes";
    }
    return {};
  }

  std::string mark_review(MarkReview at, MarkReview rt) const override {
    std::string text = one_review(at, "AT");
    const std::string more = one_review(rt, "RT");
    if (!text.empty() && !more.empty()) text += ", ";
    return text + more;
  }

  std::string range_warning(const std::vector<int>& leads, MarkKind kind) const override {
    std::string names;
    for (const int lead : leads) names += (names.empty() ? "" : ", ") + n(lead);
    return std::string(leads.size() == 1 ? "lead " : "leads ") + names + ": more than a fifth of the " +
           std::string(mark_kind_name(kind)) + " marks lie at an end of their window or are weak; the range probably misses the wave";
  }

  std::string format_fault(const FormatResult& result) const override {
    const std::string block(block_name(result.block));
    switch (result.fault) {
      case FormatFault::count_out_of_range:
        return "the " + block + " count " + n(result.count) + " is outside 0 to 200";
      case FormatFault::time_too_wide:
        return "the " + block + " time of lead " + n(result.lead) + " in row " + n(result.row) +
               " does not fit its 8-character field";
      case FormatFault::none:
        break;
    }
    return {};
  }

  std::string parse_fault(const ParseResult& p) const override {
    const std::string block(block_name(p.block));
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

  std::string system_error(std::error_code error, FileUse use) const override {
    const bool writing = use == FileUse::writing;
    if (error == std::errc::no_such_file_or_directory) return writing ? "no such folder" : "no such file";
    if (is_permission(error)) return writing ? "writing is not permitted" : "reading is not permitted";
    if (error == FileError::not_a_regular_file)
      return "not a regular file (a device, FIFO or socket): left as it is";
    if (error == FileError::too_large) return "too large to read";
    if (const std::string_view cause = shared_cause(error); !cause.empty()) return std::string(cause);
    return std::string(writing ? "write error" : "read error") + " (" + error.message() + ")";
  }

  std::string left_temporary(std::error_code error) const override {
    return "the temporary file of an interrupted save cannot be removed (" + write_error(error) + ")";
  }
};

}  // namespace

const Words& english_words() {
  static const EnglishWords words;
  return words;
}

}  // namespace telmor
