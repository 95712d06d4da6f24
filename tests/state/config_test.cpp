// klv.cfg: the start values, what loading takes from a file, and a save that a failing file
// operation or a death leaves the old file or the new one, whole.

#include "state/start_log.h"
#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class ConfigTest : public WorkFolderTest {};

// Whatever was there before: the selection is forgotten, the options take their start values, and
// without a klv.cfg the folders are the default installation's.
TEST_F(ConfigTest, StartValuesAndTheDefaultFolders) {
  std::memset(&appState, 0x5A, sizeof appState);
  std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
  initAppState();
  loadConfig();
  saveConfig();
  const std::string routes = "c:\\program files\\zelvik\\railway\\route";
  EXPECT_EQ(std::string(appState.routeFile) + appState.trainName + "|" + appState.browseFolder + "|" +
                appState.csvOutPath + "|" + appState.rwOutPath,
            "|" + routes + "|" + routes + "\\klvtemp.csv|" + routes + "\\klvtemp.rw");
  const std::string folders = "c:\\program files\\zelvik|" + routes + "|c:\\program files\\zelvik\\train";
  EXPECT_EQ(readBytes("klv.cfg"), configText("0 0 0 0 0 0", "650 0 30 240", "653 0", "", folders));
}

// What klv.cfg gives, seen as the folders loaded and the klv.cfg saved from them.
TEST_F(ConfigTest, LoadingRules) {
  const std::string f260(260, 'f');
  const struct { std::string file, folders, options, interval, adhesion, name; } cases[] = {
      {"c:\\sim\r\nc:\\routes\\\nc:\\trains\\\r\n1 1 0 1 0 1\n651 -90 45 299\r\n654 20\r\nMy Signals\r\n",
       "c:\\sim|c:\\routes|c:\\trains", "1 1 0 1 0 1", "651 -90 45 299", "654 20", "My Signals"},
      // The name starts where a number is malformed.
      {"a\nb\nc\n1 1 x 0 0 0\n651 1 2 3\n654 5\nName", "a|b|c", "1 1 0 0 0 0", "650 0 30 240", "653 0", "x 0 0 0"},
      {"a\nb\nc\n99999999999 -99999999999 0\n0 0 0 651 900 5 700\n\n999 -3\n  A Very Long Signal Name",
       "a|b|c", "2147483647 -2147483648 0 0 0 0", "651 900 5 700", "999 -3", "A Very Long Sig"},
      {std::string(300, 'f') + "\nb\nc\n",  // a longer line goes on as the next one
       f260 + "|" + std::string(40, 'f') + "|b", "0 0 0 0 0 0", "650 0 30 240", "653 0", "c"},
      {f260 + "\nroutes\ntrains\n0 0 0 0 0 0\n652 0 30 240\n653 0\nName",
       f260 + "|routes|trains", "0 0 0 0 0 0", "652 0 30 240", "653 0", "Name"},
  };
  for (const auto& c : cases) {
    resetAppState();
    writeBytes("klv.cfg", c.file);
    loadConfig();
    saveConfig();
    EXPECT_EQ(std::string(appState.simFolder) + "|" + appState.routeFolder + "|" + appState.trainFolder + "|" +
                  readBytes("klv.cfg"),
              c.folders + "|" + configText(c.options, c.interval, c.adhesion, c.name, c.folders)) << c.file;
  }
}

// Saving klv.cfg when a file operation fails at any point, or the process dies there: afterwards
// the file is the old one or the new one, whole.

TEST_F(ConfigTest, AFailedSaveLeavesTheOldFileOrTheNewOneWhole) {
  const std::string oldFile = configText("1 1 1 1 1 1", "651 5 30 240", "654 9", "Old");
  const std::string newFile = configText("0 0 0 0 0 0", "650 0 30 240", "653 0", "New");
  // Operation 1 writes klv.cfg.new, 2 puts it in klv.cfg's place; `kill` dies there.
  const struct { FileFault fault; bool saved, newLeft; } cases[] = {
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
    EXPECT_EQ(readBytes("klv.cfg") + (exists("klv.cfg.new") ? "and klv.cfg.new" : ""),
              (c.saved ? newFile : oldFile) + (c.newLeft ? "and klv.cfg.new" : "")) << c.fault.failAt << c.fault.kill;
  }
}

// klevane.log keeps the last 200 starts, each on one line, and gives them back newest first.
TEST_F(ConfigTest, TheLogOfStartsKeepsTheLast200) {
  StartRecord start{"2026-12-07 10:05:00", "c:\\r\\line.klf", "Local", "Alpine",
                    {1, 0, 0, 1, 0, 1, 652, 655, 0, 0, 30, 240}, 0, "yn", "failed: Error\tin\r\nline 1"};
  EXPECT_EQ(startLogLine(start), "2026-12-07 10:05:00\tc:\\r\\line.klf\tLocal\tAlpine\t1 0 0 1 0 1 / 652 0 30 240"
                                 " / 655 0\t0\tyn\tfailed: Error in  line 1");
  for (start.seed = 0; start.seed <= 200; ++start.seed) ASSERT_TRUE(appendStartLog(start));
  StartRecord read;
  std::string seeds;
  for (int newest : {1, 200, 201}) seeds += readStartLog(newest, read) ? std::to_string(read.seed) + " " : "- ";
  EXPECT_EQ(seeds, "200 1 - ");
  EXPECT_EQ(read.route + "|" + read.answers + "|" + read.outcome + "|" + std::to_string(read.options.adhesionMode) +
                " " + std::to_string(read.options.tiltingTrain), "c:\\r\\line.klf|yn|failed: Error in  line 1|655 1");
  EXPECT_FALSE(exists("klevane.log.new"));
}

}  // namespace
