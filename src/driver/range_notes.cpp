// The note on reversed recognition ranges.
#include "driver/range_notes.h"

#include "base/number_text.h"

namespace telmor {
namespace {

std::string reversed(const char* kind, int from, int to) {
  if (to >= from) return {};
  return std::string(kind) + "範囲の終了点（" + format_integer(to) + " ms）が開始点（" +
         format_integer(from) + " ms）より前です";
}

}  // namespace

std::string reversed_range_note(const RunRecord& r) {
  std::string note = reversed("AT", r.at_from, r.at_to);
  const std::string rt = reversed("RT", r.rt_from, r.rt_to);
  if (!note.empty() && !rt.empty()) note += "、";
  note += rt;
  if (note.empty()) return note;
  return note + "。このままではcで何も見つかりません。";
}

}  // namespace telmor
