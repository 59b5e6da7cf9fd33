// Line assembly from text and number items.
#include "console/line_builder.h"

#include "base/number_text.h"

namespace telmor {

void LineBuilder::separate() {
  if (!line_.empty() && line_.back() != ' ') line_ += ' ';
}

LineBuilder& LineBuilder::text(std::string_view text) {
  if (after_number_ && !text.empty() && text.front() != ' ') line_ += ' ';
  line_ += text;
  after_number_ = false;
  return *this;
}

LineBuilder& LineBuilder::number(std::int64_t value) {
  separate();
  line_ += format_integer(value);
  after_number_ = true;
  return *this;
}

LineBuilder& LineBuilder::number(float value) {
  separate();
  line_ += format_real(value);
  after_number_ = true;
  return *this;
}

}  // namespace telmor
