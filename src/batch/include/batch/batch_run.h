// A whole batch run: every recording analysed as an interactive session
// would, its results file written, and the summary table of them all.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

#include "batch/batch_options.h"

namespace telmor {

inline constexpr int kBatchAllAnalysed = 0;
inline constexpr int kBatchSomeReported = 1;
inline constexpr int kBatchUsageError = 2;

// Runs the batch of options: messages (one line each, naming the file) and,
// when show_progress, the progress line go to err, and unless options.quiet a
// last line that counts what was analysed, skipped and failed, the time
// taken and where the summary went. Returns kBatchAllAnalysed,
// kBatchSomeReported when anything but a note was reported, or
// kBatchUsageError, with nothing written, when the summary cannot go where
// it would.
int run_batch(const BatchOptions& options, std::ostream& err, bool show_progress);

// The whole command: arguments after the program name; help and version to
// out; everything in the language of --lang, else of fallback (the locale's).
int batch_main(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
               bool err_is_terminal, Language fallback = Language::japanese);

}  // namespace telmor
