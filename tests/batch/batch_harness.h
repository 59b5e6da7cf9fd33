// telmor-batch run in the test's own process on files in a scratch folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_run.h"
#include "sample_recording.h"
#include "support/test_files.h"

namespace telmor::test {

struct BatchRun {
  ScratchDir dir;
  std::string out, err;

  // Runs telmor-batch with args, in a locale of locale's language; returns
  // its exit status.
  int run(const std::vector<std::string>& args, Language locale = Language::japanese) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream o, e;
    const int status = batch_main(views, o, e, false, locale);
    out = o.str();
    err = e.str();
    return status;
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  // Writes a recording made by the sample's generator: leads x seconds, seed;
  // a relative target lies in dir.
  void generate(const std::filesystem::path& target, int leads, int seconds, int seed) const {
    write_whole_file(target.is_absolute() ? target : dir / target.string(),
                     sample_recording_text(leads, seconds, static_cast<std::uint64_t>(seed)));
  }
};

}  // namespace telmor::test
