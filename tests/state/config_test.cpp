#include <cstring>
#include <string>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct Options {
  int developerMode, randomTrackQuality, randomStationWait, randomStationJam, randomStarterAspect, tiltingTrain;
  int intervalMode, intervalSpread, intervalMin, intervalMax, adhesionMode, adhesionSpread;
};

Options currentOptions() {
  const StartOptions& o = appState.options;
  return {o.developerMode,  o.randomTrackQuality, o.randomStationWait, o.randomStationJam,
          o.randomStarterAspect, o.tiltingTrain,  o.intervalMode,      o.intervalSpread,
          o.intervalMin,    o.intervalMax,        o.adhesionMode,      o.adhesionSpread};
}

bool operator==(const Options& a, const Options& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::ostream& operator<<(std::ostream& out, const Options& o) {
  return out << o.developerMode << ' ' << o.randomTrackQuality << ' ' << o.randomStationWait << ' '
             << o.randomStationJam << ' ' << o.randomStarterAspect << ' ' << o.tiltingTrain << " / " << o.intervalMode
             << ' ' << o.intervalSpread << ' ' << o.intervalMin << ' ' << o.intervalMax << " / " << o.adhesionMode
             << ' ' << o.adhesionSpread;
}

const Options startValues = {0, 0, 0, 0, 0, 0, 650, 0, 30, 240, 653, 0};

class ConfigTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::memset(&appState, 0x5A, sizeof appState);  // nothing may depend on what was there before
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    appState.swapSignals = false;
    initAppState();
  }
};

TEST_F(ConfigTest, InitialStateAndDefaultsWithoutAFile) {
  EXPECT_EQ(currentOptions(), startValues);
  EXPECT_EQ(appState.routeKind, 0);
  EXPECT_FALSE(appState.buildFailed);
  EXPECT_STREQ(appState.routeFile, "");
  EXPECT_STREQ(appState.trainName, "");
  EXPECT_EQ(appState.trainBitmap, nullptr);
  EXPECT_EQ(appState.panelBitmap, nullptr);

  loadConfig();
  EXPECT_STREQ(appState.simFolder, "c:\\program files\\zelvik");
  EXPECT_STREQ(appState.routeFolder, "c:\\program files\\zelvik\\railway\\route");
  EXPECT_STREQ(appState.trainFolder, "c:\\program files\\zelvik\\train");
  EXPECT_STREQ(appState.browseFolder, appState.routeFolder);
  EXPECT_STREQ(appState.csvOutPath, "c:\\program files\\zelvik\\railway\\route\\klvtemp.csv");
  EXPECT_STREQ(appState.rwOutPath, "c:\\program files\\zelvik\\railway\\route\\klvtemp.rw");
  EXPECT_STREQ(appState.signalSystem, "");
  EXPECT_EQ(currentOptions(), startValues);
  EXPECT_FALSE(exists("klv.cfg"));  // loading never creates the file
}

