// Taking a recording's bytes into memory: only from a regular file, and
// never by an open or a read that could wait for a writer (a FIFO).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "signal/recording_problem.h"

namespace telmor {

// The bytes of a file, in memory a worker keeps from one recording to the next.
struct TextBuffer {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  std::size_t capacity = 0;
  std::string_view view() const { return {bytes.get(), size}; }
};

enum class FileReadFault { none, cannot_open, not_a_regular_file, too_large, out_of_memory, read_failed };

struct FileRead {
  FileReadFault fault = FileReadFault::none;
  std::error_code error{};  // cannot_open, read_failed: the system's reason
  std::filesystem::file_type type = std::filesystem::file_type::none;  // not_a_regular_file
  std::size_t limit = 0;    // too_large: the most that is read
};

// A recording is taken into memory whole, with its values beside it: an hour
// of 256 leads is about 8 GiB of text. A file beyond what any recording
// reaches is not taken into memory.
inline constexpr std::size_t kLargestRecording = std::size_t{16} << 30;

// The start of a file, at most max_bytes of it, and the whole file's size.
struct FileStart {
  std::string bytes;
  std::uint64_t size = 0;
};

// The whole of file into text, at most max_bytes of it (too_large beyond).
// The file is opened without waiting and checked to be a regular file before
// a byte is read, so a FIFO or device put in a recording's place after it was
// listed is refused, not waited on. Memory that cannot be had is a fault
// (out_of_memory), not an exception.
FileRead read_recording_file(const std::filesystem::path& file, TextBuffer& text,
                             std::size_t max_bytes = kLargestRecording);

// The first max_bytes of file (fewer where it is shorter) and its size, with
// the same care: a regular file only, opened without waiting.
FileRead read_file_start(const std::filesystem::path& file, std::size_t max_bytes, FileStart& start);

// A failed read as a recording's problem: cannot_open with why, or
// too_large beyond the limit or memory.
RecordingProblem recording_problem_of(const FileRead& read);

}  // namespace telmor
