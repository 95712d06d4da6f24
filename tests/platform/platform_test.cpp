#include "platform/platform.h"

#include "support/test_support.h"

using namespace testing_support;

namespace {

class PlatformTest : public WorkFolderTest {
 protected:
  void TearDown() override {
    setFileFaultHook({0, false});
    WorkFolderTest::TearDown();
  }
};

// Each run: save, rename, delete, save, rename, each on files of its own, then a rename onto a
// file, a delete of a folder and one of a missing file, which never succeed. Which of them the
// fault lets through.
TEST_F(PlatformTest, FaultHookFailsTheCountedOperations) {
  writeBytes("sub/c", "x");
  const std::pair<FileFault, const char*> cases[] = {
      {{2, false}, "10111000"}, {{2, false, 2}, "10011000"}, {{3, true}, "11000000"}, {{0, false}, "11111000"},
  };
  for (const auto& c : cases) {
    for (const char* name : {"s1", "r2", "s2", "q2"}) std::remove(name);
    for (const char* name : {"r1", "d", "q1"}) writeBytes(name, "x");
    setFileFaultHook(c.first);
    std::string passed;
    for (bool ok : {saveWholeFile("s1", "1", 1), renameFile("r1", "r2"), deleteFile("d"), saveWholeFile("s2", "2", 1),
                    renameFile("q1", "q2"), renameFile("r2", "q2"), deleteFile("sub"), deleteFile("none")}) {
      passed += ok ? '1' : '0';
    }
    EXPECT_EQ(fileOperationCount(), 8);
    setFileFaultHook({0, false});
    EXPECT_EQ(passed, c.second) << c.first.failAt << c.first.kill << c.first.count;
  }
  EXPECT_EQ(readBytes("r2") + readBytes("q2"), "xx");  // the rename onto a file changed neither
  // A refusal of the rights to write is told once; another failure is none.
  setFileFaultHook({1, false, 2, true});
  const bool refused = !saveWholeFile("s1", "1", 1) && takeRightsRefused() && !takeRightsRefused();
  setFileFaultHook({1, false, 1, false});
  EXPECT_TRUE(refused && !saveWholeFile("s1", "1", 1) && !takeRightsRefused());
}

// Whatever the order of the positions, a report goes out exactly when position * 100 / length,
// truncated, differs from the last one sent; and every position before samePercentUntil that a
// pass reads on to gives the last percentage sent.
TEST(Progress, ReportsExactlyTheChangesOfThePercentage) {
  std::vector<std::pair<int, int>> updates;  // position, length
  for (int length : {1, 2, 3, 7, 99, 100, 101, 1000013}) {
    const int forward = length > 1000 ? 37 : 1, backward = length > 1000 ? 4099 : 3;
    for (int position = 0; position <= length; position += forward) updates.push_back({position, length});
    for (int position = length; position >= 0; position -= backward) updates.push_back({position, length});
    updates.insert(updates.end(), {{length / 2, length}, {length / 2, length + 1}});
  }
  updates.insert(updates.end(), {{0, 0}, {5, 0}, {7, 3}});  // beyond the length, as after a NUL byte in a file
  auto percentOf = [](int position, int length) {
    return length > 0 ? static_cast<int>(static_cast<double>(position) * 100.0 / length) : 100;
  };
  ProgressRecorder reports;
  ProgressReporter progress;
  std::vector<int> expected;
  for (const auto& u : updates) {
    const int percent = percentOf(u.first, u.second);
    if (expected.empty() || percent != expected.back()) expected.push_back(percent);
    progress.update(u.first, u.second);
    ASSERT_EQ(reports.percents, expected) << "position " << u.first << " of " << u.second;
    for (int ahead = u.first; ahead < progress.samePercentUntil && ahead <= u.first + 300; ++ahead) {
      ASSERT_EQ(percentOf(ahead, u.second), percent) << "position " << ahead << " of " << u.second;
    }
    const int next = progress.samePercentUntil;  // the first position of the next percentage
    if (u.second > 0 && next <= u.second) {
      ASSERT_NE(percentOf(next, u.second), percent) << next << " of " << u.second;
    }
  }
}

}  // namespace
