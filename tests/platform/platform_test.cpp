#include "platform/platform.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

using namespace testing_support;

namespace {

class PlatformTest : public WorkFolderTest {};

TEST_F(PlatformTest, WholeFilesKeepTheirBytes) {
  std::string bytes("a\r\nb\0c\xFF\x80\t", 9);
  ASSERT_TRUE(saveWholeFile("f.bin", bytes.data(), bytes.size()));
  EXPECT_EQ(readBytes("f.bin"), bytes);
  int size = -1;
  char* block = loadWholeFile("f.bin", 4, &size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(size, 9);
  EXPECT_EQ(std::string(block, 9), bytes);
  EXPECT_EQ(std::string(block + 9, 4), std::string(4, '\0'));  // the spare bytes are zero
  std::free(block);

  EXPECT_EQ(loadWholeFile("missing.bin", 4, &size), nullptr);
  std::filesystem::create_directory("folder");
  EXPECT_EQ(loadWholeFile("folder", 4, &size), nullptr);
  EXPECT_FALSE(saveWholeFile("missing-folder/f.bin", "x", 1));
}

TEST_F(PlatformTest, BackslashesInNamesReachSubfolders) {
  std::filesystem::create_directory("parts");
  writeBytes("parts/a.txt", "included");
  EXPECT_TRUE(fileExists("parts\\a.txt"));
  int size = 0;
  char* block = loadWholeFile("parts\\a.txt", 1, &size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string(block), "included");
  std::free(block);
  EXPECT_TRUE(folderExists("parts\\"));
  EXPECT_TRUE(renameFile("parts\\a.txt", "parts\\b.txt"));
  EXPECT_TRUE(exists("parts/b.txt"));
}

TEST_F(PlatformTest, FileAndFolderTests) {
  writeBytes("file.txt", "x");
  std::filesystem::create_directory("sub");
  EXPECT_TRUE(fileExists("file.txt"));
  EXPECT_FALSE(fileExists("sub"));
  EXPECT_FALSE(fileExists("none.txt"));
  EXPECT_TRUE(folderExists("sub"));
  EXPECT_FALSE(folderExists("file.txt"));
  EXPECT_FALSE(folderExists("none"));
}

TEST_F(PlatformTest, RenameNeverReplacesAFile) {
  writeBytes("a.bmp", "first");
  writeBytes("b.bmp", "second");
  EXPECT_FALSE(renameFile("a.bmp", "b.bmp"));
  EXPECT_EQ(readBytes("a.bmp"), "first");
  EXPECT_EQ(readBytes("b.bmp"), "second");

  EXPECT_TRUE(renameFile("a.bmp", "c.bmp"));
  EXPECT_FALSE(exists("a.bmp"));
  EXPECT_EQ(readBytes("c.bmp"), "first");
  EXPECT_FALSE(renameFile("a.bmp", "d.bmp"));  // the source is gone
  EXPECT_FALSE(exists("d.bmp"));
}

TEST_F(PlatformTest, DeleteRemovesFilesOnly) {
  writeBytes("a.tmp", "x");
  std::filesystem::create_directory("sub");
  EXPECT_TRUE(deleteFile("a.tmp"));
  EXPECT_FALSE(exists("a.tmp"));
  EXPECT_FALSE(deleteFile("a.tmp"));
  EXPECT_FALSE(deleteFile("sub"));
  EXPECT_TRUE(exists("sub"));
}

TEST_F(PlatformTest, FilePresentSeesFilesOnly) {
  writeBytes("a.bmp", "x");
  std::filesystem::create_directory("sub");
  EXPECT_TRUE(filePresent("a.bmp"));
  EXPECT_FALSE(filePresent("sub"));
  EXPECT_FALSE(filePresent("none.bmp"));
}

// Each run: save, rename, delete, save, rename, each on files of its own; which of them the
// fault lets through.
TEST_F(PlatformTest, FaultHookFailsTheCountedOperations) {
  const struct {
    FileFault fault;
    std::string passed;
  } cases[] = {
      {{0, false}, "11111"}, {{2, false}, "10111"}, {{2, false, 2}, "10011"},
      {{3, true}, "11000"}, {{6, true}, "11111"},
  };
  for (const auto& c : cases) {
    for (const char* name : {"s1", "r2", "s2", "q2"}) std::filesystem::remove(name);
    for (const char* name : {"r1", "d", "q1"}) writeBytes(name, "x");
    setFileFaultHook(c.fault);
    std::string passed;
    passed += saveWholeFile("s1", "1", 1) ? '1' : '0';
    passed += renameFile("r1", "r2") ? '1' : '0';
    passed += deleteFile("d") ? '1' : '0';
    passed += saveWholeFile("s2", "2", 1) ? '1' : '0';
    passed += renameFile("q1", "q2") ? '1' : '0';
    EXPECT_EQ(fileOperationCount(), 5);
    setFileFaultHook({0, false});
    EXPECT_EQ(passed, c.passed) << c.fault.failAt << c.fault.kill << c.fault.count;
  }
}

TEST_F(PlatformTest, FolderListingGivesEveryEntryWithDotAndDotDot) {
  writeBytes("a.csv", "");
  writeBytes("B.RW", "");
  std::filesystem::create_directory("x");
  FolderScan* scan = openFolder(".");
  ASSERT_NE(scan, nullptr);
  std::set<std::string> names;
  while (const char* name = nextFolderEntry(scan)) names.insert(name);
  closeFolder(scan);
  EXPECT_EQ(names, (std::set<std::string>{".", "..", "B.RW", "a.csv", "x"}));
  EXPECT_EQ(openFolder("no-such-folder"), nullptr);
}

TEST_F(PlatformTest, TextFilesReadEitherLineEndAndWriteThePlatforms) {
  const std::pair<std::string, std::string> reads[] = {
      {"a\r\nb\r\n", "a\nb\n"}, {"a\nb", "a\nb"}, {"a\rb\r", "a\rb\r"}, {"\r\r\n", "\r\n"}, {"", ""},
  };
  for (const auto& c : reads) {
    writeBytes("t.txt", c.first);
    std::string text = "old";
    ASSERT_TRUE(readTextFile("t.txt", text));
    EXPECT_EQ(text, c.second) << ::testing::PrintToString(c.first);
  }
  std::string untouched = "old";
  EXPECT_FALSE(readTextFile("missing.txt", untouched));

  ASSERT_TRUE(writeTextFile("w.txt", "one\ntwo\n"));
#ifdef _WIN32
  EXPECT_EQ(readBytes("w.txt"), "one\r\ntwo\r\n");
#else
  EXPECT_EQ(readBytes("w.txt"), "one\ntwo\n");
#endif
}

TEST(MessageBoxes, AHandlerSeesEveryBoxAndGivesTheAnswer) {
  MessageRecorder messages(answerYes);
  EXPECT_EQ(showMessageBox(nullptr, "Go on?", "Question", mbYesNo | mbIconQuestion), answerYes);
  ASSERT_EQ(messages.calls().size(), 1u);
  EXPECT_EQ(messages.calls()[0].caption, "Question");
  EXPECT_EQ(messages.calls()[0].text, "Go on?");
  EXPECT_EQ(messages.calls()[0].style, static_cast<unsigned>(mbYesNo | mbIconQuestion));
}

TEST(Progress, ReportsOnlyChangedPercentages) {
  std::vector<int> reports;
  setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
  ProgressReporter progress;
  for (int position = 0; position <= 1048576; ++position) progress.update(position, 1048576);
  setProgressHandler(nullptr);
  ASSERT_EQ(reports.size(), 101u);
  for (int i = 0; i <= 100; ++i) EXPECT_EQ(reports[i], i);

  reports.clear();
  setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
  ProgressReporter small;
  for (int position = 1; position <= 3; ++position) small.update(position, 3);  // 33, 66, 100: truncated
  small.update(0, 0);
  setProgressHandler(nullptr);
  EXPECT_EQ(reports, (std::vector<int>{33, 66, 100}));
}

// Whatever the order of the positions, a report goes out exactly when position * 100 / length,
// truncated, differs from the last one sent; and every position before samePercentUntil that a
// pass reads on to gives the last percentage sent.
TEST(Progress, ReportsExactlyTheChangesOfThePercentage) {
  struct Update {
    int position;
    int length;
  };
  std::vector<Update> updates;
  for (int length : {1, 2, 3, 7, 99, 100, 101, 1000013}) {
    const int forward = length > 1000 ? 37 : 1, backward = length > 1000 ? 4099 : 3;
    for (int position = 0; position <= length; position += forward) updates.push_back({position, length});
    for (int position = length; position >= 0; position -= backward) updates.push_back({position, length});
    updates.push_back({length / 2, length});
    updates.push_back({length / 2, length + 1});
  }
  updates.push_back({0, 0});
  updates.push_back({5, 0});
  updates.push_back({7, 3});  // beyond the length, as after a NUL byte in a file

  std::vector<int> reports;
  setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
  ProgressReporter progress;
  std::vector<int> expected;
  for (const Update& u : updates) {
    int percent = u.length > 0 ? static_cast<int>(static_cast<double>(u.position) * 100.0 / u.length) : 100;
    if (expected.empty() || percent != expected.back()) expected.push_back(percent);
    progress.update(u.position, u.length);
    ASSERT_EQ(reports, expected) << "position " << u.position << " of " << u.length;
    for (int ahead = u.position; ahead < progress.samePercentUntil && ahead <= u.position + 300; ++ahead) {
      int same = u.length > 0 ? static_cast<int>(static_cast<double>(ahead) * 100.0 / u.length) : 100;
      ASSERT_EQ(same, percent) << "position " << ahead << " of " << u.length;
    }
    if (u.length > 0 && progress.samePercentUntil <= u.length) {
      int next = static_cast<int>(static_cast<double>(progress.samePercentUntil) * 100.0 / u.length);
      ASSERT_NE(next, percent) << "the first position of the next percentage, " << u.length;
    }
  }
  setProgressHandler(nullptr);
}

}  // namespace
