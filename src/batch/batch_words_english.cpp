// telmor-batch's words in English, made from the reasons' values.
#include "batch_words.h"

#include "readers/recording_shape.h"
#include "base/number_text.h"
#include "base/printable_text.h"
#include "base/utf8_path.h"
#include "words/words.h"

namespace telmor {
namespace {

using std::filesystem::file_type;

// What the help says after the synopsis.
constexpr std::string_view kHelp =
    "Analyses recordings in bulk. As in the interactive analysis, it removes the baseline,\n"
    "differentiates with a local least-squares cubic, finds the beats on lead 1 and computes\n"
    "the AT and RT of every beat in every lead at the recording's sampling rate; for every\n"
    "recording NAME.txt (or NAME.edf and so on) it writes the results file NAMEari.csv (the\n"
    "one s saves) and, for all recordings, a summary table. A results file is written only\n"
    "where the interactive program can read its tables (up to 20 leads and 200 rows).\n"
    "\n"
    "  PATH                 a recording, or a folder (every recording in it, by name; tables\n"
    "                       TELMOR wrote, *ari.csv, summary.csv and the like, are left out).\n"
    "                       Formats: text *.txt, CSV/TSV with a header line *.csv *.tsv (the\n"
    "                       rate from a time column time_s or time_ms where there is one),\n"
    "                       EDF/EDF+/BDF/GDF *.edf *.bdf *.gdf, HDF5 *.h5 *.hdf5, MATLAB\n"
    "                       v5/v7.3 *.mat. The format from the contents, else from the name\n"
    "  --smooth N           smoothing, N ms either side (2 to 499, default 7; points at 1 kHz)\n"
    "  --estimator NAME     the derivative: centred (default; a least-squares cubic centred on\n"
    "                       every sample, RT sought on the derivative of the RT smoothing) or\n"
    "                       legacy (the specified arithmetic, to reproduce earlier results;\n"
    "                       1 kHz only)\n"
    "  --rt-smooth MS       smoothing of the RT derivative, MS ms either side (centred only,\n"
    "                       2 to 499, default 35)\n"
    "  --rate HZ            sampling rate in Hz: text recordings default to 1000; other formats\n"
    "                       where the file has none (it replaces the file's where it has one)\n"
    "  --dataset NAME       the HDF5 dataset (/group/data) or MATLAB variable, where a file\n"
    "                       holds more than one two-dimensional numeric array\n"
    "  --orientation O      samples-by-leads (a row per sample) or leads-by-samples, where the\n"
    "                       shape does not tell (rows and columns close in number)\n"
    "  --ratio R            amplitude ratio (default 0.1)\n"
    "  --ranges AF AT RF RT recognition ranges, ms from the beat: AT from, AT to, RT from, RT to\n"
    "                       (-200 to 1466, no end before its start; default -80 80 100 200)\n"
    "  --ranges auto        ranges suggested for every recording (to hold every lead's\n"
    "                       activation and T wave)\n"
    "  --rt-margin MS       centred: the RT window ends where the RT derivative would read\n"
    "                       within MS ms of the lead's next AT (0 to 500, default 20)\n"
    "  --rt-window FROM TO  centred: the RT window FROM to TO ms from each lead's AT instead of\n"
    "                       from the beat\n"
    "  --blank-before MS    beat search: MS ms before a beat found are left out (0 to 2000,\n"
    "                       default 100)\n"
    "  --blank-after MS     the same after it (default 200; shorter for small animals' hearts)\n"
    "  --beat-lead N        the lead the beats are sought on (default 1)\n"
    "  --leads N            number of leads (1 to 1024, default: the values of the first data\n"
    "                       line); formats that record their shape (CSV, EDF, HDF5 and so on)\n"
    "                       have their first N leads analysed\n"
    "  --seconds S          seconds (1 to 2000000, default: data lines / 1000); formats that\n"
    "                       record their shape have their first S seconds analysed\n"
    "  --jobs N             recordings analysed at once (default: the number of cores)\n"
    "  --out DIR            folder for the results files (default: the recording's folder)\n"
    "  --summary FILE       the summary table (default: summary.csv in --out, else in the\n"
    "                       first PATH's folder); its name ends in .csv, it is no recording or\n"
    "                       results file and, where it exists, a summary (it is replaced)\n"
    "  --layout FILE        electrode layout (CSV, header lead,x_mm,y_mm, a lead per line);\n"
    "                       beside the results file it also writes NAMEcv.csv (conduction\n"
    "                       velocity), NAMErestitution.csv (restitution) and\n"
    "                       NAMEdispersion.csv (dispersion)\n"
    "  --grid RxC           a grid of R rows and C columns instead of a layout file (lead n in\n"
    "                       column (n-1) mod C, row (n-1) div C; columns are x, rows y)\n"
    "  --pitch MM           the grid's electrode spacing in mm (with --grid)\n"
    "  --figures            with a layout, also the figures NAMEfigure.svg and NAMEfigure.png\n"
    "                       (the middle beat's maps and more)\n"
    "  --overwrite          replace results files that exist (default: such a recording is\n"
    "                       not analysed)\n"
    "  --quiet              no progress line and no last report line\n"
    "  --lang ja|en         the language of reports and notes (default: en where the locale\n"
    "                       is English, else ja)\n"
    "  --help, --version    this text, the version\n"
    "\n"
    "Summary (CSV, UTF-8): recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,\n"
    "  at_fine_ms,rt_fine_ms,at_quality,rt_quality (fine times, and the mark's slope in\n"
    "  multiples of the noise), at_flag,rt_flag,t_polarity,estimator,smooth_ms,rt_smooth_ms,\n"
    "  label (the file's channel name, empty where it has none)\n"
    "AT and RT marks belong to a beat by their time (beat k: from beat k+AF, before beat\n"
    "k+1+AF). Beat 0 holds the marks before the first beat's range.\n"
    "\n"
    "Conduction velocity (CSV): recording,beat,beat_ms,lead,method,speed_m_s,direction_deg,\n"
    "  neighbours,flag (method: surface, a local quadratic surface; triangle; speed in m/s,\n"
    "  direction 0 to 360 degrees from +x towards +y)\n"
    "Restitution (CSV): recording,lead,beat,cl_ms,di_ms,ari_ms\n"
    "Dispersion (CSV): recording,beat,beat_ms,at_first_ms,at_last_ms,total_activation_ms,\n"
    "  rt_sd_ms,rt_range_ms,rt_iqr_ms,ari_sd_ms,ari_range_ms,ari_iqr_ms,leads\n"
    "\n"
    "Exit status: 0 all analysed, 1 some recording reported, 2 a usage error\n";

constexpr std::string_view kGiveTheShape = "; give the shape with --leads and --seconds";

std::string count(int n) { return format_integer(n); }

std::string step_words(BatchStep step) {
  switch (step) {
    case BatchStep::reading:
      return "reading the recording";
    case BatchStep::analysis:
      return "analysing";
    case BatchStep::maps:
      return "making the maps' tables";
    case BatchStep::figures:
      return "drawing the figures";
    case BatchStep::results_file:
      return "writing the results file";
    case BatchStep::summary:
      return "making the summary's rows";
  }
  return {};
}

std::string type_words(file_type type) {
  switch (type) {
    case file_type::fifo:
      return "a FIFO";
    case file_type::directory:
      return "a folder";
    case file_type::character:
    case file_type::block:
      return "a device";
    case file_type::socket:
      return "a socket";
    default:
      return "a special file";
  }
}

std::string not_regular(file_type type) {
  return "not a regular file (" + type_words(type) + "): not opened.";
}

std::string read_message(const FileRead& read) {
  switch (read.fault) {
    case FileReadFault::not_a_regular_file:
      return not_regular(read.type);
    case FileReadFault::too_large:
      return "too large to read (up to " + format_bytes(read.limit, "bytes") + ").";
    case FileReadFault::out_of_memory:
      return "not enough memory to read it.";
    case FileReadFault::read_failed:
      return "cannot be read (an error while reading).";
    case FileReadFault::cannot_open:
    case FileReadFault::none:
      break;
  }
  return "cannot be read (the file cannot be opened).";
}

std::string ranges_text(std::int32_t at_from, std::int32_t at_to, std::int32_t rt_from, std::int32_t rt_to) {
  return "AT " + format_integer(at_from) + " to " + format_integer(at_to) + " ms, RT " + format_integer(rt_from) +
         " to " + format_integer(rt_to) + " ms";
}

class EnglishBatchWords final : public BatchWords {
 public:
  const Words& words() const override { return english(); }

