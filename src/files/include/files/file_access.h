// The file system calls of the results file behind one interface, so that a
// test can make any one of them fail as a full disk or a read-only folder
// would, whoever runs the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string_view>
#include <system_error>

namespace telmor {

class FileAccess {
 public:
  using Handle = std::intptr_t;  // a file open for writing, as create_new gives it

  virtual ~FileAccess() = default;

  // Creates path new, for writing. Fails with file_exists when anything
  // stands at that name, a link included: nothing is followed or emptied, so
  // that no one can make the writer write into another file.
  virtual std::error_code create_new(const std::filesystem::path& path, Handle& handle) const = 0;
  // Writes all of bytes.
  virtual std::error_code write(Handle handle, std::string_view bytes) const = 0;
  // Pushes what was written to the disk.
  virtual std::error_code sync(Handle handle) const = 0;
  virtual std::error_code close(Handle handle) const = 0;
  // Renames from to to, replacing to when it exists.
  virtual std::error_code rename(const std::filesystem::path& from,
                                 const std::filesystem::path& to) const = 0;
  // Pushes the folder's entries (a rename in it) to the disk, where the
  // platform has a call for it; elsewhere the rename itself is written through.
  virtual std::error_code sync_folder(const std::filesystem::path& folder) const = 0;
  // Removes the name path (a link, not what it points at; a folder only when empty).
  virtual std::error_code remove(const std::filesystem::path& path) const = 0;
  // Opens path for reading in binary mode; null, with the reason, when it cannot.
  virtual std::unique_ptr<std::istream> open_read(const std::filesystem::path& path,
                                                  std::error_code& error) const = 0;
};

// The computer's own file system (it keeps no state: threads may share it).
const FileAccess& system_files();

}  // namespace telmor
