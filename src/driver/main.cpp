#include <iostream>

#include "driver/run.h"

int main() {
  std::ios::sync_with_stdio(false);
  return meridolan::run(std::cin, std::cout);
}