  std::string option_without_value(std::string_view option) const override {
    return std::string(option) + " needs a value.";
  }
  std::string integer_outside(std::string_view option, std::int64_t low, std::int64_t high,
                              std::string_view text) const override {
    return std::string(option) + " is a whole number from " + format_integer(low) + " to " + format_integer(high) +
           " (" + std::string(text) + ").";
  }
  std::string not_an_integer(std::string_view option, std::string_view text) const override {
    return std::string(option) + " is a whole number (" + std::string(text) + ").";
  }
  std::string not_a_number(std::string_view option, std::string_view text) const override {
    return std::string(option) + " is a number (" + std::string(text) + ").";
  }
  std::string option_value_unknown(std::string_view option, std::string_view one, std::string_view other,
                                   std::string_view text) const override {
    return std::string(option) + " is " + std::string(one) + " or " + std::string(other) + " (" +
           std::string(text) + ").";
  }
  std::string setting_refused(std::string_view option, const AnalysisProblem& problem) const override {
    return std::string(option) + ": " + words().analysis_problem(problem) + ".";
  }
  std::string rate_invalid(double least_hz, std::string_view text) const override {
    return "--rate is a sampling rate in Hz, at least " + format_integer(static_cast<std::int64_t>(least_hz)) +
           " (" + std::string(text) + ").";
  }
  std::string maps_not_built() const override {
    return "this telmor-batch cannot make maps (it was built without Qhull and Cairo).";
  }
  std::string layout_with_grid(std::string_view option) const override {
    return std::string(option) + " and --layout cannot be given together.";
  }
  std::string grid_without_pitch() const override { return "--grid needs the electrode spacing --pitch MM too."; }
  std::string pitch_without_grid() const override { return "--pitch goes with a grid --grid RxC."; }
  std::string figures_without_positions() const override {
    return "--figures needs the electrodes' positions (--layout, or --grid with --pitch).";
  }
  std::string unknown_option(std::string_view option) const override {
    return "unknown option: " + std::string(option);
  }
  std::string no_path() const override { return "give a recording or a folder (PATH)."; }
  std::string_view see_help() const override { return " (usage: telmor-batch --help)"; }
  std::string_view usage_heading() const override { return "Usage:\n"; }
  std::string_view help() const override { return kHelp; }

