// The program's output as the GUI thread applies it: one value per window
// operation, collected by the program's thread and handed over in batches.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "console/window_layer.h"
#include "record/results_snapshot.h"

namespace telmor::gui_op {

struct ConsoleLine {
  std::string text;  // UTF-8, no line end
};
struct ChartOpen {};
struct ChartLine {
  std::string text;
};
struct ChartClear {};
struct ChartClose {};
// One straight line in pixels of the chart surface, both ends included.
struct Segment {
  std::uint32_t colour = 0;  // 0x00BBGGRR
  std::int16_t x0 = 0;
  std::int16_t y0 = 0;
  std::int16_t x1 = 0;
  std::int16_t y1 = 0;
};
struct SetCursor {
  Cursor cursor = Cursor::arrow;
};
struct Stop {};
// The tables as they stood when the program came back to its menu.
struct Results {
  std::shared_ptr<const ResultsSnapshot> results;
};
// The tables after an edit of a correction pass (without the figures).
struct LiveResults {
  std::shared_ptr<const ResultsSnapshot> results;
};
// What the program is about to block on: the frame enables the input that
// answers it (the input box, the menu's letters, the keys of a pass).
struct Ask {
  enum class What { console_line, chart_line, mouse } what = What::console_line;
  bool menu = false;       // a chart line that is the menu's letter
  bool pass_keys = false;  // a mouse wait of a correction pass
};
// Frame-only news: where the user is, the last edit, the chart's time axis,
// whether the tables are unsaved, and the question before x ends a run.
struct Place {
  telmor::Place place;
};
struct Note {
  std::string text;
};
struct TimeAxis {
  telmor::TimeAxis axis;
};
struct Unsaved {
  bool unsaved = false;
};
struct AskExit {};
// Ranges suggested from the recording: take them, click over, or leave.
struct AskRanges {
  telmor::RangeBounds suggested;
};
// A save found the results file changed elsewhere: keep it or overwrite it.
struct AskChangedFile {
  telmor::ChangedFile changed;
};
// Lead 1 and the beats for the strip above the chart.
struct Strip {
  std::shared_ptr<const telmor::LeadStrip> strip;
};

}  // namespace telmor::gui_op

namespace telmor {

using GuiOp = std::variant<gui_op::ConsoleLine, gui_op::ChartOpen, gui_op::ChartLine,
                           gui_op::ChartClear, gui_op::ChartClose, gui_op::Segment,
                           gui_op::SetCursor, gui_op::Stop, gui_op::Results, gui_op::Ask,
                           gui_op::Place, gui_op::Note, gui_op::TimeAxis, gui_op::Unsaved,
                           gui_op::AskExit, gui_op::Strip, gui_op::LiveResults, gui_op::AskRanges,
                           gui_op::AskChangedFile>;
using GuiOpBatch = std::vector<GuiOp>;

}  // namespace telmor
