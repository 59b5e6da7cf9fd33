// Keeps the recovery file of unsaved tables up to date from the GUI thread:
// fed with every copy of the tables the program hands over, it writes the
// file durably (exclusive temporary, fsync, rename) at most once a second,
// at once when told so (the end of a pass), and removes it once the tables
// equal their results file again. The file is this desktop's own: the first
// recovery file name of the results file that no other running desktop
// holds, claimed at the first write and held until the keeper ends.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "record/results_snapshot.h"
#include "session/recovery_claim.h"

namespace telmor {

class RecoveryKeeper : public QObject {
 public:
  static constexpr std::chrono::milliseconds kInterval{1000};

  explicit RecoveryKeeper(QObject* parent = nullptr);
  ~RecoveryKeeper() override;

  // The results file of the tables that follow (from the menu's copy; the
  // copies of a pass do not name it).
  void set_results_file(const std::filesystem::path& results_file);
  // Tables that differ from their results file: written now when at_once or
  // when the last write is a second old, otherwise within that second.
  void keep(std::shared_ptr<const ResultsSnapshot> tables, bool at_once);
  // Writes what waits for its second now (before the program ends).
  void flush();
  // The tables equal their file again: removes the recovery file this keeper
  // wrote, and forgets what waits.
  void drop();
  // Takes over a recovery file that was offered and restored: the tables
  // written from now on replace it (and the name claimed so far, if no file
  // was written under it, is let go).
  void adopt(const std::filesystem::path& recovery_file);

  // This desktop's recovery file: empty before the first write claims one.
  std::filesystem::path file() const;
  // Tables wait for their second to be written.
  bool waiting() const { return pending_ != nullptr; }
  // Told the reason when the file cannot be written (the tables stay in memory).
  std::function<void(const std::string&)> on_failure;

 private:
  void write();
  void remove_file();

  QTimer timer_;
  std::filesystem::path results_file_;
  RecoveryClaim claim_;
  std::shared_ptr<const ResultsSnapshot> pending_;
  std::chrono::steady_clock::time_point last_write_{};
  bool wrote_ = false;  // a file of this keeper lies there
};

}  // namespace telmor
