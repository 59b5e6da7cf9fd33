// The file system calls of the results file on POSIX systems and on Windows.
#include "files/file_access.h"

#include <cerrno>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace telmor {
namespace {

std::error_code errno_error() {
  const int number = errno;
  return number != 0 ? std::error_code(number, std::generic_category())
                     : std::make_error_code(std::errc::io_error);
}

#ifdef _WIN32
// The system's codes of the causes that the messages name, as the portable
// conditions they compare with; the rest keep the system's own code.
std::error_code windows_error(DWORD code) {
  switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::make_error_code(std::errc::file_exists);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::filename_too_long);
    case ERROR_DIRECTORY:
      return std::make_error_code(std::errc::not_a_directory);
    case ERROR_DIR_NOT_EMPTY:
      return std::make_error_code(std::errc::directory_not_empty);
    default:
      return std::error_code(static_cast<int>(code), std::system_category());
  }
}

std::error_code last_error() { return windows_error(GetLastError()); }

// Tries of a refused rename, the n-th after n ms: about a second in all.
constexpr DWORD kRenameAttempts = 45;

HANDLE as_handle(FileAccess::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

// The standard library reports some failures with the system's own codes.
std::error_code portable(std::error_code error) {
  if (error && error.category() == std::system_category())
    return windows_error(static_cast<DWORD>(error.value()));
  return error;
}
#else
std::error_code portable(std::error_code error) { return error; }
#endif

class SystemFiles final : public FileAccess {
 public:
  std::error_code create_new(const std::filesystem::path& path, Handle& handle) const override {
#ifdef _WIN32
    // CREATE_NEW fails on any name that exists; a reparse point (a link) at
    // the name is not followed.
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return last_error();
    handle = reinterpret_cast<Handle>(file);
#else
    errno = 0;
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno_error();
    handle = fd;
#endif
    return {};
  }

  std::error_code write(Handle handle, std::string_view bytes) const override {
    while (!bytes.empty()) {
#ifdef _WIN32
      const DWORD chunk =
          bytes.size() > (1u << 30) ? DWORD{1u << 30} : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(as_handle(handle), bytes.data(), chunk, &written, nullptr))
        return last_error();
#else
      errno = 0;
      const ssize_t written = ::write(static_cast<int>(handle), bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        return errno_error();
      }
#endif
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

  std::error_code sync(Handle handle) const override {
#ifdef _WIN32
    if (!FlushFileBuffers(as_handle(handle))) return last_error();
#else
    errno = 0;
    if (::fsync(static_cast<int>(handle)) != 0) return errno_error();
#endif
    return {};
  }

  std::error_code close(Handle handle) const override {
#ifdef _WIN32
    if (!CloseHandle(as_handle(handle))) return last_error();
#else
    errno = 0;
    // Some file systems report a full disk only when the file is closed.
    if (::close(static_cast<int>(handle)) != 0) return errno_error();
#endif
    return {};
  }

  std::error_code rename(const std::filesystem::path& from,
                         const std::filesystem::path& to) const override {
#ifdef _WIN32
    // Replaces an existing file, and returns only once the move is on the disk.
    // While another writer's move replaces the same file, or a scanner holds
    // it open, the system refuses for a moment: a file that is not a folder
    // is tried again for about a second before its refusal counts.
    for (DWORD attempt = 1;; ++attempt) {
      if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
      const DWORD code = GetLastError();
      const DWORD attributes = GetFileAttributesW(to.c_str());
      const bool folder = attributes != INVALID_FILE_ATTRIBUTES &&
                          (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if ((code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) || folder ||
          attempt == kRenameAttempts)
        return windows_error(code);
      Sleep(attempt);
    }
#else
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
#endif
  }

  std::error_code sync_folder(const std::filesystem::path& folder) const override {
#ifdef _WIN32
    (void)folder;  // MOVEFILE_WRITE_THROUGH has written the rename through
    return {};
#else
    errno = 0;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno_error();
    std::error_code error;
    if (::fsync(fd) != 0) error = errno_error();
    ::close(fd);
    return error;
#endif
  }

  std::error_code remove(const std::filesystem::path& path) const override {
    std::error_code error;
    std::filesystem::remove(path, error);
    return portable(error);
  }

  std::unique_ptr<std::istream> open_read(const std::filesystem::path& path,
                                          std::error_code& error) const override {
    errno = 0;
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (in->is_open()) return in;
    error = errno_error();
    return nullptr;
  }
};

}  // namespace

const FileAccess& system_files() {
  static const SystemFiles files;
  return files;
}

}  // namespace telmor
