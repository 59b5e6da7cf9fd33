// The recovery file kept while the tables are unsaved.
#include "gui/recovery_keeper.h"

#include <system_error>
#include <utility>

#include "session/recovery_file.h"
#include "results/file_replace.h"
#include "words/words.h"

namespace telmor {

RecoveryKeeper::RecoveryKeeper(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { write(); });
}

RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::set_results_file(const std::filesystem::path& results_file) {
  if (results_file == results_file_) return;
  flush();  // what waits belongs to the file before
  results_file_ = results_file;
  wrote_ = false;
}

std::filesystem::path RecoveryKeeper::file() const {
  return results_file_.empty() ? std::filesystem::path() : recovery_path(results_file_);
}

void RecoveryKeeper::keep(std::shared_ptr<const ResultsSnapshot> tables, bool at_once) {
  pending_ = std::move(tables);
  const auto since = std::chrono::steady_clock::now() - last_write_;
  if (at_once || since >= kInterval) {
    write();
    return;
  }
  if (!timer_.isActive())
    timer_.start(std::chrono::duration_cast<std::chrono::milliseconds>(kInterval - since));
}

void RecoveryKeeper::flush() {
  if (pending_) write();
}

void RecoveryKeeper::write() {
  timer_.stop();
  const std::shared_ptr<const ResultsSnapshot> tables = std::exchange(pending_, nullptr);
  if (!tables || results_file_.empty()) return;
  last_write_ = std::chrono::steady_clock::now();
  const std::string text = recovery_text(*tables);
  if (text.empty()) return;  // tables s could not write either; s says why
  if (const std::error_code error = replace_file_contents(file(), text)) {
    if (on_failure) on_failure(japanese().write_error(error));
    return;
  }
  wrote_ = true;
}

void RecoveryKeeper::drop() {
  timer_.stop();
  pending_.reset();
  if (wrote_) remove_file();
}

void RecoveryKeeper::remove_file() {
  if (results_file_.empty()) return;
  std::error_code ignored;  // nothing there is as good
  std::filesystem::remove(file(), ignored);
  wrote_ = false;
}

}  // namespace telmor
