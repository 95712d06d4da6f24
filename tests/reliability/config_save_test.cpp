// Saving klv.cfg when a file operation fails at any point, or the process dies there: afterwards
// the file is the old one or the new one, whole.
#include <cstdio>
#include <string>

#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class ConfigSaveTest : public WorkFolderTest {};

TEST_F(ConfigSaveTest, AFailedSaveLeavesTheOldFileOrTheNewOneWhole) {
  const std::string oldFile = configText("1 1 1 1 1 1", "651 5 30 240", "654 9", "Old");
  const struct {
    FileFault fault;  // operation 1 writes klv.cfg.new, 2 puts it in klv.cfg's place; `kill` dies there
    bool saved, newLeft;
  } cases[] = {
      {{1, false}, false, false}, {{1, true}, false, false}, {{2, false}, false, false},
      {{2, true}, false, true},   {{3, false}, true, false}, {{0, false}, true, false},
  };
  for (const auto& c : cases) {
    writeBytes("klv.cfg", oldFile);
    std::remove("klv.cfg.new");
    resetAppState();
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "New");
    setFileFaultHook(c.fault);
    saveConfig();
    setFileFaultHook({0, false});
    EXPECT_EQ(readBytes("klv.cfg"), c.saved ? configText("0 0 0 0 0 0", "650 0 30 240", "653 0", "New") : oldFile)
        << c.fault.failAt << c.fault.kill;
    EXPECT_EQ(exists("klv.cfg.new"), c.newLeft) << c.fault.failAt << c.fault.kill;
  }
}

}  // namespace
