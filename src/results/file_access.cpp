// The file system calls of the results file on POSIX systems and on Windows.
#include "results/file_access.h"

#include <cerrno>
#include <fstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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

class SystemFiles final : public FileAccess {
 public:
  std::error_code create(const std::filesystem::path& path, Handle& handle) const override {
    errno = 0;
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
#endif
    if (fd < 0) return errno_error();
    handle = fd;
    return {};
  }

  std::error_code write(Handle handle, std::string_view bytes) const override {
    while (!bytes.empty()) {
      errno = 0;
#ifdef _WIN32
      const int chunk = bytes.size() > 1u << 30 ? 1 << 30 : static_cast<int>(bytes.size());
      const int written = _write(static_cast<int>(handle), bytes.data(), static_cast<unsigned>(chunk));
#else
      const ssize_t written = ::write(static_cast<int>(handle), bytes.data(), bytes.size());
#endif
      if (written < 0) {
        if (errno == EINTR) continue;
        return errno_error();
      }
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

  std::error_code sync(Handle handle) const override {
    errno = 0;
#ifdef _WIN32
    if (_commit(static_cast<int>(handle)) != 0) return errno_error();
#else
    if (::fsync(static_cast<int>(handle)) != 0) return errno_error();
#endif
    return {};
  }

  std::error_code close(Handle handle) const override {
    errno = 0;
#ifdef _WIN32
    if (_close(static_cast<int>(handle)) != 0) return errno_error();
#else
    // Some file systems report a full disk only when the file is closed.
    if (::close(static_cast<int>(handle)) != 0) return errno_error();
#endif
    return {};
  }

  std::error_code rename(const std::filesystem::path& from,
                         const std::filesystem::path& to) const override {
#ifdef _WIN32
    // Replaces an existing file, and returns only once the move is on the disk.
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return {};
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

  void remove(const std::filesystem::path& path) const override {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
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
