// Parsing of the telmor-batch command line.
#include "batch/batch_options.h"

#include <charconv>
#include <optional>
#include <string>

#include "base/number_text.h"
#include "batch_messages.h"
#include "base/utf8_path.h"
#include "readers/layout_file.h"
#include "timing/analysis.h"
#include "words/words.h"

namespace telmor {
namespace {

[[noreturn]] void refuse(const std::string& what) { throw BatchUsageError(what); }

class Arguments {
 public:
  explicit Arguments(std::span<const std::string_view> arguments) : arguments_(arguments) {}
  bool done() const { return at_ >= arguments_.size(); }
  std::string_view next() { return arguments_[at_++]; }
  // The next argument without taking it; empty at the end.
  std::string_view peek() const { return done() ? std::string_view() : arguments_[at_]; }
  // The value of option, which must follow it.
  std::string_view value(std::string_view option) {
    if (done()) refuse(std::string(option) + " の値がありません。");
    return next();
  }

 private:
  std::span<const std::string_view> arguments_;
  std::size_t at_ = 0;
};

std::int32_t integer(Arguments& args, std::string_view option, std::int32_t low, std::int32_t high) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value) || value < low || value > high) {
    refuse(std::string(option) + " は" + format_integer(low) + "から" + format_integer(high) +
           "の整数です（" + std::string(text) + "）。");
  }
  return value;
}

// A whole number, any int32: the analysis's bounds are checked as a whole.
std::int32_t whole(Arguments& args, std::string_view option) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value)) refuse(std::string(option) + " は整数です（" + std::string(text) + "）。");
  return value;
}

// The settings as the analysis checks them (the ranges only what a click
// into d's one-second window can give, which also keeps the search of every
// beat within a window of about two seconds), named by their option.
void check_analysis_settings(const AnalysisSettings& settings, double rate_hz) {
  const AnalysisProblem problem = check_settings(settings, kMaxRecordingLeads, rate_hz);
  if (!problem) return;
  const char* option = "--ranges";
  switch (problem.fault) {
    case AnalysisFault::smoothing_outside:
      option = "--smooth";
      break;
    case AnalysisFault::ratio_outside:
      option = "--ratio";
      break;
    case AnalysisFault::beat_lead_outside:
      option = "--beat-lead";
      break;
    case AnalysisFault::rt_smoothing_outside:
    case AnalysisFault::legacy_rt_smoothing:
      option = "--rt-smooth";
      break;
    case AnalysisFault::rate_outside:
    case AnalysisFault::legacy_rate:
    case AnalysisFault::window_too_narrow:
      option = "--rate";
      break;
    case AnalysisFault::rt_margin_outside:
      option = "--rt-margin";
      break;
    case AnalysisFault::rt_window_outside:
      option = "--rt-window";
      break;
    case AnalysisFault::blanking_outside:
      option = problem.which == 1 ? "--blank-before" : "--blank-after";
      break;
    case AnalysisFault::legacy_cycle_options:
      option = settings.rt_after_at ? "--rt-window" : "--rt-margin";
      break;
    default:
      break;
  }
  refuse(std::string(option) + " " + japanese().analysis_problem(problem));
}

// The electrodes' positions come from one place, and a grid needs both its
// shape and its pitch.
void positions(BatchOptions& options, std::optional<std::string_view> grid,
               std::optional<std::string_view> pitch) {
  if (!TELMOR_MAPS && (options.layout_file || grid || pitch || options.figures))
    refuse("この telmor-batch は地図を作れません（Qhull と Cairo なしで作られています）。");
  if (options.layout_file && (grid || pitch))
    refuse(std::string(grid ? "--grid" : "--pitch") + " と --layout は一緒に指定できません。");
  if (grid && !pitch) refuse("--grid には電極の間隔 --pitch MM も指定してください。");
  if (pitch && !grid) refuse("--pitch は格子 --grid RxC と一緒に指定してください。");
  if (grid) {
    LayoutReading reading = parse_grid_layout(*grid, *pitch);
    if (reading.problem) refuse(grid_refusal_message(reading.problem.fault, *grid, *pitch));
    options.grid = std::move(reading.layout);
  }
  if (options.figures && !options.layout_file && !options.grid)
    refuse("--figures は電極の配置（--layout か --grid と --pitch）と一緒に指定してください。");
}

}  // namespace

BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments) {
  BatchOptions options;
  Arguments args(arguments);
  bool options_ended = false;
  std::optional<std::string_view> grid, pitch;
  while (!args.done()) {
    const std::string_view a = args.next();
    if (options_ended || a == "-" || !a.starts_with("-")) {
      options.paths.push_back(path_from_utf8(a));
    } else if (a == "--") {
      options_ended = true;
    } else if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a == "--smooth") {
      options.settings.smooth_ms = whole(args, a);
    } else if (a == "--ratio") {
      const std::string_view text = args.value(a);
      if (!parse_real(text, options.settings.amp_ratio))
        refuse("--ratio は数値です（" + std::string(text) + "）。");
    } else if (a == "--estimator") {
      const std::string_view name = args.value(a);
      const std::optional<Estimator> estimator = estimator_named(name);
      if (!estimator) refuse("--estimator は centred か legacy です（" + std::string(name) + "）。");
      options.settings.estimator = *estimator;
    } else if (a == "--rt-smooth") {
      options.settings.rt_smooth_ms = whole(args, a);
    } else if (a == "--rate") {
      const std::string_view text = args.value(a);
      double rate = 0.0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rate);
      if (ec != std::errc{} || end != text.data() + text.size() || !(rate >= kMinRateHz) || !(rate <= 1e6))
        refuse("--rate はサンプリング周波数（Hz、" + format_integer(static_cast<std::int64_t>(kMinRateHz)) +
               "以上）です（" + std::string(text) + "）。");
      options.rate_hz = rate;
    } else if (a == "--ranges") {
      if (args.peek() == "auto") {
        args.next();
        options.settings.auto_ranges = true;
      } else {
        options.settings.at_from = whole(args, a);
        options.settings.at_to = whole(args, a);
        options.settings.rt_from = whole(args, a);
        options.settings.rt_to = whole(args, a);
      }
    } else if (a == "--rt-margin") {
      options.settings.rt_margin_ms = whole(args, a);
    } else if (a == "--rt-window") {
      const std::int32_t from = whole(args, a);
      options.settings.rt_after_at = std::pair{from, whole(args, a)};
    } else if (a == "--blank-before") {
      options.settings.blank_before_ms = whole(args, a);
    } else if (a == "--blank-after") {
      options.settings.blank_after_ms = whole(args, a);
    } else if (a == "--dataset") {
      options.dataset = std::string(args.value(a));
    } else if (a == "--orientation") {
      const std::string_view name = args.value(a);
      if (name == "samples-by-leads") {
        options.orientation = Orientation::samples_by_leads;
      } else if (name == "leads-by-samples") {
        options.orientation = Orientation::leads_by_samples;
      } else {
        refuse("--orientation は samples-by-leads か leads-by-samples です（" + std::string(name) + "）。");
      }
    } else if (a == "--leads") {
      options.leads = integer(args, a, 1, kMaxRecordingLeads);
    } else if (a == "--seconds") {
      options.seconds = integer(args, a, 1, kMaxRecordingSeconds);
    } else if (a == "--beat-lead") {
      options.settings.beat_lead = integer(args, a, 1, kMaxRecordingLeads);
    } else if (a == "--jobs") {
      options.jobs = integer(args, a, 1, 1024);
    } else if (a == "--out") {
      const std::string_view text = args.value(a);
      options.out = path_from_utf8(text);
    } else if (a == "--summary") {
      const std::string_view text = args.value(a);
      options.summary = path_from_utf8(text);
    } else if (a == "--layout") {
      options.layout_file = path_from_utf8(args.value(a));
    } else if (a == "--grid") {
      grid = args.value(a);
    } else if (a == "--pitch") {
      pitch = args.value(a);
    } else if (a == "--figures") {
      options.figures = true;
    } else if (a == "--overwrite") {
      options.overwrite = true;
    } else if (a == "--quiet") {
      options.quiet = true;
    } else {
      refuse("知らないオプションです: " + std::string(a));
    }
  }
  // A rate the settings cannot use is refused before any file is read when
  // given; a file's own rate is checked by its analysis.
  check_analysis_settings(options.settings, options.text_rate());
  positions(options, grid, pitch);
  if (options.paths.empty() && !options.help && !options.version)
    refuse("記録ファイルかフォルダ（PATH）を指定してください。");
  return options;
}

}  // namespace telmor
