// The program's spine: start-up stages in order, then the command loop.
#include "driver/run_program.h"

#include <memory>

#include "driver/dialogue.h"
#include "driver/run_record.h"
#include "driver/waveform_reader.h"

namespace telmor {

void run_program(WindowLayer& layer, const std::filesystem::path& drives_root) {
  // About 5 MB of tables, zeroed, for the whole run.
  auto record = std::make_unique<RunRecord>();
  write_banner(layer);
  do {
    run_dialogue(layer, *record);
  } while (!read_waveform_file(layer, *record, drives_root));
  layer.program_stop();
}

}  // namespace telmor
