// Parsing of session scripts, line by line.
#include "replay/session_script.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "record/text_rules.h"
#include "base/utf8_path.h"

namespace telmor {

namespace {

std::vector<std::string_view> split_fields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && is_space_or_tab(text[at])) ++at;
    const std::size_t start = at;
    while (at < text.size() && !is_space_or_tab(text[at])) ++at;
    if (at > start) fields.push_back(text.substr(start, at - start));
  }
  return fields;
}

bool parse_coordinate(std::string_view field, std::int16_t& value) {
  int parsed = 0;
  const char* end = field.data() + field.size();
  const auto result = std::from_chars(field.data(), end, parsed);
  if (result.ec != std::errc() || result.ptr != end) return false;
  if (parsed < std::numeric_limits<std::int16_t>::min() ||
      parsed > std::numeric_limits<std::int16_t>::max()) {
    return false;
  }
  value = static_cast<std::int16_t>(parsed);
  return true;
}

// "press left|right X Y" and "double left|right X Y" after the keyword.
void parse_click(std::string_view keyword, std::string_view rest, Directive& directive) {
  const std::vector<std::string_view> fields = split_fields(rest);
  const std::string form = std::string(keyword) + " left|right X Y";
  if (fields.size() != 3) {
    throw ScriptError(directive.line_number, "expected '" + form + "'");
  }
  if (fields[0] == "left") {
    directive.button = MouseButton::left;
  } else if (fields[0] == "right") {
    directive.button = MouseButton::right;
  } else {
    throw ScriptError(directive.line_number,
                      "unknown button '" + std::string(fields[0]) + "', expected '" + form + "'");
  }
  if (!parse_coordinate(fields[1], directive.x) || !parse_coordinate(fields[2], directive.y)) {
    throw ScriptError(directive.line_number,
                      "pixel coordinates must be whole numbers from -32768 to 32767, expected '" +
                          form + "'");
  }
}

constexpr std::pair<PassKey, std::string_view> kKeyNames[] = {
    {PassKey::right, "right"},       {PassKey::left, "left"},     {PassKey::space, "space"},
    {PassKey::page_down, "pagedown"}, {PassKey::page_up, "pageup"}, {PassKey::escape, "escape"},
    {PassKey::undo, "undo"},         {PassKey::redo, "redo"},
};

void parse_key(std::string_view rest, Directive& directive) {
  const std::vector<std::string_view> fields = split_fields(rest);
  if (fields.size() == 1) {
    for (const auto& [key, name] : kKeyNames) {
      if (fields[0] == name) {
        directive.key = key;
        return;
      }
    }
  }
  throw ScriptError(directive.line_number,
                    "expected 'key right|left|space|pagedown|pageup|escape|undo|redo'");
}

void parse_drop_beat(std::string_view rest, Directive& directive) {
  const std::vector<std::string_view> fields = split_fields(rest);
  if (fields.size() == 1) {
    const char* end = fields[0].data() + fields[0].size();
    const auto result = std::from_chars(fields[0].data(), end, directive.number);
    if (result.ec == std::errc() && result.ptr == end && directive.number > 0) return;
  }
  throw ScriptError(directive.line_number, "expected 'drop-beat MS' with a beat's time in whole ms");
}

void parse_suggest_ranges(std::string_view rest, Directive& directive) {
  const std::vector<std::string_view> fields = split_fields(rest);
  if (fields.size() == 1) {
    for (const auto& [name, answer] : {std::pair{"accept", RangeAnswer::accept}, std::pair{"click", RangeAnswer::click},
                                       std::pair{"cancel", RangeAnswer::cancel}}) {
      if (fields[0] == name) {
        directive.answer = answer;
        return;
      }
    }
  }
  throw ScriptError(directive.line_number, "expected 'suggest-ranges accept|click|cancel'");
}

void parse_changed_file(std::string_view rest, Directive& directive) {
  const std::vector<std::string_view> fields = split_fields(rest);
  if (fields.size() == 1 && (fields[0] == "keep" || fields[0] == "overwrite")) {
    directive.file_answer = fields[0] == "keep" ? ChangedFileAnswer::keep : ChangedFileAnswer::overwrite;
    return;
  }
  throw ScriptError(directive.line_number, "expected 'changed-file keep|overwrite'");
}

