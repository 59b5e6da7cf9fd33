// c: replaces the AT and RT tables with the automatic results.
#include <string>
#include <vector>

#include "console/line_builder.h"
#include "console/reply_read.h"
#include "driver/find_at_rt.h"
#include "driver/range_notes.h"
#include "driver/recognition_commands.h"
#include "record/text_rules.h"
#include "session/session_marks.h"
#include "timing/beat_table.h"
#include "words/words.h"

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
  // The centred search knows where its windows miss the waves: the status
  // bar names the leads (the chart's texts stay as they are).
  if (r.estimator == Estimator::centred) {
    const std::vector<RangeWarning> warnings = crowded_ends(assign_marks(r));
    for (const MarkKind kind : {MarkKind::at, MarkKind::rt}) {
      std::vector<int> leads;
      for (const RangeWarning& w : warnings) {
        if (w.kind == kind) leads.push_back(w.lead);
      }
      if (!leads.empty()) layer.show_note(japanese().range_warning(leads, kind) + "（解析 → 範囲を提案）");
    }
  }
  return Resume::redraw;
}

}  // namespace telmor
