// Console stand-in for the fitting tests: keeps every line written to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/console_output.h"

namespace telmor::test {

class CapturedConsole : public ConsoleOutput {
 public:
  void console_write(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

}  // namespace telmor::test
