// What a file held when the program last read or wrote it, so that a later
// save can tell whether someone else has written, made or removed it since.
#pragma once

#include <cstdint>

namespace telmor {

struct FileSeen {
  enum class Kind : std::uint8_t {
    unknown,     // not looked at: there is nothing to compare with
    missing,     // no file at the name
    regular,     // a file, its size and the hash of its content
    unreadable,  // a file that could not be read
    other,       // a folder, a device, a FIFO...
  };
  Kind kind = Kind::unknown;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  friend bool operator==(const FileSeen&, const FileSeen&) = default;
};

// How a file stands against what was seen of it.
enum class FileChange : std::uint8_t {
  none,     // as seen (or nothing was seen)
  changed,  // written by someone else
  removed,  // gone
  created,  // there now, and not then
};

constexpr FileChange change_since(const FileSeen& seen, const FileSeen& now) {
  if (seen.kind == FileSeen::Kind::unknown || seen == now) return FileChange::none;
  if (now.kind == FileSeen::Kind::missing) return FileChange::removed;
  if (seen.kind == FileSeen::Kind::missing) return FileChange::created;
  return FileChange::changed;
}

}  // namespace telmor
