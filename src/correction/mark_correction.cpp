#include "correction/mark_correction.h"

#include "results/results_file.h"

namespace telmor {

void correct_marks(WindowLayer& layer, RunRecord&, MarkKind, const std::filesystem::path&) {
  layer.chart_write("この機能はまだ使えません。");
}

}  // namespace telmor
