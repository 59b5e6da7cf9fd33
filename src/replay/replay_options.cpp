// Parsing of the telmor-replay command line.
#include "replay/replay_options.h"

#include <string>

#include "base/number_text.h"
#include "base/utf8_path.h"
#include "timing/analysis_settings.h"

namespace telmor {
namespace {

// A whole number of ms from low to high for option.
std::int32_t whole_ms(std::string_view option, std::string_view text, std::int32_t low, std::int32_t high) {
  std::int32_t ms = 0;
  if (!parse_integer(text, ms) || ms < low || ms > high)
    throw UsageError(std::string(option) + " takes " + format_integer(low) + " to " + format_integer(high) +
                     " ms, not " + std::string(text));
  return ms;
}

}  // namespace

ReplayOptions parse_replay_arguments(std::span<const std::string_view> arguments, Language fallback) {
  ReplayOptions options;
  options.english = fallback == Language::english;
  bool have_script = false;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    const auto value = [&]() -> std::string_view {
      if (i + 1 >= arguments.size()) {
        throw UsageError("option " + std::string(argument) + " needs a value");
      }
      return arguments[++i];
    };
    if (!options_ended && (argument == "--help" || argument == "-h")) {
      options.help = true;
    } else if (!options_ended && argument == "--version") {
      options.version = true;
    } else if (!options_ended && argument == "--root") {
      options.root = path_from_utf8(value());
    } else if (!options_ended && argument == "--draw-log") {
      options.draw_log = path_from_utf8(value());
    } else if (!options_ended && argument == "--notes") {
      options.notes = true;
    } else if (!options_ended && argument == "--lang") {
      const std::string_view name = value();
      if (name != "ja" && name != "en") throw UsageError("--lang takes ja or en, not " + std::string(name));
      options.english = name == "en";
    } else if (!options_ended && argument == "--estimator") {
      const std::string_view name = value();
      if (name == "legacy") {
        options.analysis.kind = Estimator::legacy;
      } else if (name == "centred") {
        options.analysis.kind = Estimator::centred;
      } else {
        throw UsageError("--estimator takes centred or legacy, not " + std::string(name));
      }
    } else if (!options_ended && argument == "--rt-smooth") {
      // The dialogue's bounds of a smoothing: a cubic needs five points.
      options.analysis.rt_smooth_points = whole_ms(argument, value(), kLeastRtSmoothing, kMostDialogueSmoothing);
    } else if (!options_ended && argument == "--rt-margin") {
      options.analysis.rt_margin_ms = whole_ms(argument, value(), 0, kMostRtMarginMs);
    } else if (!options_ended && argument == "--rt-window") {
      options.analysis.rt_after_at = true;
      options.analysis.rt_after_from = whole_ms(argument, value(), 0, kHighestRangeBound);
      options.analysis.rt_after_to = whole_ms(argument, value(), options.analysis.rt_after_from, kHighestRangeBound);
    } else if (!options_ended && argument == "--blank-before") {
      options.analysis.blank_before_ms = whole_ms(argument, value(), 0, kMostBlankMs);
    } else if (!options_ended && argument == "--blank-after") {
      options.analysis.blank_after_ms = whole_ms(argument, value(), 0, kMostBlankMs);
    } else if (!options_ended && argument == "--") {
      options_ended = true;
    } else if (!options_ended && argument.size() > 1 && argument.front() == '-') {
      throw UsageError("unknown option " + std::string(argument));
    } else if (have_script) {
      throw UsageError("more than one script: " + utf8_from_path(options.script) + " and " +
                       std::string(argument));
    } else {
      options.script = path_from_utf8(argument);
      have_script = true;
    }
  }
  if (!have_script && !options.help && !options.version) throw UsageError("no script given");
  return options;
}

}  // namespace telmor