TEST_F(ConfigTest, LoadingRules) {
  struct Case {
    const char* what;
    std::string file;
    const char* folders[3];
    Options options;
    const char* signalSystem;
  } cases[] = {
      {"a complete file with LF ends",
       "c:\\sim\nc:\\routes\\\nc:\\trains\n1 1 0 1 0 1\n651 90 45 300\n654 20\nMy Signals",
       {"c:\\sim", "c:\\routes", "c:\\trains"},
       {1, 1, 0, 1, 0, 1, 651, 90, 45, 300, 654, 20},
       "My Signals"},
      {"CR LF line ends",
       "c:\\sim\\\r\nd:\\r\r\ne:\\t\r\n0 0 0 0 0 1\r\n652 0 10 600\r\n655 0\r\nZelvik Default",
       {"c:\\sim", "d:\\r", "e:\\t"},
       {0, 0, 0, 0, 0, 1, 652, 0, 10, 600, 655, 0},
       "Zelvik Default"},
      {"a line of only its line end, and single characters",
       "\nx\nc:\\\n",
       {"\n", "x", "c:"},
       startValues,
       ""},
      {"the file ends after line 3", "a\nb\nc\n", {"a", "b", "c"}, startValues, ""},
      {"no line end after line 3 keeps every character", "a1\nb2\nc3", {"a1", "b2", "c3"}, startValues, ""},
      {"a malformed number stops the numbers; the name starts there",
       "a\nb\nc\n0 0 x 0 0 0\n651 1 2 3\n654 5\nName",
       {"a", "b", "c"},
       {0, 0, 0, 0, 0, 0, 650, 0, 30, 240, 653, 0},
       "x 0 0 0"},
      {"a line end after the name is no part of it",
       "a\r\nb\r\nc\r\n0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nZelvik Default\r\n",
       {"a", "b", "c"},
       startValues,
       "Zelvik Default"},
      {"the name is cut at 15 characters",
       "a\nb\nc\n0 0 0 0 0 0\n650 0 30 240\n653 0\nA Very Long Signal Name",
       {"a", "b", "c"},
       startValues,
       "A Very Long Sig"},
      {"lines are not enforced; values are not validated",
       "a\nb\nc\n1 0 0\n0 0 0 651 900 5 700\n\n999 -3\n  Spaced",
       {"a", "b", "c"},
       {1, 0, 0, 0, 0, 0, 651, 900, 5, 700, 999, -3},
       "Spaced"},
      {"numbers past 32 bits saturate",
       "a\nb\nc\n99999999999 -99999999999 0 0 0 0\n650 0 30 240\n653 0\n",
       {"a", "b", "c"},
       {2147483647, -2147483648, 0, 0, 0, 0, 650, 0, 30, 240, 653, 0},
       ""},
      {"a missing line 7 leaves the name", "a\nb\nc\n0 0 0 0 0 0\n650 0 30 240\n653 0\n", {"a", "b", "c"},
       startValues, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    initAppState();
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    writeBytes("klv.cfg", c.file);
    loadConfig();
    EXPECT_STREQ(appState.simFolder, c.folders[0]);
    EXPECT_STREQ(appState.routeFolder, c.folders[1]);
    EXPECT_STREQ(appState.trainFolder, c.folders[2]);
    EXPECT_STREQ(appState.browseFolder, c.folders[1]);
    EXPECT_EQ(std::string(appState.csvOutPath), std::string(c.folders[1]) + "\\klvtemp.csv");
    EXPECT_EQ(std::string(appState.rwOutPath), std::string(c.folders[1]) + "\\klvtemp.rw");
    EXPECT_EQ(currentOptions(), c.options);
    EXPECT_STREQ(appState.signalSystem, c.signalSystem);
  }
}

TEST_F(ConfigTest, AFolderLineOverTheLimitIsCutAndGoesOnInTheNextField) {
  std::string longFolder(300, 'f');
  writeBytes("klv.cfg", longFolder + "\nb\nc\n");
  loadConfig();
  EXPECT_EQ(std::string(appState.simFolder), std::string(260, 'f'));
  EXPECT_EQ(std::string(appState.routeFolder), std::string(40, 'f'));
  EXPECT_STREQ(appState.trainFolder, "b");
}

TEST_F(ConfigTest, SaveWritesTheSevenLines) {
  std::strcpy(appState.simFolder, "c:\\program files\\zelvik");
  std::strcpy(appState.routeFolder, "c:\\program files\\zelvik\\railway\\route");
  std::strcpy(appState.trainFolder, "c:\\program files\\zelvik\\train");
  std::strcpy(appState.signalSystem, "Zelvik Default");
  saveConfig();
  EXPECT_EQ(readBytes("klv.cfg"), "c:\\program files\\zelvik" + eol + "c:\\program files\\zelvik\\railway\\route" + eol +
                                      "c:\\program files\\zelvik\\train" + eol + "0 0 0 0 0 0" + eol + "650 0 30 240" +
                                      eol + "653 0" + eol + "Zelvik Default");

  StartOptions& o = appState.options;
  o.developerMode = 1;
  o.randomStationWait = 1;
  o.randomStarterAspect = 1;
  o.intervalMode = 652;
  o.intervalSpread = 17;
  o.intervalMin = 11;
  o.intervalMax = 599;
  o.adhesionMode = 654;
  o.adhesionSpread = 200;
  saveConfig();  // replaces the file
  EXPECT_EQ(readBytes("klv.cfg"), "c:\\program files\\zelvik" + eol + "c:\\program files\\zelvik\\railway\\route" + eol +
                                      "c:\\program files\\zelvik\\train" + eol + "1 0 1 0 1 0" + eol + "652 17 11 599" +
                                      eol + "654 200" + eol + "Zelvik Default");
}

TEST_F(ConfigTest, SaveThenLoadGivesBackEverything) {
  std::strcpy(appState.simFolder, "d:\\games\\zelvik\\");
  std::strcpy(appState.routeFolder, "d:\\routes");
  std::strcpy(appState.trainFolder, "d:\\trains with blanks");
  std::strcpy(appState.signalSystem, "Semaphores 1920");
  appState.options = {0, 1, 1, 1, 0, 1, 651, 600, 10, 10, 655, 0};
  Options saved = currentOptions();
  saveConfig();

  initAppState();
  std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
  loadConfig();
  EXPECT_STREQ(appState.simFolder, "d:\\games\\zelvik");  // the trailing backslash does not come back
  EXPECT_STREQ(appState.routeFolder, "d:\\routes");
  EXPECT_STREQ(appState.trainFolder, "d:\\trains with blanks");
  EXPECT_STREQ(appState.signalSystem, "Semaphores 1920");
  EXPECT_EQ(currentOptions(), saved);
}

TEST_F(ConfigTest, AnUnwritableFileIsIgnored) {
  std::filesystem::create_directory("klv.cfg");  // a folder in the file's place
  std::strcpy(appState.simFolder, "x");
  saveConfig();
  EXPECT_STREQ(appState.simFolder, "x");
  EXPECT_TRUE(std::filesystem::is_directory("klv.cfg"));
}

}  // namespace
