// kalynth-calc: see calc.h and `kalynth-calc --help`.
#include <iostream>
#include <string>
#include <vector>

#include "cli/calc.h"
#include "records/files.h"

int main(int argc, char** argv) {
  records::CatchFileSizeSignal();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return cli::RunCalc(args, std::cout, std::cerr, cli::SystemEnvironment());
}
