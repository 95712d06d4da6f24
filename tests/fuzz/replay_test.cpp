// Every fuzz target run over its seed inputs and over the inputs that fuzzing found
// (tests/fuzz/regressions/<target>/), on every platform: a property that stops holding stops the
// program with its name, after the line that shows the input. The inputs are counted, so that a
// wrong source folder cannot pass for an empty one.

#include "fuzz/fuzz_support.h"
#include "support/cases.h"
#include "support/test_support.h"

using FuzzReplayTest = testing_support::WorkFolderTest;

TEST_F(FuzzReplayTest, EveryTargetHoldsOnItsSeedsAndRegressions) {
  std::size_t regressions = 0;
  for (const fuzzing::FuzzTarget& target : fuzzing::fuzzTargets) {
    std::vector<std::string> inputs = fuzzing::seedInputs(target, KLV_SOURCE_DIR);
    EXPECT_GT(inputs.size(), 30u) << target.name;
    // A target without findings has no folder: its snapshot is empty.
    const auto found = testing_support::snapshot(KLV_SOURCE_DIR "/tests/fuzz/regressions/" + target.name);
    regressions += found.size();
    for (const auto& [file, input] : found) inputs.push_back(input);
    for (const std::string& input : inputs) {
      std::fprintf(stderr, "%s: %s\n", target.name.c_str(), testing_support::visible(input.substr(0, 80)).c_str());
      fuzzing::runTarget(target.name, reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
  }
  EXPECT_GT(regressions, 0u);
}