  std::string path_message(const PathProblem& problem) const override {
    switch (problem.fault) {
      case PathFault::no_such_path:
        return "no such file or folder.";
      case PathFault::not_a_recording_name:
        return "not a recording (the name does not end in .txt .csv .tsv .edf .bdf .gdf .h5 .hdf5 or .mat).";
      case PathFault::own_table:
        return "a table TELMOR writes (results file, summary, map table or layout): not read as a recording.";
      case PathFault::same_results_file:
        return "another recording in the same folder has the same name and so the same results file: not "
               "analysed (rename one).";
      case PathFault::folder_unreadable:
        return "the folder cannot be read (" + words().system_error(problem.error, FileUse::reading) + ").";
      case PathFault::no_recordings:
        return "the folder holds no recordings (*.txt, *.csv, *.edf, *.h5, *.mat and so on).";
      case PathFault::dangling_link:
        return "the link leads nowhere (a broken link).";
      case PathFault::link_loop:
        return "the links go round in a loop and never reach a file.";
      case PathFault::not_a_regular_file:
        return not_regular(problem.type);
      case PathFault::named_twice:
        return "the same recording is named twice: analysed once.";
      case PathFault::name_not_utf8:
        return "the file name is not UTF-8: the summary has U+FFFD for the bytes it cannot read.";
    }
    return {};
  }

  std::string recording_problem_message(const RecordingProblem& p) const override {
    std::string text = words().recording_problem(p);
    if (asks_for_shape(p.fault)) text += kGiveTheShape;
    return text + ".";
  }

  std::string recording_message(const RecordingReason& reason) const override {
    switch (reason.fault) {
      case OutcomeFault::none:
        return {};
      case OutcomeFault::results_exist:
        return "the results file " + utf8_from_path(reason.results_file) +
               " exists: not analysed (--overwrite replaces it).";
      case OutcomeFault::unreadable:
        return read_message(reason.read);
      case OutcomeFault::recording:
        return recording_problem_message(reason.recording);
      case OutcomeFault::analysis:
        return words().analysis_problem(reason.analysis) + ".";
      case OutcomeFault::out_of_memory:
        return "memory ran out (" + step_words(reason.step) + "): this recording is not analysed.";
      case OutcomeFault::no_beats:
        return "no beats found (sought on lead " + count(reason.beat_lead) + "): this recording is not analysed.";
      case OutcomeFault::failed:
        return "cannot be analysed (" + escaped_controls(reason.detail) + " while " + step_words(reason.step) +
               "): this recording is not analysed.";
      case OutcomeFault::results_unformattable:
        return "the results file cannot be written (" + words().format_fault(reason.format) + ").";
      case OutcomeFault::results_unwritable:
        return "the results file " + utf8_from_path(reason.results_file) + " cannot be written (" +
               words().write_error(reason.error) + ").";
      case OutcomeFault::maps_unwritable:
        return "the map file " + utf8_from_path(reason.map_file) + " cannot be written (" +
               words().write_error(reason.error) + "): the results file is not written.";
    }
    return {};
  }

