// Results file text into loaded tables, and from there into the run.
#include "results/results_parse.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "base/number_text.h"
#include "base/text_rules.h"

namespace telmor {
namespace {

// The lines of the text, each kept only as far as a row line of the most
// leads reaches, so that a stray long line costs no memory.
class LineReader {
 public:
  explicit LineReader(std::istream& text) : text_(text) {}

  // The next line without its line end; false at the end of the text or on a
  // read error (failed() tells which).
  bool next();
  std::string_view line() const { return {bytes_.data(), size_}; }
  int number() const { return number_; }
  bool failed() const { return text_.bad(); }

 private:
  std::istream& text_;
  std::array<char, kLongestRow> bytes_{};
  std::size_t size_ = 0;
  int number_ = 0;
};

bool LineReader::next() {
  using Traits = std::istream::traits_type;
  size_ = 0;
  bool any = false;
  bool cut = false;
  for (;;) {
    const Traits::int_type c = text_.get();
    if (Traits::eq_int_type(c, Traits::eof())) break;
    any = true;
    const char byte = Traits::to_char_type(c);
    if (byte == '\n') break;
    if (size_ == bytes_.size()) {
      text_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      cut = true;
      break;
    }
    bytes_[size_++] = byte;
  }
  if (!any || text_.bad()) return false;
  // A CR beyond the kept bytes went with the rest of the line.
  if (!cut && size_ > 0 && bytes_[size_ - 1] == '\r') --size_;
  ++number_;
  return true;
}

// The non-blank bytes of a field; bytes past the line's end count as blanks.
struct FieldText {
  std::array<char, kTimeColumns> bytes{};
  std::size_t size = 0;
  std::string_view view() const { return {bytes.data(), size}; }
};

FieldText field_text(std::string_view line, std::size_t first, std::size_t width) {
  FieldText field;
  if (first >= line.size()) return field;
  for (const char c : line.substr(first, width)) {
    if (c != ' ') field.bytes[field.size++] = c;
  }
  return field;
}

bool read_count(std::string_view line, std::int32_t& count) {
  const FieldText field = field_text(line, 0, kCountColumns);
  if (field.size == 0) {
    count = 0;
    return true;
  }
  return parse_integer(field.view(), count);
}

bool read_time(std::string_view line, int lead, float& value) {
  const FieldText field =
      field_text(line, kFieldColumns * static_cast<std::size_t>(lead - 1), kTimeColumns);
  if (field.size == 0) {
    value = 0.0f;
    return true;
  }
  return parse_real(field.view(), value);
}

// Moves to the next line; false, with the fault filled in, when there is none.
bool next_line(LineReader& lines, ParseResult& result) {
  result.lead = 0;
  if (lines.next()) {
    result.line = lines.number();
    return true;
  }
  result.fault = lines.failed() ? ParseFault::read_error : ParseFault::early_end;
  result.line = lines.number() + 1;
  return false;
}

// The fields a row line reaches: each time field and its separator, the last
// separator perhaps cut, trailing blanks not counted.
int leads_on(std::string_view line) {
  const std::size_t end = line.find_last_not_of(' ');
  if (end == std::string_view::npos) return 0;
  return static_cast<int>(end / kFieldColumns + 1);
}

ParseResult fail(ParseResult result, ParseFault fault) {
  result.fault = fault;
  return result;
}

}  // namespace

ParseResult parse_results(std::istream& text, int lead_count, LoadedTables& loaded) {
  const int leads = leads_in_row(lead_count);
  LineReader lines(text);
  ParseResult result;
  for (const Block block : {Block::at, Block::rt}) {
    auto& table = block == Block::at ? loaded.at_ms : loaded.rt_ms;
    std::int32_t& count = block == Block::at ? loaded.at_count : loaded.rt_count;
    result.block = block;

    if (!next_line(lines, result)) return result;
    std::string_view line = lines.line();
    if (lines.number() == 1) skip_byte_order_mark(line);
    if (!read_count(line, count)) return fail(result, ParseFault::not_a_number);
    if (count < 0 || count > kMaxRows) {
      result.count = count;
      return fail(result, ParseFault::count_out_of_range);
    }

    for (int row = 1; row <= count; ++row) {
      if (!next_line(lines, result)) return result;
      loaded.file_leads = std::max(loaded.file_leads, leads_on(lines.line()));
      for (int lead = 1; lead <= leads; ++lead) {
        if (!read_time(lines.line(), lead, table[lead - 1][row - 1])) {
          result.lead = lead;
          return fail(result, ParseFault::not_a_number);
        }
      }
    }
  }
  return result;
}


}  // namespace telmor
