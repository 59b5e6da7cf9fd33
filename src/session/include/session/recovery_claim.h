// Which desktop a recovery file belongs to: each running desktop holds a lock
// beside its own, so that two desktops on one recording keep two files, and
// a file whose desktop has ended (its lock freed by the system) is offered at
// the next start.
#pragma once

#include <cstdint>
#include <filesystem>

namespace telmor {

// NAMEari.csv.recover beside NAMEari.csv for index 1, NAMEari.csv.recoverN
// for index N >= 2: the names of the recovery files of desktops that found
// the earlier ones taken.
std::filesystem::path recovery_path(const std::filesystem::path& results_file, int index = 1);
// The index of a recovery file of results_file by its name; 0 when it is none.
int recovery_index(const std::filesystem::path& results_file, const std::filesystem::path& name);
// The most recovery files kept beside one results file.
inline constexpr int kMaxRecoveryFiles = 99;

// The lock of a recovery file: .NAMEari.csv.recover.lock beside it (hidden
// on the systems that hide dot files).
std::filesystem::path recovery_lock_path(const std::filesystem::path& recovery_file);

// A recovery file name held for as long as the claim lives, through an
// exclusive lock on its lock file that the system frees when the process
// ends. A claim that is not held holds nothing.
class RecoveryClaim {
 public:
  RecoveryClaim() = default;
  RecoveryClaim(RecoveryClaim&& other) noexcept;
  RecoveryClaim& operator=(RecoveryClaim&& other) noexcept;
  RecoveryClaim(const RecoveryClaim&) = delete;
  RecoveryClaim& operator=(const RecoveryClaim&) = delete;
  ~RecoveryClaim();

  // The name recovery_file, unless another claim (of this process or
  // another) holds it.
  static RecoveryClaim take(const std::filesystem::path& recovery_file);
  // The first name of results_file that no claim holds and where no file
  // lies: a file there belongs to another desktop, or waits to be offered.
  static RecoveryClaim first_free(const std::filesystem::path& results_file);

  bool held() const { return lock_ != kNoLock; }
  const std::filesystem::path& file() const { return file_; }
  // Lets go of the name (and removes the lock file).
  void release();

 private:
  static constexpr std::intptr_t kNoLock = -1;
  std::filesystem::path file_;
  std::intptr_t lock_ = kNoLock;
};

// Whether a claim (of a running desktop, this one included) holds recovery_file.
bool claimed(const std::filesystem::path& recovery_file);

}  // namespace telmor
