#include "recognition/recognition.h"

namespace telmor {

Resume pick_recognition_ranges(WindowLayer& layer, RunRecord&) {
  layer.chart_write("この機能はまだ使えません。");
  return Resume::menu;
}
void detect_at_rt(WindowLayer& layer, RunRecord&) { layer.chart_write("この機能はまだ使えません。"); }

}  // namespace telmor
