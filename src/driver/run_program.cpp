// The program's spine: start-up stages in order, then the command loop.
#include "driver/run_program.h"

#include <memory>
#include <string>

#include "console/reply_read.h"
#include "driver/command_loop.h"
#include "driver/dialogue.h"
#include "driver/drive_path.h"
#include "driver/opened_recording.h"
#include "driver/overview.h"
#include "driver/waveform_reader.h"
#include "driver/record_preparation.h"
#include "driver/results_dialogues.h"

namespace telmor {

namespace {

// The command loop, until x or until the user closes the frame asking for the
// unsaved tables to be saved first: then they are saved, and a save that
// fails takes the program back to its menu instead of ending it.
void run_until_closed(WindowLayer& layer, RunRecord& r, DrawingState& drawing,
                      const std::filesystem::path& drives_root) {
  for (;;) {
    try {
      run_command_loop(layer, r, drawing, drives_root);
      return;
    } catch (const SaveAndClose&) {
      if (write_results(layer, r, results_file_of(r, drives_root))) {
        layer.show_unsaved(false);  // the frame's recovery file goes with it
        layer.chart_close();
        return;
      }
      layer.show_note("保存できなかったので、終了していません。");
    }
  }
}

}  // namespace

void run_program(WindowLayer& layer, const std::filesystem::path& drives_root) {
  run_program_opening(layer, drives_root, nullptr);
}

void run_program_opening(WindowLayer& layer, const std::filesystem::path& drives_root,
                         std::shared_ptr<const OpenRequest> opened) {
  // About 5 MB of tables, zeroed, for the whole run.
  auto record = std::make_unique<RunRecord>();
  auto drawing = std::make_unique<DrawingState>();
  run_program_on(layer, drives_root, *record, *drawing, std::move(opened));
}

namespace {

// One recording from the dialogue (or the one opened) to the end.
void run_recording(WindowLayer& layer, const std::filesystem::path& drives_root, RunRecord& r,
                   DrawingState& drawing, const OpenRequest* opened) {
  // A file that cannot be opened leaves the dialogue to ask for one.
  if (opened == nullptr || !take_opened_recording(layer, r, *opened)) {
    do {
      run_dialogue(layer, r);
    } while (!read_waveform_file(layer, r, drives_root));
  }
  take_analysis_choice(layer.analysis_choice(), r);
  prepare_signals(r, layer);

  layer.chart_open();
  layer.chart_write(std::string(shown_data_path(r)) + "ecg dataを表示");
  if (find_beats(r, drawing)) {
    run_until_closed(layer, r, drawing, drives_root);
  } else {
    layer.chart_write(std::string(shown_data_path(r)) + "No data!  Hit");
    // Any number ends the run; so does a reply that is not one.
    float scratch = 0.0f;
    (void)read_real(layer, Window::chart, scratch);
    layer.chart_close();
  }
}

}  // namespace

void run_program_on(WindowLayer& layer, const std::filesystem::path& drives_root, RunRecord& r,
                    DrawingState& drawing, std::shared_ptr<const OpenRequest> opened) {
  write_banner(layer);
  // An opened recording keeps the smoothing and ratio the run had (the
  // dialogue's defaults at first).
  r.smooth_points = 7;
  r.amp_ratio = 0.1f;
  for (;;) {
    try {
      run_recording(layer, drives_root, r, drawing, opened.get());
      break;
    } catch (const OpenRecordingRequest& request) {
      // Another recording: the run starts over with it, as from the dialogue.
      const std::int32_t smooth = r.smooth_points;
      const float ratio = r.amp_ratio;
      r = *std::make_unique<RunRecord>();  // built on the heap: it is megabytes
      drawing = *std::make_unique<DrawingState>();
      r.smooth_points = smooth;
      r.amp_ratio = ratio;
      opened = request.request();
      layer.chart_close();
    }
  }
  layer.program_stop();
}

}  // namespace telmor
