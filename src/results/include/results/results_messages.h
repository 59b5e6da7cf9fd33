// The reason lines of the results dialogues' failure reports, in the user's
// words rather than the program's.
#pragma once

#include <string>
#include <system_error>

#include "results/results_format.h"
#include "results/results_parse.h"

namespace telmor {

// Why the tables could not be written as a file.
std::string format_fault_reason(const FormatResult& result);
enum class FileUse { reading, writing };

// Why a file could not be read or written, from the system's reason: the
// common causes (a missing file or folder, no permission, a full disk, a
// read-only drive, a folder where a file should be or the other way round,
// too many links, a name too long) in the user's words; any other cause as
// an error with the system's own text in parentheses.
std::string system_error_reason(std::error_code error, FileUse use);
// Why the file could not be written (a missing file means its folder).
std::string write_error_reason(std::error_code error);
// Why the file could not be opened for reading.
std::string open_error_reason(std::error_code error);
// The report on a temporary that a killed save left and that could not be
// removed, from the system's reason.
std::string left_temporary_reason(std::error_code error);
// What is wrong with the file's content, and on which line.
std::string parse_fault_reason(const ParseResult& result);

}  // namespace telmor
