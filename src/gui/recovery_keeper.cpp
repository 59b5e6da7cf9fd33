// The recovery file kept while the tables are unsaved.
#include "gui/recovery_keeper.h"
#include "gui/frame_language.h"

#include <system_error>
#include <utility>

#include "session/recovery_file.h"
#include "files/file_replace.h"
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
  claim_.release();  // a file written stays, for the next start to offer
  wrote_ = false;
}

std::filesystem::path RecoveryKeeper::file() const {
  return claim_.held() ? claim_.file() : std::filesystem::path();
}

void RecoveryKeeper::adopt(const std::filesystem::path& recovery_file) {
  if (claim_.held() && claim_.file() == recovery_file) return;
  if (claim_.held() && wrote_) return;  // ours holds tables already: keep writing it
  RecoveryClaim adopted = RecoveryClaim::take(recovery_file);
  if (!adopted.held()) return;
  claim_ = std::move(adopted);
  wrote_ = true;  // the restored file is this desktop's now
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
  if (!claim_.held()) claim_ = RecoveryClaim::first_free(results_file_);
  if (!claim_.held()) {
    if (on_failure) on_failure(ui("回復ファイルの名前を確保できません（フォルダに書けないか、回復ファイルが多すぎます）。").toStdString());
    return;
  }
  if (const std::error_code error = replace_file_contents(file(), text)) {
    if (on_failure) on_failure(frame_words().write_error(error));
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
  if (!claim_.held()) return;
  std::error_code ignored;  // nothing there is as good
  std::filesystem::remove(claim_.file(), ignored);
  wrote_ = false;
}

}  // namespace telmor
