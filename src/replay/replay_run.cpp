// The body of telmor-replay, kept apart from main so that it runs under test.
#include "replay/replay_run.h"

#include <exception>
#include <fstream>
#include <memory>
#include <vector>

#include "base/number_text.h"
#include "base/utf8_path.h"
#include "replay/replay_layer.h"
#include "replay/replay_stopped.h"
#include "replay/session_script.h"
#include "telmor_version.h"

namespace telmor {

namespace {

constexpr std::string_view kName = "telmor-replay: ";

int finish(int status, std::ostream& out, std::ostream* draw_log) {
  out.flush();
  if (draw_log != nullptr) draw_log->flush();
  return status;
}

}  // namespace

int run_replay(const ReplayOptions& options, const ReplayProgram& program, std::ostream& out,
               std::ostream& err) {
  std::vector<Directive> script;
  try {
    script = load_session_script(options.script);
  } catch (const ScriptError& error) {
    err << kName << options.script.string() << ": " << error.what() << '\n';
    return kReplayUsageError;
  } catch (const std::exception& error) {
    err << kName << error.what() << '\n';
    return kReplayUsageError;
  }

  std::unique_ptr<std::ofstream> draw_log;
  if (options.draw_log) {
    draw_log = std::make_unique<std::ofstream>(*options.draw_log, std::ios::binary | std::ios::trunc);
    if (!*draw_log) {
      err << kName << "cannot write the draw log " << utf8_from_path(*options.draw_log) << '\n';
      return kReplayUsageError;
    }
  }

  ReplayLayer layer(std::move(script), out, draw_log.get(), options.notes);
  if (options.english) layer.speak_english();
  layer.set_analysis_choice(options.analysis);
  try {
    program(layer, options.root);
  } catch (const ReplayStopped& stop) {
    err << kName << stop.what() << '\n';
    return finish(stop.exit_status(), out, draw_log.get());
  } catch (const std::exception& error) {
    err << kName << "the program failed: " << error.what() << '\n';
    return finish(kReplayFailed, out, draw_log.get());
  }
  if (!layer.program_stopped()) {
    err << kName << "the program returned without stopping\n";
    return finish(kReplayFailed, out, draw_log.get());
  }
  for (const Directive& directive : layer.unused_directives()) {
    err << kName << "warning: script line " << format_integer(directive.line_number) << " ("
        << directive.source << ") was not used: the program had ended\n";
  }
  finish(kReplayEnded, out, draw_log.get());
  if (draw_log && !*draw_log) {
    err << kName << "cannot write the draw log " << utf8_from_path(*options.draw_log) << '\n';
    return kReplayFailed;
  }
  return kReplayEnded;
}

int replay_main(std::span<const std::string_view> arguments, const ReplayProgram& program,
                std::ostream& out, std::ostream& err, Language fallback) {
  ReplayOptions options;
  try {
    options = parse_replay_arguments(arguments, fallback);
  } catch (const UsageError& error) {
    err << kName << error.what() << '\n' << kReplayUsage << '\n';
    return kReplayUsageError;
  }
  if (options.help) {
    out << kReplayUsage << "\n\n" << kReplayHelp;
    out.flush();
    return kReplayEnded;
  }
  if (options.version) {
    out << "telmor-replay " << kTelmorVersion << '\n';
    out.flush();
    return kReplayEnded;
  }
  return run_replay(options, program, out, err);
}

}  // namespace telmor
