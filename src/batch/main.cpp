// telmor-batch: analyses whole folders of recordings without a window.
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_run.h"
#include "base/utf8_path.h"
#include "words/language_choice.h"

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#include <windows.h>
#define TELMOR_ISATTY(stream) _isatty(_fileno(stream))
#else
#include <unistd.h>
#define TELMOR_ISATTY(stream) isatty(fileno(stream))
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Every recording needs the same few large blocks (its values, their
  // derivative): kept in the heap from one recording to the next instead of
  // mapped afresh, and faulted in page by page, for each.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);  // file names in the report are UTF-8
#endif
  const std::vector<std::string> arguments = telmor::utf8_arguments(argc, argv);
  const std::vector<std::string_view> views(arguments.begin(), arguments.end());
  const bool terminal = TELMOR_ISATTY(stderr) != 0;
  const telmor::Language fallback =
      telmor::language_for("", std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  return telmor::batch_main(views, std::cout, std::cerr, terminal, fallback);
}
