// Fuzzes the session script parser. A malformed line must come out as a
// ScriptError and nothing else; any other exception escapes to libFuzzer as a
// finding. Parsed scripts are checked against their lines and written back out
// to parse the same again.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "replay/session_script.h"

namespace telmor {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool all_blank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The script's lines as the header describes them: LF or CR LF ends, a
// leading byte-order mark dropped.
std::vector<std::string_view> script_lines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

bool is_skipped(std::string_view line) { return all_blank(line) || line.front() == '#'; }

std::string_view keyword_of(std::string_view line) {
  std::size_t end = 0;
  while (end < line.size() && !is_blank(line[end])) ++end;
  return line.substr(0, end);
}

// What follows the keyword and its one separating blank.
std::string_view rest_of(std::string_view line) {
  const std::size_t keyword = keyword_of(line).size();
  return keyword < line.size() ? line.substr(keyword + 1) : std::string_view{};
}

std::string_view keyword_for(DirectiveKind kind) {
  switch (kind) {
    case DirectiveKind::console: return "console";
    case DirectiveKind::chart: return "chart";
    case DirectiveKind::press: return "press";
    case DirectiveKind::double_click: return "double";
    case DirectiveKind::snapshot: return "snapshot";
    case DirectiveKind::export_table: return "export";
    case DirectiveKind::key: return "key";
    case DirectiveKind::drop_beat: return "drop-beat";
    case DirectiveKind::suggest_ranges: return "suggest-ranges";
    case DirectiveKind::open: return "open";
    case DirectiveKind::changed_file: return "changed-file";
  }
  std::abort();
}

std::string_view answer_name(RangeAnswer answer) {
  switch (answer) {
    case RangeAnswer::accept: return "accept";
    case RangeAnswer::click: return "click";
    case RangeAnswer::cancel: return "cancel";
  }
  std::abort();
}

// A real as the script gave it back: the shortest text that reads as it.
std::string real_text(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

bool is_click(DirectiveKind kind) {
  return kind == DirectiveKind::press || kind == DirectiveKind::double_click;
}

// A directive written back as a script line.
std::string line_for(const Directive& directive) {
  std::string line(keyword_for(directive.kind));
  line += ' ';
  if (is_click(directive.kind)) {
    line += directive.button == MouseButton::left ? "left " : "right ";
    line += std::to_string(directive.x) + " " + std::to_string(directive.y);
  } else if (directive.kind == DirectiveKind::key) {
    line += key_name(directive.key);
  } else if (directive.kind == DirectiveKind::drop_beat) {
    line += std::to_string(directive.number);
  } else if (directive.kind == DirectiveKind::suggest_ranges) {
    line += answer_name(directive.answer);
  } else if (directive.kind == DirectiveKind::changed_file) {
    line += directive.file_answer == ChangedFileAnswer::keep ? "keep" : "overwrite";
  } else if (directive.kind == DirectiveKind::open) {
    line += std::to_string(directive.number) + " " + real_text(directive.from_s) + " " +
            std::to_string(directive.seconds) + " " + directive.text;
  } else {
    line += directive.text;
  }
  return line;
}

void check_directive(const Directive& directive, const std::vector<std::string_view>& lines) {
  FUZZ_CHECK(directive.line_number >= 1 &&
             directive.line_number <= static_cast<int>(lines.size()));
  const std::string_view line = lines[static_cast<std::size_t>(directive.line_number - 1)];
  FUZZ_CHECK(directive.source == line);
  FUZZ_CHECK(!is_skipped(line));
  FUZZ_CHECK(keyword_of(line) == keyword_for(directive.kind));
  if (is_click(directive.kind) || directive.kind == DirectiveKind::key ||
      directive.kind == DirectiveKind::drop_beat || directive.kind == DirectiveKind::suggest_ranges ||
      directive.kind == DirectiveKind::changed_file) {
    FUZZ_CHECK(directive.text.empty());
    if (directive.kind == DirectiveKind::key) FUZZ_CHECK(directive.key != PassKey::none);
    if (directive.kind == DirectiveKind::drop_beat) FUZZ_CHECK(directive.number > 0);
  } else if (directive.kind == DirectiveKind::open) {
    // The file is what follows the three numbers: never empty.
    FUZZ_CHECK(!directive.text.empty());
    FUZZ_CHECK(directive.number >= 1 && directive.seconds >= 1 && directive.from_s >= 0.0);
    FUZZ_CHECK(rest_of(line).ends_with(directive.text));
  } else {
    FUZZ_CHECK(directive.text == rest_of(line));
    if (is_output(directive.kind)) FUZZ_CHECK(!all_blank(directive.text));
  }
}

void check_same(const Directive& a, const Directive& b) {
  FUZZ_CHECK(a.kind == b.kind);
  FUZZ_CHECK(a.text == b.text);
  FUZZ_CHECK(a.key == b.key);
  FUZZ_CHECK(a.number == b.number);
  FUZZ_CHECK(a.answer == b.answer);
  FUZZ_CHECK(a.file_answer == b.file_answer);
  FUZZ_CHECK(a.seconds == b.seconds);
  FUZZ_CHECK(a.from_s == b.from_s || (a.from_s != a.from_s && b.from_s != b.from_s));
  if (is_click(a.kind)) {
    FUZZ_CHECK(a.button == b.button);
    FUZZ_CHECK(a.x == b.x && a.y == b.y);
  }
}

void check_error(const ScriptError& error, const std::vector<std::string_view>& lines) {
  const int number = error.line_number();
  FUZZ_CHECK(number >= 1 && number <= static_cast<int>(lines.size()));
  const std::string prefix = "line " + std::to_string(number) + ": ";
  FUZZ_CHECK(std::string_view(error.what()).substr(0, prefix.size()) == prefix);
  const std::string_view bad = lines[static_cast<std::size_t>(number - 1)];
  FUZZ_CHECK(!is_skipped(bad));

  // It is the first malformed line: the lines before it parse, and the line
  // on its own fails again. A leading blank line keeps a line's own
  // byte-order mark from being taken for the script's; CR LF keeps its own CR.
  std::string before = "\n";
  for (int i = 0; i + 1 < number; ++i) {
    before += lines[static_cast<std::size_t>(i)];
    before += "\r\n";
  }
  const std::vector<Directive> earlier = parse_session_script(before);
  FUZZ_CHECK(earlier.size() <= static_cast<std::size_t>(number - 1));
  try {
    parse_session_script("\n" + std::string(bad) + "\r\n");
  } catch (const ScriptError& again) {
    FUZZ_CHECK(again.line_number() == 2);
    return;
  }
  FUZZ_CHECK(false && "a malformed line parsed on its own");
}

}  // namespace
}  // namespace telmor

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> lines = script_lines(text);

  std::vector<Directive> directives;
  try {
    directives = parse_session_script(text);
  } catch (const ScriptError& error) {
    check_error(error, lines);
    return 0;
  }

  std::size_t expected_count = 0;
  for (std::string_view line : lines) expected_count += is_skipped(line) ? 0 : 1;
  FUZZ_CHECK(directives.size() == expected_count);
  int previous = 0;
  for (const Directive& directive : directives) {
    FUZZ_CHECK(directive.line_number > previous);
    previous = directive.line_number;
    check_directive(directive, lines);
  }

  // Written back (CR LF keeps a text's own trailing CR) it parses the same.
  std::string written;
  for (const Directive& directive : directives) written += line_for(directive) + "\r\n";
  const std::vector<Directive> again = parse_session_script(written);
  FUZZ_CHECK(again.size() == directives.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].line_number == static_cast<int>(i) + 1);
    check_same(directives[i], again[i]);
  }
  return 0;
}
