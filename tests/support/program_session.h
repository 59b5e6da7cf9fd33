// The whole program run through telmor-replay's entry point, as a test sees
// it: a script written into a scratch folder, the transcript, the error
// stream and the draw log kept.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run_program.h"
#include "replay/replay_run.h"
#include "support/test_files.h"

namespace telmor::test {

struct ProgramSession {
  ScratchDir scratch;  // the script and the draw log
  DrivesRoot drives;
  std::string out, err, draw_log;

  // Runs script with drives_root as the drives root (drives when empty) and
  // the options before it; returns telmor-replay's exit status.
  int run(const std::string& script, std::filesystem::path drives_root = {},
          const std::vector<std::string>& options = {}) {
    if (drives_root.empty()) drives_root = drives.path();
    const std::string script_path = (scratch / "session.script").string();
    const std::string log_path = (scratch / "draw.log").string();
    write_whole_file(script_path, script);
    const std::string root_arg = drives_root.string();
    std::vector<std::string_view> args = {"--root", root_arg, "--draw-log", log_path};
    for (const std::string& option : options) args.push_back(option);
    args.push_back(script_path);
    std::ostringstream o, e;
    const int status = replay_main(args, run_program, o, e);
    out = o.str();
    err = e.str();
    draw_log = read_whole_file(log_path);
    return status;
  }
};

}  // namespace telmor::test
