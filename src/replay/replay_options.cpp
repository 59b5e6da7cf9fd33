// Parsing of the telmor-replay command line.
#include "replay/replay_options.h"

#include <string>

#include "base/number_text.h"
#include "base/utf8_path.h"

namespace telmor {

ReplayOptions parse_replay_arguments(std::span<const std::string_view> arguments) {
  ReplayOptions options;
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
    } else if (!options_ended && argument == "--estimator") {
      const std::string_view name = value();
      if (name == "legacy") {
        options.derivative.kind = DerivativeKind::legacy;
      } else if (name == "centred") {
        options.derivative.kind = DerivativeKind::centred;
      } else {
        throw UsageError("--estimator takes centred or legacy, not " + std::string(name));
      }
    } else if (!options_ended && argument == "--rt-smooth") {
      const std::string_view text = value();
      std::int32_t ms = 0;
      // The dialogue's bounds of a smoothing: a cubic needs five points.
      if (!parse_integer(text, ms) || ms < 2 || ms > 499)
        throw UsageError("--rt-smooth takes 2 to 499 ms, not " + std::string(text));
      options.derivative.rt_smooth_points = ms;
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
