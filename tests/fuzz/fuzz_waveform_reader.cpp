// Fuzzes the waveform file parser: parse_waveform_rows over arbitrary file text.
//
// Input: byte 0 picks the lead count (1..20), byte 1 the seconds (1..30, a
// thousand rows each); the rest is the file's text.
//
// Each run is compared with a small model of the rules in analysis/waveform_rows.h.
// Before the run the cells the parser could reach are set to a NaN payload it
// can never store, so every cell left alone, and every stray write, shows.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/number_text.h"
#include "record/run_record.h"
#include "readers/waveform_rows.h"
#include "fuzz_check.h"

namespace telmor {
namespace {

constexpr std::uint32_t kUntouchedBits = 0x7FC0BEEFu;

// About 5 MB: allocated once, and only the reachable cells are reset per run.
RunRecord& shared_record() {
  static RunRecord* const record = new RunRecord();
  return *record;
}

// Lines as std::getline gives them: a last line end adds no empty line.
std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

enum class TokenKind { value, comma, slash };
struct Token {
  TokenKind kind;
  std::string_view text;
};

// Blanks, tabs and the CR of a CR LF line end only separate.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<Token> tokens_of(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (is_blank(c)) {
      ++at;
    } else if (c == ',' || c == '/') {
      tokens.push_back({c == ',' ? TokenKind::comma : TokenKind::slash, line.substr(at, 1)});
      ++at;
    } else {
      const std::size_t start = at;
      while (at < line.size() && !is_blank(line[at]) && line[at] != ',' && line[at] != '/') ++at;
      tokens.push_back({TokenKind::value, line.substr(start, at - start)});
    }
  }
  return tokens;
}

struct Write {
  int lead;
  int sample;
  float value;
};

struct Expected {
  WaveReadStatus status = WaveReadStatus::ok;
  int row = 0;  // where a failure stopped
  std::vector<Write> writes;
};

// The documented rules: each row starts on a new line and runs on over
// further lines until it has lead_count values; what follows them on its last
// line is skipped; a slash ends the row; a comma right after the row's start
// or after another comma is an empty value that keeps its lead; a row that
// took values (empty ones too) from two or more lines and is completed by a
// value must have nothing but commas after it on its last line.
Expected model(const std::vector<std::string_view>& lines, int lead_count, int sample_count) {
  Expected expected;
  std::size_t next = 0;
  for (int sample = 1; sample <= sample_count; ++sample) {
    expected.row = sample;
    int lead = 0;
    int value_lines = 0;
    bool comma_is_empty_value = true;
    bool row_done = false;
    while (!row_done) {
      if (next == lines.size()) {
        expected.status = WaveReadStatus::end_of_file;
        return expected;
      }
      const std::vector<Token> tokens = tokens_of(lines[next++]);
      bool line_gave_value = false;
      for (std::size_t t = 0; t < tokens.size() && !row_done; ++t) {
        const Token& token = tokens[t];
        bool completed_by_value = false;
        if (token.kind == TokenKind::slash) {
          row_done = true;
        } else if (token.kind == TokenKind::comma) {
          if (comma_is_empty_value) {
            line_gave_value = true;
            completed_by_value = row_done = ++lead == lead_count;
          }
          comma_is_empty_value = true;
        } else {
          float value = 0.0f;
          if (!parse_real(token.text, value)) {
            expected.status = WaveReadStatus::read_error;
            return expected;
          }
          expected.writes.push_back({++lead, sample, value});
          line_gave_value = true;
          completed_by_value = row_done = lead == lead_count;
          comma_is_empty_value = false;
        }
        if (completed_by_value && value_lines > 0) {  // an earlier line gave values too
          for (std::size_t rest = t + 1; rest < tokens.size(); ++rest) {
            if (tokens[rest].kind != TokenKind::comma) {
              expected.status = WaveReadStatus::lead_count_mismatch;
              return expected;
            }
          }
        }
      }
      if (line_gave_value) ++value_lines;
    }
  }
  return expected;
}

}  // namespace
}  // namespace telmor

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  if (size < 2) return 0;
  const int lead_count = 1 + data[0] % kMaxLeads;
  const int sample_count = (1 + data[1] % 30) * kBlockSamples;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  std::string_view body = text;
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  const std::vector<std::string_view> lines = split_lines(body);

  // Rows start on new lines, so no more rows than lines can be reached; one
  // lead and one row beyond are watched for stray writes.
  const int rows = std::min<int>(sample_count, static_cast<int>(lines.size()));
  const int watched_rows = std::min(rows + 1, kMaxSamples);
  const int watched_leads = std::min(lead_count + 1, kMaxLeads);
  RunRecord& record = shared_record();
  for (int lead = 1; lead <= watched_leads; ++lead) {
    for (int sample = 1; sample <= watched_rows; ++sample) {
      record.wave(lead, sample) = float_of(kUntouchedBits);
    }
  }

  std::istringstream in(text);
  const WaveRows read = parse_waveform_rows(in, lead_count, sample_count, {&record.wave_table[0][0], kMaxSamples});

  const Expected expected = model(lines, lead_count, sample_count);
  FUZZ_CHECK(read.status == expected.status);
  FUZZ_CHECK(read.status == WaveReadStatus::ok || read.row == expected.row);
  std::vector<std::uint32_t> cells(static_cast<std::size_t>(watched_leads * watched_rows),
                                   kUntouchedBits);
  for (const Write& write : expected.writes) {
    FUZZ_CHECK(write.lead <= lead_count && write.sample <= rows);
    cells[static_cast<std::size_t>((write.lead - 1) * watched_rows + write.sample - 1)] =
        bits_of(write.value);
  }
  for (int lead = 1; lead <= watched_leads; ++lead) {
    for (int sample = 1; sample <= watched_rows; ++sample) {
      FUZZ_CHECK(bits_of(record.wave(lead, sample)) ==
                 cells[static_cast<std::size_t>((lead - 1) * watched_rows + sample - 1)]);
    }
  }

  // The reader of telmor-batch, over the text in memory, writes the same.
  for (int lead = 1; lead <= watched_leads; ++lead) {
    for (int sample = 1; sample <= watched_rows; ++sample) {
      record.wave(lead, sample) = float_of(kUntouchedBits);
    }
  }
  const WaveRows fast = read_waveform_rows(text, lead_count, sample_count, {&record.wave_table[0][0], kMaxSamples});
  FUZZ_CHECK(fast.status == expected.status);
  FUZZ_CHECK(fast.row == read.row && fast.cause == read.cause &&
             fast.first_line_values == read.first_line_values);
  for (int lead = 1; lead <= watched_leads; ++lead) {
    for (int sample = 1; sample <= watched_rows; ++sample) {
      FUZZ_CHECK(bits_of(record.wave(lead, sample)) ==
                 cells[static_cast<std::size_t>((lead - 1) * watched_rows + sample - 1)]);
    }
  }
  return 0;
}
