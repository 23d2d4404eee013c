#include <iostream>
#include <string>
#include <vector>

#include "tools/book/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunBookCompiler(args, std::cout, std::cerr);
}
