// Session scripts of headless runs (typed lines, clicks, snapshots, exports) parsed into directives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "console/window_layer.h"

namespace telmor {

enum class DirectiveKind {
  console,       // console TEXT: a line typed into the console window
  chart,         // chart TEXT: a line typed into the chart window
  press,         // press left|right X Y: one button press
  double_click,  // double left|right X Y: the press, then the double-click
  snapshot,      // snapshot FILE: the chart surface as a PNG file
  export_table,  // export FILE: the results table as CSV
  key,           // key NAME: a key of a correction pass
  drop_beat,     // drop-beat MS: every AT and RT mark of the beat at MS, removed at the menu
  suggest_ranges,  // suggest-ranges accept|click|cancel: ranges suggested at the menu, and the answer
  open,          // open LEADS FROM SECONDS FILE: the first LEADS leads of FILE from FROM s for SECONDS s
  changed_file,  // changed-file keep|overwrite: the answer when a save finds the results file changed elsewhere
};

// Snapshots and exports run as they come up; the others answer a read or a wait.
constexpr bool is_output(DirectiveKind kind) {
  return kind == DirectiveKind::snapshot || kind == DirectiveKind::export_table;
}

enum class MouseButton { left, right };

struct Directive {
  DirectiveKind kind = DirectiveKind::console;
  int line_number = 0;   // in the script, from 1
  std::string source;    // the script line without its line end
  std::string text;      // typed text, or the file of a snapshot or an export
  MouseButton button = MouseButton::left;
  std::int16_t x = 0;
  std::int16_t y = 0;
  PassKey key = PassKey::none;
  std::int32_t number = 0;  // drop-beat: the beat's time in ms
  RangeAnswer answer = RangeAnswer::cancel;  // suggest-ranges
  ChangedFileAnswer file_answer = ChangedFileAnswer::keep;  // changed-file
  double from_s = 0.0;                      // open: the part's start (number: its leads, text: the file)
  std::int32_t seconds = 0;
};

// The names of the keys in scripts: right, left, space, pagedown, pageup,
// escape, undo, redo.
std::string_view key_name(PassKey key);

// A line that is no directive; what() names the line number and says why.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line_number, const std::string& message);
  int line_number() const { return line_number_; }

 private:
  int line_number_;
};

// The directives of a script in order. Blank lines and lines starting with
// '#' are skipped; lines may end in LF or CR LF; a leading UTF-8 byte-order
// mark is skipped. Throws ScriptError at the first malformed line.
std::vector<Directive> parse_session_script(std::string_view text);

// Reads and parses a script file. Throws std::runtime_error when the file
// can't be read, ScriptError when a line is malformed.
std::vector<Directive> load_session_script(const std::filesystem::path& path);

}  // namespace telmor
