// The one thing a numeric routine needs of the window layer: a line on the console.
#pragma once

#include <string_view>

namespace telmor {

// Receives whole console lines. The window layer implements it; tests capture it.
class ConsoleOutput {
 public:
  virtual ~ConsoleOutput() = default;
  // Writes one line (UTF-8, no line end) to the console window.
  virtual void console_write(std::string_view line) = 0;
};

}  // namespace telmor
