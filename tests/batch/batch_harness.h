// telmor-batch run in the test's own process on files in a scratch folder.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_run.h"
#include "support/test_files.h"

namespace telmor::test {

struct BatchRun {
  ScratchDir dir;
  std::string out, err;

  // Runs telmor-batch with args; returns its exit status.
  int run(const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream o, e;
    const int status = batch_main(views, o, e, false);
    out = o.str();
    err = e.str();
    return status;
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  // Writes a recording made by the sample's generator: leads x seconds, seed.
  void generate(const std::string& name, int leads, int seconds, int seed) const {
    const std::string command = std::string("\"") + TELMOR_GENERATE_SAMPLE + "\" \"" + path(name) +
                                "\" " + std::to_string(leads) + " " + std::to_string(seconds) +
                                " " + std::to_string(seed);
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot run " + command);
  }
};

}  // namespace telmor::test
