// The failures of TELMOR's own file rules that the system has no code for,
// as error codes beside the system's: what stands at a name is not a file
// TELMOR replaces, or a file is larger than what it reads.
#pragma once

#include <system_error>
#include <type_traits>

namespace telmor {

enum class FileError {
  not_a_regular_file = 1,  // a device, FIFO or socket stands at the name: left as it is
  too_large,               // larger than the most the reader takes
};

const std::error_category& file_error_category();
std::error_code make_error_code(FileError error);

}  // namespace telmor

template <>
struct std::is_error_code_enum<telmor::FileError> : std::true_type {};
