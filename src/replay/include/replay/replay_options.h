// The command line of telmor-replay: [--root DIR] [--draw-log FILE] [--notes] SCRIPT.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "console/window_layer.h"
#include "words/words.h"

namespace telmor {

inline constexpr std::string_view kReplayUsage =
    "usage: telmor-replay [--root DIR] [--draw-log FILE] [--notes] [--lang ja|en] [--estimator centred|legacy]\n"
    "                     [--rt-smooth MS] [--rt-margin MS] [--rt-window FROM TO]\n"
    "                     [--blank-before MS] [--blank-after MS] SCRIPT";

// What --help says after the usage line: the options, the script's lines and
// the exit statuses.
inline constexpr std::string_view kReplayHelp =
    "Runs TELMOR without a display, typing and clicking as the session script says;\n"
    "the transcript goes to standard output.\n"
    "\n"
    "options:\n"
    "  --root DIR         the drives root: d:\\data\\map\\abc.txt opens DIR/d/data/map/abc.txt\n"
    "                     (default: the working directory)\n"
    "  --draw-log FILE    one line 'line X1 Y1 X2 Y2 RRGGBB' per drawn segment\n"
    "  --notes            the frame's status-bar notes in the transcript: 'chart: note TEXT'\n"
    "  --lang ja|en       the program's own lines in Japanese or English (default: English\n"
    "                     where the locale is English, else Japanese)\n"
    "  --estimator NAME   the derivative: centred (the default: the least-squares cubic\n"
    "                     centred on each sample, RT on a derivative of its own) or legacy\n"
    "                     (the specified arithmetic, to reproduce earlier results)\n"
    "  --rt-smooth MS     the RT derivative's half width in ms (centred; default 35)\n"
    "  --rt-margin MS     centred: an RT window ends where the RT derivative's fits stop\n"
    "                     MS ms before the lead's next AT (0 to 500; default 20)\n"
    "  --rt-window FROM TO  centred: RT windows FROM to TO ms after each lead's own AT\n"
    "  --blank-before MS  the beat search's blanking before a found beat (default 100)\n"
    "  --blank-after MS   and after it (default 200)\n"
    "  --help, -h         this text\n"
    "  --version          the version\n"
    "  --                 the end of the options (for a script named -x)\n"
    "\n"
    "script lines (blank lines and lines starting with # are ignored):\n"
    "  console TEXT           a line typed into the console window\n"
    "  chart TEXT             a line typed into the chart window\n"
    "  press left|right X Y   a button press at chart pixel X, Y\n"
    "  double left|right X Y  a double-click: the press, then the double-click event\n"
    "  key NAME               a key of a correction pass: right, space, left, pagedown,\n"
    "                         pageup, escape, undo, redo\n"
    "  drop-beat MS           at the menu: every AT and RT mark of the beat at MS ms,\n"
    "                         in all leads, removed as one edit\n"
    "  suggest-ranges ANSWER  at the menu: ranges suggested from the recording, drawn into\n"
    "                         d's window, and the answer: accept, click (then the clicks of d)\n"
    "                         or cancel\n"
    "  changed-file ANSWER    when a save finds the results file changed, removed or\n"
    "                         created elsewhere: keep (the other's file stays) or overwrite\n"
    "  snapshot FILE          the chart surface as it stands, as PNG\n"
    "  export FILE            the results table, as CSV\n"
    "\n"
    "exit status: 0 the program ended, 1 the program failed, 2 a usage error or a bad\n"
    "script, 3 the script ran out while the program waited, 4 a line did not fit what\n"
    "the program waited for\n";

struct ReplayOptions {
  std::filesystem::path root = ".";  // the drives root; the working directory by default
  std::optional<std::filesystem::path> draw_log;
  bool notes = false;  // --notes: the frame's notes go into the transcript
  bool english = false;  // --lang en: the program's lines in English
  AnalysisChoice analysis;  // --estimator, --rt-smooth, --rt-margin, --rt-window, --blank-before, --blank-after
  std::filesystem::path script;
  bool help = false;     // --help or -h: print the usage and the help, and do nothing else
  bool version = false;  // --version: print the version, and do nothing else
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Throws UsageError for an unknown
// option, an option without its value, or no script (or more than one)
// unless --help or --version is given. The program's lines are in fallback's
// language (the locale's) unless --lang says otherwise.
ReplayOptions parse_replay_arguments(std::span<const std::string_view> arguments,
                                     Language fallback = Language::japanese);

}  // namespace telmor
