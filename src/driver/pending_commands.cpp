// Placeholders for the commands still to come; they change nothing.
#include "driver/pending_commands.h"

namespace telmor {
namespace {

void not_yet(WindowLayer& layer) { layer.chart_write("この機能はまだ使えません。"); }

}  // namespace

// Left early, as a rejected pick is: back to the menu, with the note still on show.
Resume pick_recognition_ranges(WindowLayer& layer, RunRecord&) {
  not_yet(layer);
  return Resume::menu;
}
void detect_at_rt(WindowLayer& layer, RunRecord&) { not_yet(layer); }
void correct_marks(WindowLayer& layer, RunRecord&, MarkKind) { not_yet(layer); }
void save_results(WindowLayer& layer, RunRecord&) { not_yet(layer); }
void load_results(WindowLayer& layer, RunRecord&) { not_yet(layer); }

}  // namespace telmor
