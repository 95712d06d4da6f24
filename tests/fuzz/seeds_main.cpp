// klv_fuzz_seeds OUTDIR: writes the seed inputs of every fuzz target into
// OUTDIR/<target>/, and prints each target's name and -max_len, for scripts/fuzz.
#include <cstdio>
#include <filesystem>

#include "fuzz/fuzz_support.h"
#include "support/files.h"

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: klv_fuzz_seeds OUTDIR\n"), 2;
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets) {
    const std::string folder = std::string(argv[1]) + "/" + target.name + "/";
    std::filesystem::remove_all(folder);
    const std::vector<std::string> seeds = fuzzing::seedInputs(target, KLV_SOURCE_DIR);
    for (std::size_t i = 0; i < seeds.size(); ++i) testing_support::writeBytes(folder + std::to_string(i), seeds[i]);
    std::printf("%s %zu\n", target.name.c_str(), target.maxLength);
  }
}
