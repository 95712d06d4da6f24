#include "app/folder_settings.h"

#include <string>

#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class FolderSettingsTest : public WorkFolderTest {};

// A text of 1 to 259 characters becomes its folder without a trailing backslash (klv.cfg, read
// back, takes another); then the browser lists the route folder.
TEST_F(FolderSettingsTest, EnteredTextsBecomeTheFolders) {
  const std::string long259 = "c:\\" + std::string(256, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"d:\\r\\\\", "d:\\r"}, {"\\", "\n"}, {"", "routes"}, {long259, long259}, {long259 + "x", "routes"},
  };
  for (const auto& c : cases) {
    resetAppState();
    saveFolderForm({"s", c.first, ""});
    const FolderForm form = folderForm();
    EXPECT_EQ(form.simFolder + "|" + form.routeFolder + "|" + form.trainFolder + "|" + appState.browseFolder,
              "s|" + c.second + "|trains|" + c.second) << c.first;
  }
  EXPECT_EQ(readBytes("klv.cfg"), configText("0 0 0 0 0 0", "650 0 30 240", "653 0", "", "s|routes|trains"));
}

}  // namespace
