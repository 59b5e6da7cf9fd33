// The edits of one correction pass, for undo and redo: each holds the edited
// lead's column, its sources and the shared row count before and after the
// click, so that undoing and redoing restore the table exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "correction/mark_table.h"
#include "record/run_record.h"

namespace telmor {

struct ColumnState {
  MarkColumn times{};
  SourceColumn sources{};
  std::int32_t count = 0;
};

struct Edit {
  int window_index = 0;  // the window of the pass it was made in
  int lead = 1;
  ClickEdit what = ClickEdit::added;
  float time = 0.0f;  // the time added or removed
  ColumnState before, after;
};

class EditHistory {
 public:
  // The most edits kept; the oldest go first beyond it.
  static constexpr std::size_t kMostEdits = 2000;

  // A new edit; the edits undone so far can no longer be redone.
  void push(const Edit& edit);
  // The edit to undo (null when none), stepping back over it.
  const Edit* undo();
  // The edit to redo (null when none), stepping forward over it.
  const Edit* redo();
  // True when every edit kept is undone: the table is as the pass found it
  // (if no edit was dropped for room).
  bool at_start() const { return done_ == 0 && !dropped_; }
  // Whether undo and redo have an edit to give.
  bool can_undo() const { return done_ > 0; }
  bool can_redo() const { return done_ < edits_.size(); }

 private:
  std::vector<Edit> edits_;
  std::size_t done_ = 0;  // edits_[0..done_) are in effect
  bool dropped_ = false;
};

}  // namespace telmor
