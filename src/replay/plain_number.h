// Whole numbers as text without the locale (no grouping, ASCII digits).
#pragma once

#include <charconv>
#include <string>

namespace telmor {

inline std::string plain_number(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace telmor
