// Claims of recovery file names through lock files beside them.
#include "session/recovery_claim.h"

#include <string>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telmor {
namespace {

using NativeString = std::filesystem::path::string_type;

// What became of a try for a lock.
enum class Lock { taken, held_elsewhere, failed };

#ifdef _WIN32
// Opened for nobody else to share and deleted when closed: a second open
// fails while the first lives, and the system closes it when the process ends.
Lock lock_file(const std::filesystem::path& lock, std::intptr_t& handle) {
  const HANDLE file = CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    handle = reinterpret_cast<std::intptr_t>(file);
    return Lock::taken;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION ? Lock::held_elsewhere : Lock::failed;
}

void unlock_file(const std::filesystem::path&, std::intptr_t handle) {
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}
#else
// An exclusive flock on the lock file, never waiting. The file may have been
// removed and made again by another claim between the open and the lock: the
// lock then holds a name no one sees, so it is taken again on the file that
// stands there now.
Lock lock_file(const std::filesystem::path& lock, std::intptr_t& handle) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return Lock::failed;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      ::close(fd);
      return Lock::failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool held = errno == EWOULDBLOCK;
      ::close(fd);
      return held ? Lock::held_elsewhere : Lock::failed;
    }
    struct stat named {};
    if (::stat(lock.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
      handle = fd;
      return Lock::taken;
    }
    ::close(fd);
  }
  return Lock::failed;
}

// Removed while still locked, so that no one takes the lock of a file on its
// way out.
void unlock_file(const std::filesystem::path& lock, std::intptr_t fd) {
  ::unlink(lock.c_str());
  ::close(static_cast<int>(fd));
}
#endif

}  // namespace

std::filesystem::path recovery_path(const std::filesystem::path& results_file, int index) {
  std::filesystem::path file = results_file;
  file += ".recover";
  if (index > 1) file += std::to_string(index);
  return file;
}

int recovery_index(const std::filesystem::path& results_file, const std::filesystem::path& name) {
  const NativeString first = recovery_path(results_file).filename().native();
  const NativeString given = name.filename().native();
  if (!given.starts_with(first)) return 0;
  if (given.size() == first.size()) return 1;
  int index = 0;
  for (std::size_t i = first.size(); i < given.size(); ++i) {
    const auto c = given[i];
    if (c < '0' || c > '9' || index > kMaxRecoveryFiles) return 0;
    index = index * 10 + static_cast<int>(c - '0');
  }
  return index >= 2 && index <= kMaxRecoveryFiles && given[first.size()] != '0' ? index : 0;
}

std::filesystem::path recovery_lock_path(const std::filesystem::path& recovery_file) {
  std::filesystem::path lock = recovery_file.parent_path();
  NativeString name = std::filesystem::path(".").native();
  name += recovery_file.filename().native();
  name += std::filesystem::path(".lock").native();
  return lock / name;
}

RecoveryClaim::RecoveryClaim(RecoveryClaim&& other) noexcept
    : file_(std::move(other.file_)), lock_(std::exchange(other.lock_, kNoLock)) {}

RecoveryClaim& RecoveryClaim::operator=(RecoveryClaim&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    lock_ = std::exchange(other.lock_, kNoLock);
  }
  return *this;
}

RecoveryClaim::~RecoveryClaim() { release(); }

void RecoveryClaim::release() {
  if (lock_ == kNoLock) return;
  unlock_file(recovery_lock_path(file_), lock_);
  lock_ = kNoLock;
}

RecoveryClaim RecoveryClaim::take(const std::filesystem::path& recovery_file) {
  RecoveryClaim claim;
  claim.file_ = recovery_file;
  std::intptr_t handle = kNoLock;
  if (lock_file(recovery_lock_path(recovery_file), handle) == Lock::taken) claim.lock_ = handle;
  return claim;
}

RecoveryClaim RecoveryClaim::first_free(const std::filesystem::path& results_file) {
  for (int index = 1; index <= kMaxRecoveryFiles; ++index) {
    const std::filesystem::path file = recovery_path(results_file, index);
    std::error_code error;
    if (std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::not_found) continue;
    RecoveryClaim claim = take(file);
    if (!claim.held()) continue;
    // Written between the look and the lock by a desktop that has since ended.
    if (std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::not_found) continue;
    return claim;
  }
  return {};
}

bool claimed(const std::filesystem::path& recovery_file) {
  const std::filesystem::path lock = recovery_lock_path(recovery_file);
  std::intptr_t handle = -1;
  switch (lock_file(lock, handle)) {
    case Lock::taken:
      unlock_file(lock, handle);
      return false;
    case Lock::held_elsewhere:
      return true;
    case Lock::failed:
      break;
  }
  // A lock that cannot be made (a read-only folder): no desktop keeps a file there.
  return false;
}

}  // namespace telmor
