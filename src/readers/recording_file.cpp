// Reading a recording whole, from regular files only.
#include "readers/recording_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telmor {
namespace {

// Room for at least one more byte (and for expected bytes in all), keeping
// what text holds; too_large when the file has grown past max_bytes,
// out_of_memory when the memory cannot be had.
FileReadFault make_room(TextBuffer& text, std::size_t expected, std::size_t max_bytes) {
  if (text.size < text.capacity && text.capacity >= expected) return FileReadFault::none;
  if (text.size > max_bytes) return FileReadFault::too_large;
  // One byte more than expected, so that the end of the file is seen at once.
  const std::size_t capacity =
      std::max({expected + 1, 2 * text.capacity, std::size_t{1} << 20, text.size + 1});
  try {
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    if (text.size != 0) std::memcpy(bytes.get(), text.bytes.get(), text.size);
    text.bytes = std::move(bytes);
    text.capacity = capacity;
  } catch (const std::bad_alloc&) {
    return FileReadFault::out_of_memory;
  }
  return FileReadFault::none;
}

FileRead too_large(std::size_t max_bytes) {
  FileRead read{FileReadFault::too_large};
  read.limit = max_bytes;
  return read;
}

#ifndef _WIN32
std::filesystem::file_type type_of(mode_t mode) {
  using std::filesystem::file_type;
  if (S_ISDIR(mode)) return file_type::directory;
  if (S_ISFIFO(mode)) return file_type::fifo;
  if (S_ISCHR(mode)) return file_type::character;
  if (S_ISBLK(mode)) return file_type::block;
  if (S_ISSOCK(mode)) return file_type::socket;
  return file_type::unknown;
}

std::error_code last_error() { return {errno, std::generic_category()}; }

// Closes the file however the read ends.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};
#endif

}  // namespace

RecordingProblem recording_problem_of(const FileRead& read) {
  RecordingProblem p{RecordingFault::cannot_open};
  switch (read.fault) {
    case FileReadFault::none:
      return {};
    case FileReadFault::too_large:
    case FileReadFault::out_of_memory:
      return {RecordingFault::too_large};
    case FileReadFault::not_a_regular_file:
      p.detail = read.type == std::filesystem::file_type::directory ? "a folder, not a file" : "not a regular file";
      return p;
    case FileReadFault::cannot_open:
    case FileReadFault::read_failed:
      p.detail = read.error == std::errc::no_such_file_or_directory ? std::string("no such file")
                 : read.error                                         ? read.error.message()
                                                                      : std::string("cannot read it");
      return p;
  }
  return p;
}

#ifdef _WIN32
// Windows has no FIFOs among files; a named pipe is no regular file.
FileRead read_recording_file(const std::filesystem::path& file, TextBuffer& text, std::size_t max_bytes) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error) return {FileReadFault::cannot_open, error};
  if (status.type() != std::filesystem::file_type::regular)
    return {FileReadFault::not_a_regular_file, {}, status.type()};
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (!error && size > max_bytes) return too_large(max_bytes);
  std::ifstream in(file, std::ios::binary);
  if (!in) return {FileReadFault::cannot_open};
  text.size = 0;
  while (in) {
    const FileReadFault room = make_room(text, error ? 0 : static_cast<std::size_t>(size), max_bytes);
    if (room == FileReadFault::too_large) return too_large(max_bytes);
    if (room != FileReadFault::none) return {room};
    in.read(text.bytes.get() + text.size, static_cast<std::streamsize>(text.capacity - text.size));
    text.size += static_cast<std::size_t>(in.gcount());
  }
  if (in.bad()) return {FileReadFault::read_failed};
  return {};
}

FileRead read_file_start(const std::filesystem::path& file, std::size_t max_bytes, FileStart& start) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error) return {FileReadFault::cannot_open, error};
  if (status.type() != std::filesystem::file_type::regular)
    return {FileReadFault::not_a_regular_file, {}, status.type()};
  start.size = std::filesystem::file_size(file, error);
  if (error) return {FileReadFault::read_failed, error};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {FileReadFault::cannot_open};
  start.bytes.assign(static_cast<std::size_t>(std::min<std::uint64_t>(start.size, max_bytes)), '\0');
  in.read(start.bytes.data(), static_cast<std::streamsize>(start.bytes.size()));
  start.bytes.resize(static_cast<std::size_t>(in.gcount()));
  return {};
}
#else
namespace {

// Opens a regular file for reading, its size in size. O_NONBLOCK: opening a
// FIFO without a writer returns at once instead of waiting (and is then
// refused); a regular file reads as ever.
FileRead open_regular(const std::filesystem::path& file, Descriptor& descriptor, std::uint64_t& size) {
  descriptor.fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor.fd < 0) return {FileReadFault::cannot_open, last_error()};
  struct stat info {};
  if (::fstat(descriptor.fd, &info) != 0) return {FileReadFault::read_failed, last_error()};
  if (!S_ISREG(info.st_mode)) return {FileReadFault::not_a_regular_file, {}, type_of(info.st_mode)};
  size = static_cast<std::uint64_t>(info.st_size);
  return {};
}

}  // namespace

FileRead read_recording_file(const std::filesystem::path& file, TextBuffer& text, std::size_t max_bytes) {
  Descriptor descriptor;
  std::uint64_t size = 0;
  if (const FileRead opened = open_regular(file, descriptor, size); opened.fault != FileReadFault::none) return opened;
  const int fd = descriptor.fd;
  if (size > max_bytes) return too_large(max_bytes);
  text.size = 0;
  for (;;) {
    const FileReadFault room = make_room(text, static_cast<std::size_t>(size), max_bytes);
    if (room == FileReadFault::too_large) return too_large(max_bytes);
    if (room != FileReadFault::none) return {room};
    const ssize_t got = ::read(fd, text.bytes.get() + text.size, text.capacity - text.size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {FileReadFault::read_failed, last_error()};
    if (got == 0) return {};
    text.size += static_cast<std::size_t>(got);
  }
}

FileRead read_file_start(const std::filesystem::path& file, std::size_t max_bytes, FileStart& start) {
  Descriptor descriptor;
  if (const FileRead opened = open_regular(file, descriptor, start.size); opened.fault != FileReadFault::none)
    return opened;
  const int fd = descriptor.fd;
  start.bytes.assign(static_cast<std::size_t>(std::min<std::uint64_t>(start.size, max_bytes)), '\0');
  std::size_t have = 0;
  while (have < start.bytes.size()) {
    const ssize_t got = ::read(fd, start.bytes.data() + have, start.bytes.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {FileReadFault::read_failed, last_error()};
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  start.bytes.resize(have);
  return {};
}
#endif

}  // namespace telmor
