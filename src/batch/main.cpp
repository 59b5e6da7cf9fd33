// telmor-batch: analyses whole folders of recordings without a window.
#include <iostream>
#include <string_view>
#include <vector>

#include "batch/batch_run.h"

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#define TELMOR_ISATTY(stream) _isatty(_fileno(stream))
#else
#include <unistd.h>
#define TELMOR_ISATTY(stream) isatty(fileno(stream))
#endif

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const bool terminal = TELMOR_ISATTY(stderr) != 0;
  return telmor::batch_main(arguments, std::cout, std::cerr, terminal);
}