// open LEADS FROM SECONDS FILE: the rest of the line after the three numbers
// is the file, blanks and all.
void parse_open(std::string_view rest, Directive& directive) {
  std::string_view left = rest;
  const auto field = [&]() {
    while (!left.empty() && is_space_or_tab(left.front())) left.remove_prefix(1);
    std::size_t end = 0;
    while (end < left.size() && !is_space_or_tab(left[end])) ++end;
    const std::string_view f = left.substr(0, end);
    left.remove_prefix(end);
    return f;
  };
  const std::string_view leads = field(), from = field(), seconds = field();
  while (!left.empty() && is_space_or_tab(left.front())) left.remove_prefix(1);
  const auto whole = [](std::string_view f, auto& value) {
    const auto r = std::from_chars(f.data(), f.data() + f.size(), value);
    return r.ec == std::errc() && r.ptr == f.data() + f.size();
  };
  if (whole(leads, directive.number) && whole(from, directive.from_s) && whole(seconds, directive.seconds) &&
      directive.number >= 1 && directive.from_s >= 0.0 && directive.seconds >= 1 && !left.empty()) {
    directive.text = std::string(left);
    return;
  }
  throw ScriptError(directive.line_number, "expected 'open LEADS FROM SECONDS FILE'");
}

Directive parse_line(std::string_view line, int line_number) {
  Directive directive;
  directive.line_number = line_number;
  directive.source = std::string(line);

  std::size_t separator = 0;
  while (separator < line.size() && !is_space_or_tab(line[separator])) ++separator;
  const std::string_view keyword = line.substr(0, separator);
  // Everything after the one separating blank, kept exactly.
  const std::string_view rest = separator < line.size() ? line.substr(separator + 1) : "";

  if (keyword == "console") {
    directive.kind = DirectiveKind::console;
    directive.text = std::string(rest);
  } else if (keyword == "chart") {
    directive.kind = DirectiveKind::chart;
    directive.text = std::string(rest);
  } else if (keyword == "press") {
    directive.kind = DirectiveKind::press;
    parse_click(keyword, rest, directive);
  } else if (keyword == "double") {
    directive.kind = DirectiveKind::double_click;
    parse_click(keyword, rest, directive);
  } else if (keyword == "key") {
    directive.kind = DirectiveKind::key;
    parse_key(rest, directive);
  } else if (keyword == "drop-beat") {
    directive.kind = DirectiveKind::drop_beat;
    parse_drop_beat(rest, directive);
  } else if (keyword == "suggest-ranges") {
    directive.kind = DirectiveKind::suggest_ranges;
    parse_suggest_ranges(rest, directive);
  } else if (keyword == "changed-file") {
    directive.kind = DirectiveKind::changed_file;
    parse_changed_file(rest, directive);
  } else if (keyword == "open") {
    directive.kind = DirectiveKind::open;
    parse_open(rest, directive);
  } else if (keyword == "snapshot" || keyword == "export") {
    directive.kind = keyword == "snapshot" ? DirectiveKind::snapshot : DirectiveKind::export_table;
    directive.text = std::string(rest);
    if (is_space_line(rest)) throw ScriptError(line_number, std::string(keyword) + " needs a file name");
  } else if (keyword.empty()) {
    throw ScriptError(line_number, "a directive must start at the beginning of the line");
  } else {
    throw ScriptError(line_number, "unknown directive '" + std::string(keyword) + "'");
  }
  return directive;
}

}  // namespace

std::string_view key_name(PassKey key) {
  for (const auto& [k, name] : kKeyNames) {
    if (k == key) return name;
  }
  return "none";
}

ScriptError::ScriptError(int line_number, const std::string& message)
    : std::runtime_error("line " + std::to_string(line_number) + ": " + message),
      line_number_(line_number) {}

std::vector<Directive> parse_session_script(std::string_view text) {
  skip_byte_order_mark(text);
  std::vector<Directive> directives;
  int line_number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (is_space_line(line) || line.front() == '#') continue;
    directives.push_back(parse_line(line, line_number));
  }
  return directives;
}

std::vector<Directive> load_session_script(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw std::runtime_error("cannot read the script " + utf8_from_path(path) + ": it is a folder");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open the script " + utf8_from_path(path));
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) throw std::runtime_error("cannot read the script " + utf8_from_path(path));
  return parse_session_script(content.str());
}

}  // namespace telmor
