#include "platform/platform.h"

#include "support/test_support.h"

using namespace testing_support;

namespace {

using PlatformTest = WorkFolderTest;

// Each run: save, rename, delete, save, rename, each on files of its own, then a rename onto a
// file, a delete of a folder and one of a missing file, which never succeed. Which of them the
// fault lets through, then whether the two askings after them were told of a refusal of the
// rights to write (once only; another failure is none), then the count of operations.
TEST_F(PlatformTest, FaultHookFailsTheCountedOperations) {
  writeBytes("sub/c", "x");
  const std::pair<FileFault, const char*> cases[] = {
      {{1, false, 1, true}, "0111100010 8"}, {{2, false}, "1011100000 8"}, {{2, false, 2}, "1001100000 8"},
      {{3, true}, "1100000000 8"}, {{0, false}, "1111100000 8"},
  };
  for (const auto& c : cases) {
    for (const char* name : {"s1", "r2", "s2", "q2"}) std::remove(name);
    for (const char* name : {"r1", "d", "q1"}) writeBytes(name, "x");
    setFileFaultHook(c.first);
    std::string passed;
    for (bool ok : {saveWholeFile("s1", "1", 1), renameFile("r1", "r2"), deleteFile("d"), saveWholeFile("s2", "2", 1),
                    renameFile("q1", "q2"), renameFile("r2", "q2"), deleteFile("sub"), deleteFile("none")})
      passed += ok ? '1' : '0';
    for (bool told : {takeRightsRefused(), takeRightsRefused()}) passed += told ? '1' : '0';
    EXPECT_EQ(passed + " " + std::to_string(fileOperationCount()), c.second) << c.first.failAt << c.first.kill;
    setFileFaultHook({0, false});
  }
  EXPECT_EQ(readBytes("r2") + readBytes("q2"), "xx");  // the rename onto a file changed neither
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
  auto percentOf = [](int at, int length) { return length > 0 ? static_cast<int>(at * 100.0 / length) : 100; };
  ProgressRecorder reports;
  ProgressReporter progress;
  const int& until = progress.samePercentUntil;  // the first position of the next percentage
  std::vector<int> expected;
  for (const auto& u : updates) {
    const int percent = percentOf(u.first, u.second);
    if (expected.empty() || percent != expected.back()) expected.push_back(percent);
    progress.update(u.first, u.second);
    ASSERT_EQ(reports.percents, expected) << "position " << u.first << " of " << u.second;
    for (int ahead = u.first; ahead < until && ahead <= u.first + 300; ++ahead)
      ASSERT_EQ(percentOf(ahead, u.second), percent) << "position " << ahead << " of " << u.second;
    ASSERT_TRUE(u.second <= 0 || until > u.second || percentOf(until, u.second) != percent) << until << "/" << u.second;
  }
}

}  // namespace
