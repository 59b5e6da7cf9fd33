#include "results/results_file.h"

namespace telmor {

void save_results(WindowLayer& layer, RunRecord&, const std::filesystem::path&) {
  layer.chart_write("この機能はまだ使えません。");
}
void load_results(WindowLayer& layer, RunRecord&, const std::filesystem::path&) {
  layer.chart_write("この機能はまだ使えません。");
}

}  // namespace telmor
