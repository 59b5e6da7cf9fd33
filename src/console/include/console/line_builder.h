// Builds one console or chart line from items: texts run on directly, numbers
// are set off from their neighbours by one blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telmor {

class LineBuilder {
 public:
  LineBuilder& text(std::string_view text);
  LineBuilder& number(std::int64_t value);
  LineBuilder& number(std::int32_t value) { return number(static_cast<std::int64_t>(value)); }
  LineBuilder& number(float value);
  const std::string& str() const { return line_; }
  operator std::string_view() const { return line_; }

 private:
  void separate();
  std::string line_;
  bool after_number_ = false;
};

}  // namespace telmor
