// klv_fuzz_seeds OUTDIR: writes the seed inputs of every fuzz target into OUTDIR/<target>/, and
// prints each target's name and -max_len, for scripts/fuzz.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_support.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: klv_fuzz_seeds OUTDIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets()) {
    fs::path folder = fs::path(argv[1]) / target.name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    int number = 0;
    for (const std::string& seed : fuzzing::seedInputs(target.name, KLV_SOURCE_DIR)) {
      char name[32];
      std::snprintf(name, sizeof name, "seed-%04d", number++);
      std::ofstream(folder / name, std::ios::binary).write(seed.data(), static_cast<std::streamsize>(seed.size()));
    }
    std::printf("%s %zu\n", target.name, target.maxLength);
  }
  return 0;
}
