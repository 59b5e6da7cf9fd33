// How many of each message the least-squares fits of a preparation wrote.
#pragma once

namespace telmor {

struct FitMessageCounts {
  int parameter_errors = 0;  // windows the fit refused: too few points
  int x_warnings = 0;
  int y_warnings = 0;
  int not_positive_definite = 0;
  int total() const { return parameter_errors + x_warnings + y_warnings + not_positive_definite; }
};

}  // namespace telmor
