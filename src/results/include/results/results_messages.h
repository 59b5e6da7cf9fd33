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
// Why the file could not be written, from the system's reason.
std::string write_error_reason(std::error_code error);
// Why the file could not be opened for reading.
std::string open_error_reason(std::error_code error);
// What is wrong with the file's content, and on which line.
std::string parse_fault_reason(const ParseResult& result);

}  // namespace telmor
