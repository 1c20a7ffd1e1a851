#include <iostream>
#include <string>
#include <vector>

#include "driver/command_line.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return meridolan::run_command(args, std::cin, std::cout, std::cerr);
}
