// Regular files read whole, without waiting: the readers' own reads of a
// file, their faults as Python's exceptions.
#include "file_text.h"

#include <cerrno>

#include "module_words.h"
#include "python_text.h"
#include "readers/recording_file.h"

namespace telmor::python {
namespace {

std::string kind_of(std::filesystem::file_type type) {
  using std::filesystem::file_type;
  if (type == file_type::fifo) return "a FIFO";
  if (type == file_type::character || type == file_type::block) return "a device";
  if (type == file_type::socket) return "a socket";
  return "not a file";
}

// A read that failed, raised: the system's refusals as its OSError, the rest
// as a ModuleError of kind naming the file.
[[noreturn]] void raise_fault(const FileRead& read, const std::filesystem::path& path, ErrorKind kind,
                              std::uintmax_t max_bytes) {
  switch (read.fault) {
    case FileReadFault::cannot_open:
    case FileReadFault::read_failed:
      raise_os_error(read.error ? read.error.value() : EIO, path);
    case FileReadFault::not_a_regular_file:
      if (read.type == std::filesystem::file_type::directory) raise_os_error(EISDIR, path);
      fail(kind, says::not_regular_file(kind_of(read.type), quoted(path)));
    case FileReadFault::too_large:
      fail(kind, says::file_beyond_bytes(quoted(path), max_bytes));
    case FileReadFault::out_of_memory:
    case FileReadFault::none:
      break;
  }
  fail(kind, says::file_beyond_memory(quoted(path)));
}

}  // namespace

TextBuffer file_text(const std::filesystem::path& path, ErrorKind kind, std::uintmax_t max_bytes) {
  TextBuffer text;
  const FileRead read = read_recording_file(path, text, static_cast<std::size_t>(max_bytes));
  if (read.fault != FileReadFault::none) raise_fault(read, path, kind, max_bytes);
  return text;
}

void check_regular_file(const std::filesystem::path& path, ErrorKind kind) {
  FileStart start;
  const FileRead read = read_file_start(path, 0, start);
  if (read.fault != FileReadFault::none) raise_fault(read, path, kind, 0);
}

}  // namespace telmor::python
