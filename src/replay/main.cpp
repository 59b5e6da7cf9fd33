// telmor-replay: runs the program headless over a session script.
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run_program.h"
#include "base/utf8_path.h"
#include "replay/replay_run.h"
#include "words/language_choice.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // The transcript is compared byte for byte: its lines end in LF here too,
  // and a console shows its UTF-8 as such.
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
  const std::vector<std::string> arguments = telmor::utf8_arguments(argc, argv);
  const std::vector<std::string_view> views(arguments.begin(), arguments.end());
  const telmor::Language fallback =
      telmor::language_for("", std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  return telmor::replay_main(views, telmor::run_program, std::cout, std::cerr, fallback);
}
