// klv-bench-routes: writes the measurement routes and their program folder, for the instruction
// counts of scripts/bench and for anyone who wants to run klevane-prepare on large routes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "route_generator.h"

int main(int argc, char** argv) {
  int bytes = bench::defaultRouteBytes;
  const char* folder = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--bytes") == 0 && i + 1 < argc) {
      bytes = std::atoi(argv[++i]);
    } else if (argv[i][0] != '-' && !folder) {
      folder = argv[i];
    } else {
      folder = nullptr;
      break;
    }
  }
  if (!folder || bytes <= 0) {
    std::fprintf(stderr,
                 "Usage: klv-bench-routes [--bytes N] FOLDER\n"
                 "Writes bench.csv, bench.rw and bench.klf of about N bytes each (default %d), the files\n"
                 "bench.klf includes, the starting options bench.cfg and the signal system Semaphores.\n",
                 bench::defaultRouteBytes);
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!bench::writeBenchFolder(folder, bytes)) {
    std::fprintf(stderr, "klv-bench-routes: cannot write into %s\n", folder);
    return 1;
  }
  return 0;
}
