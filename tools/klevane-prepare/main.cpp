#include <iostream>

#include "klevane-prepare/prepare.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  keepReleasedMemory();
  return runPrepare(argc, argv, std::cout, std::cerr);
}
