// c: replaces the AT and RT tables with the automatic results.
#include <string>

#include "console/line_builder.h"
#include "console/reply_read.h"
#include "driver/find_at_rt.h"
#include "driver/range_notes.h"
#include "driver/recognition_commands.h"
#include "record/text_rules.h"

namespace telmor {

Resume detect_at_rt(WindowLayer& layer, RunRecord& r, std::int32_t selected_beat_ms) {
  if (const std::string note = reversed_range_note(r); !note.empty()) layer.show_note(note);
  layer.chart_write("未保存の修正AT,RTは消去されます。いいですか? <y/n>");
  if (is_no(read_reply(layer, Window::chart))) return Resume::redraw;

  clear_results(r);
  layer.console_write(LineBuilder().text("nlead").number(selected_beat_ms));

  // n is the first zero entry of BEAT_MS: the number of beats plus one.
  const int n = detection_rows(r);
  r.marks.at_beat_count = n;
  r.marks.rt_beat_count = n;
  layer.console_write(LineBuilder().text("na").number(n));

  search_marks(r, n);
  note_detected(r);
  update_unsaved(r);
  return Resume::redraw;
}

}  // namespace telmor
