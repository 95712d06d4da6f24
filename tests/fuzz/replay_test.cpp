// Every fuzz target run over its seed inputs and over the regression inputs that fuzzing found
// (tests/fuzz/regressions/<target>/), on every platform: a property that stops holding stops the
// program with its name, after the line that names the input.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class FuzzReplayTest : public WorkFolderTest {
 protected:
  static void replay(const fuzzing::FuzzTarget& target, const std::string& what, const std::string& input) {
    std::printf("%s: %s (%zu bytes)\n", target.name, what.c_str(), input.size());
    std::fflush(stdout);
    target.run(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
};

TEST_F(FuzzReplayTest, EveryTargetHoldsOnItsSeeds) {
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets()) {
    std::vector<std::string> seeds = fuzzing::seedInputs(target.name, KLV_SOURCE_DIR);
    EXPECT_GT(seeds.size(), 20u) << target.name;
    for (std::size_t i = 0; i < seeds.size(); ++i) replay(target, "seed " + std::to_string(i), seeds[i]);
  }
}

TEST_F(FuzzReplayTest, EveryTargetHoldsOnItsRegressions) {
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets()) {
    fs::path folder = fs::path(KLV_SOURCE_DIR) / "tests" / "fuzz" / "regressions" / target.name;
    if (!fs::is_directory(folder)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      replay(target, entry.path().filename().string(), readBytes(entry.path().string()));
    }
  }
}

}  // namespace
