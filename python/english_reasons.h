// The reasons of failed reads in English, for Python callers: the same
// reasons telmor-batch and the desktop give in Japanese.
#pragma once

#include <string>

#include "analysis/recording_problem.h"
#include "results/results_parse.h"

namespace telmor::python {

std::string recording_problem_text(const RecordingProblem& problem);
std::string results_fault_text(const ParseResult& parsed);

}  // namespace telmor::python
