// A file system that fails where a test says, as a full disk, a read-only
// folder or a failing device would, whoever runs the tests; every other call
// goes to the real file system. It also notes the calls in order.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "files/file_access.h"

namespace telmor::test {

enum class FileCall { create_new, write, sync, close, rename, sync_folder, remove, open_read };

class FailingFiles : public FileAccess {
 public:
  FileCall failing = FileCall::create_new;
  std::error_code error;           // no error: nothing fails
  std::size_t write_before = 0;    // bytes a failing write still writes
  mutable std::vector<std::string> calls;

  FailingFiles() = default;
  FailingFiles(FileCall call, std::errc code) : failing(call), error(std::make_error_code(code)) {}

  std::error_code create_new(const std::filesystem::path& path, Handle& handle) const override {
    note("create_new " + path.filename().string());
    return fails(FileCall::create_new) ? error : real().create_new(path, handle);
  }
  std::error_code write(Handle handle, std::string_view bytes) const override {
    note("write");
    if (!fails(FileCall::write)) return real().write(handle, bytes);
    (void)real().write(handle, bytes.substr(0, write_before));
    return error;
  }
  std::error_code sync(Handle handle) const override {
    note("sync");
    return fails(FileCall::sync) ? error : real().sync(handle);
  }
  std::error_code close(Handle handle) const override {
    note("close");
    const std::error_code closed = real().close(handle);  // the handle goes in any case
    return fails(FileCall::close) ? error : closed;
  }
  std::error_code rename(const std::filesystem::path& from,
                         const std::filesystem::path& to) const override {
    note("rename " + from.filename().string() + " " + to.filename().string());
    return fails(FileCall::rename) ? error : real().rename(from, to);
  }
  std::error_code sync_folder(const std::filesystem::path& folder) const override {
    note("sync_folder");
    return fails(FileCall::sync_folder) ? error : real().sync_folder(folder);
  }
  std::error_code remove(const std::filesystem::path& path) const override {
    note("remove " + path.filename().string());
    return fails(FileCall::remove) ? error : real().remove(path);
  }
  std::unique_ptr<std::istream> open_read(const std::filesystem::path& path,
                                          std::error_code& e) const override {
    note("open_read " + path.filename().string());
    if (!fails(FileCall::open_read)) return real().open_read(path, e);
    e = error;
    return nullptr;
  }

 private:
  static const FileAccess& real() { return system_files(); }
  bool fails(FileCall call) const { return error && call == failing; }
  void note(std::string call) const { calls.push_back(std::move(call)); }
};

}  // namespace telmor::test
