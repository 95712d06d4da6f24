#include "app/folder_settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class FolderSettingsTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    initAppState();
    setFolders("c:\\sim", "c:\\routes", "c:\\trains");
    std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "c:\\routes\\line1");
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "Alpine");
    appState.options.intervalMode = 652;
  }

  static void setFolders(const char* sim, const char* route, const char* train) {
    std::snprintf(appState.simFolder, sizeof appState.simFolder, "%s", sim);
    std::snprintf(appState.routeFolder, sizeof appState.routeFolder, "%s", route);
    std::snprintf(appState.trainFolder, sizeof appState.trainFolder, "%s", train);
  }
};

TEST_F(FolderSettingsTest, TheFormShowsTheFolders) {
  FolderForm form = folderForm();
  EXPECT_EQ(form.simFolder, "c:\\sim");
  EXPECT_EQ(form.routeFolder, "c:\\routes");
  EXPECT_EQ(form.trainFolder, "c:\\trains");
}

TEST_F(FolderSettingsTest, TextsEntered) {
  const std::string long259 = "c:\\" + std::string(256, 'x');
  const std::string long260 = "c:\\" + std::string(257, 'x');
  struct Case {
    std::string entered;
    std::string stored;  // from "c:\routes"
  } cases[] = {
      {"d:\\sim\\", "d:\\sim"},           // a trailing backslash goes
      {"d:\\sim", "d:\\sim"},
      {"d:\\", "d:"},
      {"d:\\sim\\\\", "d:\\sim"},         // one here, the other when klv.cfg is read back
      {"\\", "\n"},                     // empty, and read back from klv.cfg as its line end
      {"", "c:\\routes"},                // empty: kept
      {long259, long259},
      {long259 + "\\", "c:\\routes"},    // 260 characters before the backslash would go: kept
      {long260, "c:\\routes"},
      {" d:\\with blanks ", " d:\\with blanks "},
  };
  for (const Case& c : cases) {
    setFolders("c:\\sim", "c:\\routes", "c:\\trains");
    saveFolderForm({"", c.entered, ""});
    EXPECT_EQ(appState.routeFolder, c.stored) << '"' << c.entered << '"';
    EXPECT_STREQ(appState.simFolder, "c:\\sim");
    EXPECT_STREQ(appState.trainFolder, "c:\\trains");
  }
}

TEST_F(FolderSettingsTest, SavingWritesAndReloadsTheFile) {
  saveFolderForm({"d:\\sim\\", "", "e:\\trains"});
  EXPECT_EQ(readBytes("klv.cfg"), "d:\\sim" + eol + "c:\\routes" + eol + "e:\\trains" + eol + "0 0 0 0 0 0" + eol +
                                      "652 0 30 240" + eol + "653 0" + eol + "Alpine");
  EXPECT_STREQ(appState.simFolder, "d:\\sim");
  EXPECT_STREQ(appState.routeFolder, "c:\\routes");
  EXPECT_STREQ(appState.trainFolder, "e:\\trains");
  EXPECT_EQ(appState.options.intervalMode, 652);
  EXPECT_STREQ(appState.signalSystem, "Alpine");

  saveFolderForm({"", "f:\\new routes\\", ""});
  EXPECT_STREQ(appState.routeFolder, "f:\\new routes");
  EXPECT_STREQ(appState.browseFolder, "f:\\new routes");
  EXPECT_STREQ(appState.csvOutPath, "f:\\new routes\\klvtemp.csv");
  EXPECT_STREQ(appState.rwOutPath, "f:\\new routes\\klvtemp.rw");
}

// The reload after a save that could not be written finds no file: the default folders win and
// what was entered is lost.
TEST_F(FolderSettingsTest, AFileThatCannotBeWritten) {
  std::filesystem::create_directories("klv.cfg");
  saveFolderForm({"d:\\sim", "d:\\routes", "d:\\trains"});
  EXPECT_STREQ(appState.simFolder, "c:\\program files\\zelvik");
  EXPECT_STREQ(appState.routeFolder, "c:\\program files\\zelvik\\railway\\route");
  EXPECT_STREQ(appState.browseFolder, "c:\\program files\\zelvik\\railway\\route");
  EXPECT_STREQ(appState.trainFolder, "c:\\program files\\zelvik\\train");
}

TEST_F(FolderSettingsTest, EveryCloseReturnsTheBrowserToTheRouteFolder) {
  returnBrowserToRouteFolder();
  EXPECT_STREQ(appState.browseFolder, "c:\\routes");
  EXPECT_STREQ(appState.routeFolder, "c:\\routes");
  EXPECT_FALSE(exists("klv.cfg"));
}

}  // namespace
