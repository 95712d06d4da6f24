#include "app/route_browser.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

Names sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

class RouteBrowserTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    initAppState();
  }
};

TEST_F(RouteBrowserTest, AFolderListsRouteFilesAndSubFolders) {
  fs::create_directories("routes/x");
  fs::create_directories("routes/y.csv");
  for (const char* file : {"a.csv", "B.RW", "c.klf", "klvtemp.csv", "klvtemp.rw", "d.txt", ".rw", ".csv", "x.rw",
                           "e.Klf", "f.csvx"})
    writeBytes(std::string("routes/") + file, "");
  Names entries;
  ASSERT_TRUE(listRouteEntries("routes", entries));
  EXPECT_EQ(sorted(entries), sorted({"a.csv", "B.RW", "c.klf", "x.rw", "e.Klf", "y.csv", "  (x)", "  (y.csv)", "  (..)"}));
  EXPECT_FALSE(listRouteEntries("no such folder", entries));
  EXPECT_EQ(entries.size(), 9u);  // kept as it was

  // Only the program's own outputs, spelled as it writes them, are left out.
  fs::create_directories("other");
  writeBytes("other/KLVTEMP.CSV", "");
  ASSERT_TRUE(listRouteEntries("other", entries));
  EXPECT_EQ(sorted(entries), sorted({"KLVTEMP.CSV", "  (..)"}));
}

TEST(RouteBrowserRules, RouteFileNamesAndKinds) {
  const std::pair<const char*, bool> names[] = {
      {".rw", false}, {"a.rw", true}, {".csv", false}, {"a.csv", true}, {".klf", false}, {"A.KLF", true},
      {"arw", false}, {"a.rw ", false}, {"a_rw", false}, {"route.txt", false},
  };
  for (const auto& n : names) EXPECT_EQ(isRouteFileName(n.first), n.second) << n.first;
  const std::pair<const char*, int> kinds[] = {
      {"Line.CSV", 2}, {"line.rw", 1}, {"line.klf", 3}, {"LINE.RW", 1}, {"notes.txt", 0}, {"", 0},
  };
  for (const auto& k : kinds) EXPECT_EQ(routeKindOf(k.first), k.second) << k.first;
}

TEST(RouteBrowserRules, JoiningAndGoingUp) {
  EXPECT_EQ(joinFolder("c:\\routes", "x"), "c:\\routes\\x");
  EXPECT_EQ(joinFolder("c:\\", "x"), "c:\\x");
  const std::pair<const char*, const char*> ups[] = {
      {"c:\\routes\\line1", "c:\\routes"},
      {"c:\\routes\\", "c:\\routes"},
      {"c:\\", "c:\\"},
      {"c:\\routes", "c:\\"},
  };
  for (const auto& up : ups) {
    std::strcpy(appState.browseFolder, up.first);
    EXPECT_TRUE(chooseRouteEntry("  (..)"));
    EXPECT_STREQ(appState.browseFolder, up.second) << up.first;
  }
}

TEST_F(RouteBrowserTest, ChoosingEntries) {
  fs::create_directories("routes/x");
  std::strcpy(appState.browseFolder, "routes");

  EXPECT_FALSE(chooseRouteEntry("Line.CSV"));
  EXPECT_EQ(appState.routeKind, 2);
  EXPECT_STREQ(appState.routeFile, "Line.CSV");

  EXPECT_TRUE(chooseRouteEntry("  (x)"));  // into an existing sub-folder
  EXPECT_STREQ(appState.browseFolder, "routes\\x");
  EXPECT_EQ(appState.routeKind, 0);
  EXPECT_STREQ(appState.routeFile, "Line.CSV");  // kept

  EXPECT_TRUE(chooseRouteEntry("  (gone)"));  // a folder that cannot be entered changes nothing
  EXPECT_STREQ(appState.browseFolder, "routes\\x");
  EXPECT_TRUE(chooseRouteEntry("  (.)"));
  EXPECT_STREQ(appState.browseFolder, "routes\\x");

#ifndef _WIN32  // Windows itself refuses such long paths below a temporary folder
  std::string deep(250, 'd');
  fs::create_directories("routes/x/" + deep);
  EXPECT_TRUE(chooseRouteEntry(("  (" + deep + ")").c_str()));  // the joined path has 259 characters
  EXPECT_EQ(std::string(appState.browseFolder), "routes\\x\\" + deep);
  std::strcpy(appState.browseFolder, "routes\\x");
  std::string deeper(252, 'e');
  fs::create_directories("routes/x/" + deeper);
  EXPECT_TRUE(chooseRouteEntry(("  (" + deeper + ")").c_str()));  // 261 characters: not entered
  EXPECT_STREQ(appState.browseFolder, "routes\\x");
#endif
}

TEST_F(RouteBrowserTest, TrainsAreTheFoldersWithATrainDat) {
  fs::create_directories("trains/Local");
  fs::create_directories("trains/Regional");
  fs::create_directories("trains/Empty");
  fs::create_directories("trains/Odd/train.dat");  // a folder of that name is no file
  writeBytes("trains/Local/train.dat", "");
  writeBytes("trains/Regional/train.dat", "");
  writeBytes("trains/train.dat", "");  // the train folder itself holds one: "." is listed
  Names trains;
  ASSERT_TRUE(listTrains("trains", trains));
  EXPECT_EQ(sorted(trains), sorted({".", "Local", "Regional"}));
  EXPECT_FALSE(listTrains("none", trains));
}

TEST(RouteBrowserRules, EntryColours) {
  const std::pair<const char*, unsigned> entries[] = {
      {"  (x)", 0xFFF0C1}, {"  (y.csv)", 0xFFF0C1}, {"a.klf", 0xDDDEFF}, {"B.RW", 0xFFCFCF},
      {"c.csv", 0xE1FFC1},  {"C.CSV", 0xE1FFC1},     {"d.txt", 0xFFFFFF}, {"", 0xFFFFFF},
  };
  for (const auto& e : entries) EXPECT_EQ(routeEntryColour(e.first), e.second) << e.first;
}

TEST_F(RouteBrowserTest, SelectAndLaunchDecisions) {
  appState.routeKind = 0;
  EXPECT_FALSE(canSelect(true));
  appState.routeKind = 3;
  EXPECT_FALSE(canSelect(false));
  EXPECT_TRUE(canSelect(true));

  appState.buildFailed = false;
  EXPECT_TRUE(shouldStartSimulator());
  appState.buildFailed = true;
  EXPECT_FALSE(shouldStartSimulator());
  appState.buildFailed = false;
  appState.routeKind = 0;
  EXPECT_FALSE(shouldStartSimulator());
}

TEST_F(RouteBrowserTest, TheSimulatorCommandLine) {
  std::strcpy(appState.simFolder, "c:\\program files\\zelvik");
  std::strcpy(appState.csvOutPath, "c:\\routes\\klvtemp.csv");
  std::strcpy(appState.rwOutPath, "c:\\routes\\klvtemp.rw");
  appState.outputIsCsv = true;
  appState.options.developerMode = 1;
  EXPECT_EQ(simulatorCommandLine(), "c:\\program files\\zelvik\\zelvik.exe \"c:\\routes\\klvtemp.csv\" /d=40752918");
  appState.outputIsCsv = false;
  appState.options.developerMode = 0;
  EXPECT_EQ(simulatorCommandLine(), "c:\\program files\\zelvik\\zelvik.exe \"c:\\routes\\klvtemp.rw\"");
}

}  // namespace
