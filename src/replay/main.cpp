// telmor-replay: runs the program headless over a session script.
#include <iostream>
#include <string_view>
#include <vector>

#include "driver/run_program.h"
#include "replay/replay_run.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return telmor::replay_main(arguments, telmor::run_program, std::cout, std::cerr);
}
