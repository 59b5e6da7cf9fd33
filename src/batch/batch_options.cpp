// Parsing of the telmor-batch command line.
#include "batch/batch_options.h"

#include <charconv>
#include <optional>
#include <string>

#include "base/number_text.h"
#include "batch_words.h"
#include "base/utf8_path.h"
#include "readers/layout_file.h"
#include "timing/analysis.h"
#include "words/language_choice.h"
#include "words/words.h"

namespace telmor {
namespace {

[[noreturn]] void refuse(const std::string& what) { throw BatchUsageError(what); }

class Arguments {
 public:
  Arguments(std::span<const std::string_view> arguments, const BatchWords& words)
      : arguments_(arguments), words_(words) {}
  const BatchWords& words() const { return words_; }
  bool done() const { return at_ >= arguments_.size(); }
  std::string_view next() { return arguments_[at_++]; }
  // The next argument without taking it; empty at the end.
  std::string_view peek() const { return done() ? std::string_view() : arguments_[at_]; }
  // The value of option, which must follow it.
  std::string_view value(std::string_view option) {
    if (done()) refuse(words_.option_without_value(option));
    return next();
  }

 private:
  std::span<const std::string_view> arguments_;
  const BatchWords& words_;
  std::size_t at_ = 0;
};

std::int32_t integer(Arguments& args, std::string_view option, std::int32_t low, std::int32_t high) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value) || value < low || value > high) {
    refuse(args.words().integer_outside(option, low, high, text));
  }
  return value;
}

// A whole number, any int32: the analysis's bounds are checked as a whole.
std::int32_t whole(Arguments& args, std::string_view option) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value)) refuse(args.words().not_an_integer(option, text));
  return value;
}

// The settings as the analysis checks them (the ranges only what a click
// into d's one-second window can give, which also keeps the search of every
// beat within a window of about two seconds), named by their option.
void check_analysis_settings(const AnalysisSettings& settings, double rate_hz, const BatchWords& words) {
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
      option = problem.part == SettingPart::before ? "--blank-before" : "--blank-after";
      break;
    case AnalysisFault::legacy_cycle_options:
      option = settings.rt_after_at ? "--rt-window" : "--rt-margin";
      break;
    default:
      break;
  }
  refuse(words.setting_refused(option, problem));
}

// The electrodes' positions come from one place, and a grid needs both its
// shape and its pitch.
void positions(BatchOptions& options, std::optional<std::string_view> grid, std::optional<std::string_view> pitch,
               const BatchWords& words) {
  if (!TELMOR_MAPS && (options.layout_file || grid || pitch || options.figures))
    refuse(words.maps_not_built());
  if (options.layout_file && (grid || pitch))
    refuse(words.layout_with_grid(grid ? "--grid" : "--pitch"));
  if (grid && !pitch) refuse(words.grid_without_pitch());
  if (pitch && !grid) refuse(words.pitch_without_grid());
  if (grid) {
    LayoutReading reading = parse_grid_layout(*grid, *pitch);
    if (reading.problem) refuse(words.grid_refusal_message(reading.problem.fault, *grid, *pitch));
    options.grid = std::move(reading.layout);
  }
  if (options.figures && !options.layout_file && !options.grid)
    refuse(words.figures_without_positions());
}

// The language of --lang, which every other refusal is said in: the last
// one given before "--" (a wrong code refused in the fallback's words).
Language asked_language(std::span<const std::string_view> arguments, Language fallback) {
  Language language = fallback;
  for (std::size_t k = 0; k < arguments.size() && arguments[k] != "--"; ++k) {
    if (arguments[k] != "--lang") continue;
    const BatchWords& words = batch_words(fallback);
    if (k + 1 == arguments.size()) throw BatchUsageError(words.option_without_value("--lang"), fallback);
    const std::optional<Language> named = language_named(arguments[++k]);
    if (!named) throw BatchUsageError(words.option_value_unknown("--lang", "ja", "en", arguments[k]), fallback);
    language = *named;
  }
  return language;
}

// The options, refused in the words of language.
BatchOptions parse_in(std::span<const std::string_view> arguments, Language language) {
  BatchOptions options;
  options.language = language;
  const BatchWords& words = batch_words(options.language);
  Arguments args(arguments, words);
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
        refuse(words.not_a_number(a, text));
    } else if (a == "--estimator") {
      const std::string_view name = args.value(a);
      const std::optional<Estimator> estimator = estimator_named(name);
      if (!estimator) refuse(words.option_value_unknown(a, "centred", "legacy", name));
      options.settings.estimator = *estimator;
    } else if (a == "--rt-smooth") {
      options.settings.rt_smooth_ms = whole(args, a);
    } else if (a == "--rate") {
      const std::string_view text = args.value(a);
      double rate = 0.0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rate);
      if (ec != std::errc{} || end != text.data() + text.size() || !(rate >= kMinRateHz) || !(rate <= 1e6))
        refuse(words.rate_invalid(kMinRateHz, text));
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
        refuse(words.option_value_unknown(a, "samples-by-leads", "leads-by-samples", name));
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
    } else if (a == "--lang") {
      args.next();  // taken before the rest
    } else {
      refuse(words.unknown_option(a));
    }
  }
  // A rate the settings cannot use is refused before any file is read when
  // given; a file's own rate is checked by its analysis.
  check_analysis_settings(options.settings, options.text_rate(), words);
  positions(options, grid, pitch, words);
  if (options.paths.empty() && !options.help && !options.version)
    refuse(words.no_path());
  return options;
}

}  // namespace

BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments, Language fallback) {
  const Language language = asked_language(arguments, fallback);
  try {
    return parse_in(arguments, language);
  } catch (const BatchUsageError& error) {
    throw BatchUsageError(error.what(), language);
  }
}

}  // namespace telmor
