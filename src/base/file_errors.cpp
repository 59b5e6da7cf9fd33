// TELMOR's own file error codes.
#include "base/file_errors.h"

#include <string>

namespace telmor {
namespace {

class FileErrorCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "telmor-file"; }
  std::string message(int value) const override {
    switch (static_cast<FileError>(value)) {
      case FileError::not_a_regular_file:
        return "not a regular file (a device, FIFO or socket)";
      case FileError::too_large:
        return "file too large";
    }
    return "file error";
  }
};

}  // namespace

const std::error_category& file_error_category() {
  static const FileErrorCategory category;
  return category;
}

std::error_code make_error_code(FileError error) {
  return {static_cast<int>(error), file_error_category()};
}

}  // namespace telmor
