// Regular files read whole, without waiting.
#include "file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/number_text.h"
#include "python_text.h"

namespace telmor::python {
namespace {

// Closes its descriptor on every way out.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string kind_of(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

// Opens path for reading, never waiting for a writer; its status in status.
void open_regular(const std::filesystem::path& path, py::handle error_type, Descriptor& file,
                  struct stat& status) {
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file.fd < 0) raise_os_error(errno, path);
  if (::fstat(file.fd, &status) != 0) raise_os_error(errno, path);
  if (S_ISDIR(status.st_mode)) raise_os_error(EISDIR, path);
  if (!S_ISREG(status.st_mode))
    raise(error_type, "not a regular file (" + kind_of(status.st_mode) + "): " + quoted(path));
}

[[noreturn]] void too_large(const std::filesystem::path& path, py::handle error_type, std::uintmax_t max_bytes) {
  raise(error_type, quoted(path) + " holds more than " + format_integer(static_cast<std::int64_t>(max_bytes)) +
                        " bytes: it is not read");
}

}  // namespace

std::string file_text(const std::filesystem::path& path, py::handle error_type, std::uintmax_t max_bytes) {
  Descriptor file;
  struct stat status {};
  open_regular(path, error_type, file, status);
  const auto size = static_cast<std::uintmax_t>(status.st_size);
  if (size > max_bytes) too_large(path, error_type, max_bytes);
  std::string text;
  text.reserve(static_cast<std::size_t>(size));
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(file.fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) {
      if (PyErr_CheckSignals() != 0) throw py::error_already_set();
      continue;
    }
    if (got < 0) raise_os_error(errno, path);
    if (got == 0) break;
    if (text.size() + static_cast<std::size_t>(got) > max_bytes) too_large(path, error_type, max_bytes);
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

void check_regular_file(const std::filesystem::path& path, py::handle error_type) {
  Descriptor file;
  struct stat status {};
  open_regular(path, error_type, file, status);
}

}  // namespace telmor::python