  std::string beyond_results_file_note(int leads, int rows) const override {
    return "note: a table of " + count(leads) + " leads and " + count(rows) +
           " rows does not fit a results file (up to 20 leads and 200 rows): written to the summary only.";
  }

  std::string velocities_without_value_note(int n) const override {
    return "note: " + count(n) + (n == 1 ? " electrode has" : " electrodes have") +
           " no conduction velocity (empty speed and direction in the velocity table, flag no_value).";
  }

  std::string range_warnings_note(const std::vector<RangeWarning>& warnings, MarkKind kind) const override {
    const std::vector<int> leads = warned_leads(warnings, kind);
    if (leads.empty()) return {};
    return "note: " + words().range_warning(leads, kind) + " (--ranges auto can suggest ranges).";
  }

  std::string suggested_ranges_note(bool suggested, std::int32_t at_from, std::int32_t at_to, std::int32_t rt_from,
                                    std::int32_t rt_to) const override {
    if (!suggested)
      return "note: no ranges could be suggested (no lead has clear waves): analysed at the ranges given, " +
             ranges_text(at_from, at_to, rt_from, rt_to) + ".";
    return "ranges suggested from the recording: " + ranges_text(at_from, at_to, rt_from, rt_to) + ".";
  }

  std::string maps_left_out_note(int dead_lead, int flagged) const override {
    return "marks left out of the maps, velocities, restitution and dispersion: " + count(dead_lead) +
           " of leads without a signal, " + count(flagged) + " near a window's end or weak.";
  }

  std::string fit_messages_note(int lines) const override {
    return "note: the least-squares fit reported " + count(lines) +
           (lines == 1 ? " message" : " messages") + " (the derivative is 0 where no fit is possible).";
  }

  std::string out_folder_message(std::error_code error) const override {
    return "the results folder cannot be made (" + words().write_error(error) + ").";
  }

  std::string summary_unwritable_message(std::error_code error) const override {
    return "the summary cannot be written (" + words().write_error(error) + ").";
  }

  std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary) const override {
    const std::string name = utf8_from_path(summary);
    switch (fault) {
      case SummaryFault::not_csv:
        return "the summary's name must end in .csv (" + name + ").";
      case SummaryFault::is_recording:
        return "the summary " + name + " is a recording to analyse: give another name.";
      case SummaryFault::is_results_file:
        return "the summary " + name + " is a results file to be written: give another name.";
      case SummaryFault::is_map_table:
        return "the summary " + name + " is a map table to be written: give another name.";
      case SummaryFault::not_a_file:
        return "something that is not a file stands where the summary " + name + " would go.";
      case SummaryFault::not_a_summary:
        return name + " is not a summary (its first line is not a summary's header): not replaced.";
      case SummaryFault::none:
        break;
    }
    return {};
  }

  std::string grid_refusal_message(LayoutFault fault, std::string_view grid, std::string_view pitch) const override {
    const bool of_pitch = fault == LayoutFault::bad_pitch;
    return std::string(of_pitch ? "--pitch " : "--grid ") + std::string(of_pitch ? pitch : grid) + ": " +
           words().layout_fault(fault) + ".";
  }

  std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                  const LayoutProblem& problem) const override {
    const std::string name = "layout file " + utf8_from_path(file);
    if (read.fault != FileReadFault::none) return name + ": " + read_message(read);
    return name + ", line " + count(problem.line) + ": " + words().layout_fault(problem.fault) + ".";
  }

  std::string run_report(const RunCounts& c) const override {
    std::string line = count(c.analysed) + " analysed, " + count(c.skipped) + " skipped, " + count(c.failed) +
                       " failed (" + format_fixed(c.seconds, 1) + " s). ";
    switch (c.summary) {
      case SummaryPlace::written:
        line += "Summary: " + utf8_from_path(c.summary_file);
        break;
      case SummaryPlace::failed:
        line += "The summary could not be written.";
        break;
      case SummaryPlace::not_written:
        line += "No summary written.";
        break;
    }
    if (c.notes == SummaryPlace::written) line += ", notes: " + utf8_from_path(c.notes_file);
    if (c.notes == SummaryPlace::failed) line += " (the notes table could not be written)";
    return line;
  }
};

}  // namespace

const BatchWords& english_batch_words() {
  static const EnglishBatchWords words;
  return words;
}

}  // namespace telmor
