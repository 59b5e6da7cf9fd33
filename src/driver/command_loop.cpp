// Command loop: redraw, menu prompt, dispatch, exit.
#include "driver/command_loop.h"

#include "console/reply_read.h"
#include "driver/overview.h"
#include "correction/mark_correction.h"
#include "driver/drive_path.h"
#include "recognition/recognition.h"
#include "results/results_file.h"

namespace telmor {
namespace {

constexpr std::string_view kMenuLine =
    "保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)";

bool is(const TextField& reply, std::string_view lower, std::string_view upper) {
  return reply.equals(lower) || reply.equals(upper);
}

}  // namespace

void run_command_loop(WindowLayer& layer, RunRecord& r, const std::filesystem::path& drives_root) {
  // One results file per recording, beside its data file.
  const std::filesystem::path results_file = host_path(r.result_path.view(), drives_root);
  Resume resume = Resume::redraw;
  for (;;) {
    if (resume == Resume::redraw) draw_overview(layer, r);
    layer.chart_write(kMenuLine);
    read_text(layer, Window::chart, r.reply);

    if (is(r.reply, "d", "D")) {
      resume = pick_recognition_ranges(layer, r);
    } else if (is(r.reply, "a", "A")) {
      correct_marks(layer, r, MarkKind::at, results_file);
      resume = Resume::menu;
    } else if (is(r.reply, "x", "X")) {
      break;
    } else if (is(r.reply, "c", "C")) {
      detect_at_rt(layer, r);
      resume = Resume::redraw;
    } else if (is(r.reply, "r", "R")) {
      correct_marks(layer, r, MarkKind::rt, results_file);
      resume = Resume::menu;
    } else if (is(r.reply, "s", "S")) {
      save_results(layer, r, results_file);
      resume = Resume::menu;
    } else if (is(r.reply, "o", "O")) {
      load_results(layer, r, results_file);
      resume = Resume::menu;
    } else {
      resume = Resume::redraw;
    }
  }
  layer.chart_close();
}

}  // namespace telmor
