// The row grammar of waveform files.
#include "readers/waveform_rows.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "readers/recording_shape.h"
#include "base/decimal_scan.h"
#include "base/number_text.h"
#include "base/text_rules.h"

namespace telmor {
namespace {

// Where the value of lead (1-based) in sample (1-based) goes; size_t, since
// lead_count times lead_stride may be beyond int.
float& cell(const WaveTarget& target, int lead, int sample) {
  return target.values[static_cast<std::size_t>(lead - 1) * target.lead_stride +
                       static_cast<std::size_t>(sample - 1)];
}

// What may follow the value that completes a row read over several lines.
bool only_separators(const char* p, const char* end) {
  for (; p != end && *p != '\n'; ++p) {
    if (!is_blank(*p) && *p != ',') return false;
  }
  return true;
}

// A value in decimal notation that parse_real refused: it can only be too
// large for a 32-bit real (a value too small reads as zero).
bool beyond_float(std::string_view value) {
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) value.remove_prefix(1);
  if (value.empty() || !((value.front() >= '0' && value.front() <= '9') || value.front() == '.'))
    return false;
  double parsed = 0.0;
  const char* const end = value.data() + value.size();
  const auto [stop, ec] = std::from_chars(value.data(), end, parsed, std::chars_format::general);
  return stop == end && (ec == std::errc{} || ec == std::errc::result_out_of_range);
}

// Lines a row took values from: when it took some from an earlier line than
// the one it ends on, it must end at that line's end.
struct RowLines {
  bool earlier = false;  // a value came from a line before the current one
  bool current = false;  // a value came from the current line
  void next_line() {
    earlier = earlier || current;
    current = false;
  }
};

// What the stream reader keeps of the file's first lines, for a failure's report.
struct StreamStart {
  bool first_line_seen = false;
  WaveCause cause = WaveCause::none;
  int first_line_values = -1;  // not yet seen a line that holds data
  void saw(const std::string& line) {
    if (!first_line_seen) {
      first_line_seen = true;
      cause = first_line_cause(line);
    }
    if (first_line_values < 0 && line.find_first_not_of(" \t\r") != std::string::npos)
      first_line_values = line_values(line);
  }
};

// Past the end of the line that p is in (or to end).
const char* next_line(const char* p, const char* end) {
  const void* line_end = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return line_end == nullptr ? end : static_cast<const char*>(line_end) + 1;
}

// The end of a row whose last value ended just before p: the start of the
// next line, or a mismatch when the row came from several lines and its last
// line goes on.
WaveReadStatus end_row(const char*& p, const char* end, const RowLines& lines) {
  if (lines.earlier && !only_separators(p, end)) return WaveReadStatus::lead_count_mismatch;
  p = next_line(p, end);
  return WaveReadStatus::ok;
}

// One row from the text at p, by parse_row's rules over a buffer: a line end
// separates like a blank, and the rest of the row's last line is skipped. On
// return p is the start of the line after the row (after a read_error, just
// past the value that is not a number).
WaveReadStatus scan_row(const char*& p, const char* end, int lead_count, int sample,
                        const WaveTarget& target, bool& beyond) {
  int lead = 0;
  bool after_comma = true;
  RowLines lines;
  while (p != end) {
    const char c = *p;
    if (c == '\n') {
      lines.next_line();
      ++p;
      continue;
    }
    if (is_blank(c)) {
      ++p;
      continue;
    }
    if (c == '/') {
      p = next_line(p, end);
      return WaveReadStatus::ok;
    }
    if (c == ',') {
      ++p;
      if (after_comma) {
        lines.current = true;
        if (++lead == lead_count) return end_row(p, end, lines);
      }
      after_comma = true;
      continue;
    }
    const char* const value_start = p;
    float value = 0.0f;
    if (!scan_real(p, end, value)) {
      beyond = beyond_float(std::string_view(value_start, static_cast<std::size_t>(p - value_start)));
      return WaveReadStatus::read_error;
    }
    cell(target, ++lead, sample) = value;
    lines.current = true;
    if (lead == lead_count) return end_row(p, end, lines);
    after_comma = false;
  }
  return WaveReadStatus::end_of_file;
}

// One row from the stream, read as scan_row reads it from a buffer: the
// row's lines are gathered one by one until scan_row completes the row in
// them (or fails), so that the stream and the buffer have one grammar.
WaveReadStatus parse_row(std::istream& text, std::string& row_lines, std::string& line,
                         int lead_count, int sample, const WaveTarget& target, StreamStart& start,
                         bool& beyond) {
  row_lines.clear();
  while (std::getline(text, line)) {
    start.saw(line);
    row_lines += line;
    row_lines += '\n';
    const char* p = row_lines.data();
    const WaveReadStatus status = scan_row(p, p + row_lines.size(), lead_count, sample, target, beyond);
    if (status != WaveReadStatus::end_of_file) return status;
  }
  return text.bad() ? WaveReadStatus::read_error : WaveReadStatus::end_of_file;
}

// The usual row, from the start of its line at p: lead_count plain decimals
// (base/decimal_scan.h) on one line that ends in LF, separated by blanks, tabs
// and single commas, written from out on at stride; p then goes to the next
// line. Any other row (an empty value, a slash, a row over several lines, a
// number off the fast path, the last line without LF, a failure) returns
// false with p where it was, for scan_row to read again from its start: it
// reads this row's values as this does, into the same places, so what was
// written here stays right.
bool scan_plain_row(const char*& p, const char* end, int lead_count, float* out,
                    std::size_t stride) {
  const void* const line_end = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  if (line_end == nullptr) return false;
  // Nothing below reads past the LF: every step stops at it.
  const char* q = p;
  for (int lead = 0;;) {
    while (is_space_or_tab(*q)) ++q;
    if (lead > 0 && *q == ',') {
      ++q;
      while (is_space_or_tab(*q)) ++q;
    }
    float value;
    if (!scan_short_decimal_before_line_end(q, value)) return false;
    *out = value;
    if (++lead == lead_count) break;
    out += stride;
  }
  p = static_cast<const char*>(line_end) + 1;
  return true;
}

// The cause a failure's report names: what the first line shows, else a
// number too large where a read_error stopped.
WaveCause failure_cause(WaveCause first_line, WaveReadStatus status, bool beyond) {
  if (first_line != WaveCause::none) return first_line;
  return status == WaveReadStatus::read_error && beyond ? WaveCause::value_beyond_float
                                                        : WaveCause::none;
}

}  // namespace

