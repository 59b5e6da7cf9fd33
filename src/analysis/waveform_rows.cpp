// The row grammar of waveform files.
#include "analysis/waveform_rows.h"

#include <string>

#include "console/number_text.h"
#include "record/text_rules.h"

namespace telmor {
namespace {

// One row: lead_count values into sample `sample` of leads 1..lead_count.
WaveReadStatus parse_row(std::istream& text, std::string& line, int lead_count, int sample,
                         RunRecord& record) {
  int lead = 0;
  // A comma with no value since the row's start or since the last comma is an
  // empty value; line ends only separate, like blanks.
  bool after_comma = true;
  while (std::getline(text, line)) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end) {
      if (is_blank(*p)) {
        ++p;
        continue;
      }
      if (*p == '/') return WaveReadStatus::ok;
      if (*p == ',') {
        ++p;
        if (after_comma && ++lead == lead_count) return WaveReadStatus::ok;
        after_comma = true;
        continue;
      }
      const char* start = p;
      while (p != end && !ends_item(*p)) ++p;
      float value = 0.0f;
      if (!parse_real(std::string_view(start, static_cast<std::size_t>(p - start)), value))
        return WaveReadStatus::read_error;
      record.wave(++lead, sample) = value;
      if (lead == lead_count) return WaveReadStatus::ok;
      after_comma = false;
    }
  }
  return text.bad() ? WaveReadStatus::read_error : WaveReadStatus::end_of_file;
}

// One row from the text at `at`: as parse_row, over lines of a buffer. On
// return `at` is the start of the line after the row's last line.
WaveReadStatus scan_row(std::string_view text, std::size_t& at, int lead_count, int sample,
                        RunRecord& record) {
  int lead = 0;
  bool after_comma = true;
  while (at < text.size()) {
    std::size_t line_end = text.find('\n', at);
    if (line_end == std::string_view::npos) line_end = text.size();
    const char* p = text.data() + at;
    const char* const end = text.data() + line_end;
    at = line_end == text.size() ? line_end : line_end + 1;
    while (p != end) {
      if (is_blank(*p)) {
        ++p;
        continue;
      }
      if (*p == '/') return WaveReadStatus::ok;
      if (*p == ',') {
        ++p;
        if (after_comma && ++lead == lead_count) return WaveReadStatus::ok;
        after_comma = true;
        continue;
      }
      const char* start = p;
      while (p != end && !ends_item(*p)) ++p;
      float value = 0.0f;
      if (!parse_real(std::string_view(start, static_cast<std::size_t>(p - start)), value))
        return WaveReadStatus::read_error;
      record.wave(++lead, sample) = value;
      if (lead == lead_count) return WaveReadStatus::ok;
      after_comma = false;
    }
  }
  return WaveReadStatus::end_of_file;
}

}  // namespace

WaveRows read_waveform_rows(std::string_view text, int lead_count, int sample_count,
                            RunRecord& record) {
  skip_byte_order_mark(text);
  std::size_t at = 0;
  for (int sample = 1; sample <= sample_count; ++sample) {
    const WaveReadStatus status = scan_row(text, at, lead_count, sample, record);
    if (status != WaveReadStatus::ok) return {status, sample};
  }
  return {WaveReadStatus::ok, sample_count};
}

WaveReadStatus parse_waveform_rows(std::istream& text, int lead_count, int sample_count,
                                   RunRecord& record) {
  // A byte-order mark, as some editors save it, is not data.
  skip_byte_order_mark(text);
  std::string line;  // one buffer for every line of the file
  for (int sample = 1; sample <= sample_count; ++sample) {
    const WaveReadStatus status = parse_row(text, line, lead_count, sample, record);
    if (status != WaveReadStatus::ok) return status;
  }
  return WaveReadStatus::ok;
}

}  // namespace telmor
