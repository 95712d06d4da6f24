// Every fuzz target run over its seed inputs and over the inputs that fuzzing found
// (tests/fuzz/regressions/<target>/), on every platform: a property that stops holding stops the
// program with its name, after the line that names the input. The inputs are counted, so that a
// wrong source folder cannot pass for an empty one.
#include <cstdio>
#include <filesystem>

#include "fuzz/fuzz_support.h"
#include "support/test_support.h"

namespace {

using FuzzReplayTest = testing_support::WorkFolderTest;

TEST_F(FuzzReplayTest, EveryTargetHoldsOnItsSeedsAndRegressions) {
  int regressions = 0;
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets()) {
    std::vector<std::string> inputs = fuzzing::seedInputs(target, KLV_SOURCE_DIR), names(inputs.size(), "seed");
    EXPECT_GT(inputs.size(), 20u) << target.name;
    std::error_code none;  // a target without findings has no folder
    const std::string folder = KLV_SOURCE_DIR "/tests/fuzz/regressions/" + std::string(target.name);
    for (const auto& entry : std::filesystem::directory_iterator(folder, none)) {
      names.push_back(entry.path().filename().string());
      inputs.push_back(testing_support::readBytes(entry.path().string()));
      ++regressions;
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      std::printf("%s: %s %zu (%zu bytes)\n", target.name, names[i].c_str(), i, inputs[i].size());
      std::fflush(stdout);
      fuzzing::runTarget(target.name, reinterpret_cast<const std::uint8_t*>(inputs[i].data()), inputs[i].size());
    }
  }
  EXPECT_GT(regressions, 0);
}

}  // namespace
