// The row grammar of waveform files.
#include "analysis/waveform_rows.h"

#include <cstring>
#include <string>

#include "base/number_text.h"
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

// Past the end of the line that p is in (or to end).
const char* next_line(const char* p, const char* end) {
  const void* line_end = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return line_end == nullptr ? end : static_cast<const char*>(line_end) + 1;
}

// One row from the text at p, by parse_row's rules over a buffer: a line end
// separates like a blank, and the rest of the row's last line is skipped. On
// return p is the start of the line after the row.
WaveReadStatus scan_row(const char*& p, const char* end, int lead_count, int sample,
                        RunRecord& record) {
  int lead = 0;
  bool after_comma = true;
  while (p != end) {
    const char c = *p;
    if (c == '\n' || is_blank(c)) {
      ++p;
      continue;
    }
    if (c == '/') {
      p = next_line(p, end);
      return WaveReadStatus::ok;
    }
    if (c == ',') {
      ++p;
      if (after_comma && ++lead == lead_count) {
        p = next_line(p, end);
        return WaveReadStatus::ok;
      }
      after_comma = true;
      continue;
    }
    float value = 0.0f;
    if (!scan_real(p, end, value)) return WaveReadStatus::read_error;
    record.wave_table[static_cast<std::size_t>(lead)][static_cast<std::size_t>(sample - 1)] = value;
    if (++lead == lead_count) {
      p = next_line(p, end);
      return WaveReadStatus::ok;
    }
    after_comma = false;
  }
  return WaveReadStatus::end_of_file;
}

}  // namespace

WaveRows read_waveform_rows(std::string_view text, int lead_count, int sample_count,
                            RunRecord& record) {
  skip_byte_order_mark(text);
  const char* p = text.data();
  const char* const end = p + text.size();
  for (int sample = 1; sample <= sample_count; ++sample) {
    const WaveReadStatus status = scan_row(p, end, lead_count, sample, record);
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
