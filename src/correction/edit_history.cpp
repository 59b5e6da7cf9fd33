// Undo and redo of the edits of a correction pass.
#include "correction/edit_history.h"

namespace telmor {

void EditHistory::push(const Edit& edit) {
  edits_.resize(done_);
  if (edits_.size() == kMostEdits) {
    edits_.erase(edits_.begin());
    dropped_ = true;
  }
  edits_.push_back(edit);
  done_ = edits_.size();
}

const Edit* EditHistory::undo() {
  if (done_ == 0) return nullptr;
  return &edits_[--done_];
}

const Edit* EditHistory::redo() {
  if (done_ == edits_.size()) return nullptr;
  return &edits_[done_++];
}

}  // namespace telmor
