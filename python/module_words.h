// The Python module's own messages, in English as Python's are: each refusal
// of an argument or a file that the core's catalogue does not already word.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace telmor::python::says {

// An integer keyword outside [1, most]: "leads must be 1 to 1024".
std::string keyword_outside(std::string_view keyword, std::int64_t most);
// A rate that is no positive number of Hz, under the keyword that gave it.
std::string rate_not_positive(std::string_view keyword, double given);
std::string orientation_unknown(std::string_view given);
// After a recording's problem that the shape would settle.
std::string_view give_the_shape();
std::string ranges_name_unknown(std::string_view given);
std::string ranges_not_four();
std::string ratio_outside(double given);
std::string estimator_unknown(std::string_view given);

std::string wave_not_real(std::string_view dtype);
std::string wave_not_2d(std::int64_t dimensions);
std::string wave_without_samples();
std::string wave_without_leads();
std::string wave_too_large();
std::string wave_not_finite(std::int64_t sample, std::int64_t lead);
std::string rate_differs(double given, double own);

std::string beyond_results_file(int most_leads, int most_rows, int leads, int rows);
std::string unformattable(int lead, int row);

std::string position_not_pair();
std::string layout_not_understood();
std::string lead_below_one(int lead);
std::string position_not_finite(int lead);
std::string radius_not_positive();

// A file the module reads whole that is no regular file (kind: "a FIFO"...).
std::string not_regular_file(std::string_view kind, std::string_view quoted_path);
std::string file_beyond_bytes(std::string_view quoted_path, std::uintmax_t most);
std::string file_beyond_memory(std::string_view quoted_path);

std::string analysis_repr(int leads, int samples, std::int64_t beats);

}  // namespace telmor::python::says
