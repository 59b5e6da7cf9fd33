// c: replaces the AT and RT tables with the automatic results.
#include "console/line_builder.h"
#include "console/reply_read.h"
#include "recognition/find_at_rt.h"
#include "driver/recognition_commands.h"
#include "record/text_rules.h"

namespace telmor {

Resume detect_at_rt(WindowLayer& layer, RunRecord& r) {
  layer.chart_write("未保存の修正AT,RTは消去されます。いいですか? <y/n>");
  read_text(layer, Window::chart, r.reply);
  if (is_no(r.reply)) return Resume::redraw;

  clear_results(r);
  layer.console_write(LineBuilder().text("nlead").number(r.selected_beat_ms));

  // n is the first zero entry of BEAT_MS: the number of beats plus one.
  const int n = detection_rows(r);
  r.at_beat_count = n;
  r.rt_beat_count = n;
  layer.console_write(LineBuilder().text("na").number(n));

  find_at_rt(r, n);
  drop_near_duplicates(r, n);
  note_detected(r);
  r.results_unsaved = true;
  return Resume::redraw;
}

}  // namespace telmor