WaveCause first_line_cause(std::string_view line) {
  if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF")) return WaveCause::utf16_text;
  if (line.size() >= 2 && (line[0] == '\0') != (line[1] == '\0')) return WaveCause::utf16_text;
  for (std::size_t at = line.find('\r'); at != std::string_view::npos; at = line.find('\r', at + 1)) {
    if (at + 1 < line.size() && line[at + 1] != '\r') return WaveCause::cr_line_ends;
  }
  return WaveCause::none;
}

WaveRows read_waveform_rows(std::string_view text, int lead_count, int sample_count,
                            WaveTarget target) {
  skip_byte_order_mark(text);
  const char* p = text.data();
  const char* const end = p + text.size();
  float* row_out = target.values;
  for (int sample = 1; sample <= sample_count; ++sample, ++row_out) {
    if (scan_plain_row(p, end, lead_count, row_out, target.lead_stride)) continue;
    bool beyond = false;
    const WaveReadStatus status = scan_row(p, end, lead_count, sample, target, beyond);
    if (status == WaveReadStatus::ok) continue;
    // Only a failure looks at the text again.
    WaveRows rows{status, sample, 0, failure_cause(first_line_cause(text.substr(0, text.find('\n'))),
                                                   status, beyond)};
    if (status == WaveReadStatus::lead_count_mismatch)
      rows.first_line_values = first_row_values(text);
    return rows;
  }
  return {WaveReadStatus::ok, sample_count, first_row_values(text)};
}

WaveRows parse_waveform_rows(std::istream& text, int lead_count, int sample_count,
                             WaveTarget target) {
  // A byte-order mark, as some editors save it, is not data.
  skip_byte_order_mark(text);
  std::string row_lines, line;  // buffers for every row and line of the file
  StreamStart start;
  for (int sample = 1; sample <= sample_count; ++sample) {
    bool beyond = false;
    const WaveReadStatus status =
        parse_row(text, row_lines, line, lead_count, sample, target, start, beyond);
    if (status == WaveReadStatus::ok) continue;
    WaveRows rows{status, sample, 0, failure_cause(start.cause, status, beyond)};
    if (status == WaveReadStatus::lead_count_mismatch) rows.first_line_values = start.first_line_values;
    return rows;
  }
  return {WaveReadStatus::ok, sample_count, std::max(start.first_line_values, 0)};
}

}  // namespace telmor
