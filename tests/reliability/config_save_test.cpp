// Saving klv.cfg when a file operation fails at any point, or the process dies there: afterwards
// the file is the old one or the new one, whole, and the next load reads it.
#include <cstring>
#include <string>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class ConfigSaveTest : public WorkFolderTest {
 protected:
  void TearDown() override {
    setFileFaultHook({0, false});
    WorkFolderTest::TearDown();
  }
};

TEST_F(ConfigSaveTest, AFailedSaveLeavesTheOldFileOrTheNewOneWhole) {
  const std::string oldFile = "old sim\nold routes\nold trains\n1 1 1 1 1 1\n651 5 30 240\n654 9\nOld";
  const std::string newFile = "sim" + eol + "routes" + eol + "trains" + eol + "0 0 0 0 0 0" + eol + "650 0 30 240" +
                              eol + "653 0" + eol + "New";
  const struct {
    int failAt;  // the failing operation: 1 writes klv.cfg.new, 2 puts it in klv.cfg's place
    bool kill;   // the process dies there
    std::string file;
    bool newLeft;  // klv.cfg.new is left behind
  } cases[] = {
      {1, false, oldFile, false}, {1, true, oldFile, false},  {2, false, oldFile, false},
      {2, true, oldFile, true},   {3, false, newFile, false}, {0, false, newFile, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "fail at " << c.failAt << (c.kill ? ", dying" : ""));
    writeBytes("klv.cfg", oldFile);
    std::remove("klv.cfg.new");
    initAppState();
    std::strcpy(appState.simFolder, "sim");
    std::strcpy(appState.routeFolder, "routes");
    std::strcpy(appState.trainFolder, "trains");
    std::strcpy(appState.signalSystem, "New");
    setFileFaultHook({c.failAt, c.kill});
    saveConfig();
    setFileFaultHook({0, false});
    EXPECT_EQ(readBytes("klv.cfg"), c.file);
    EXPECT_EQ(exists("klv.cfg.new"), c.newLeft);
    loadConfig();
    EXPECT_STREQ(appState.signalSystem, c.file == newFile ? "New" : "Old");
  }
}

TEST_F(ConfigSaveTest, AFolderOfTheLongestLengthComesBack) {
  // 260 characters fill the field; the line end behind them belongs to the same line.
  const std::string folder(260, 'f');
  std::strcpy(appState.simFolder, folder.c_str());
  std::strcpy(appState.routeFolder, "routes");
  std::strcpy(appState.trainFolder, "trains");
  std::strcpy(appState.signalSystem, "Name");
  appState.options.intervalMode = 652;
  saveConfig();
  initAppState();
  loadConfig();
  EXPECT_EQ(std::string(appState.simFolder), folder);
  EXPECT_STREQ(appState.routeFolder, "routes");
  EXPECT_STREQ(appState.trainFolder, "trains");
  EXPECT_EQ(appState.options.intervalMode, 652);
  EXPECT_STREQ(appState.signalSystem, "Name");
}

}  // namespace
