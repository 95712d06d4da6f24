#include "app/train_info.h"

#include <cstdio>
#include <string>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class TrainInfoTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    initAppState();
    std::snprintf(appState.trainFolder, sizeof appState.trainFolder, "trains");
    std::snprintf(appState.trainName, sizeof appState.trainName, "Express 2");
    std::filesystem::create_directories("trains/Express 2");
  }
};

TEST_F(TrainInfoTest, NameAndPictureFiles) {
  TrainInfo info = readTrainInfo();
  EXPECT_EQ(info.name, "Express 2");
  EXPECT_EQ(info.trainPicture, "trains\\Express 2\\train.bmp");
  EXPECT_EQ(info.panelPictures[0], "trains\\Express 2\\panel2.bmp");
  EXPECT_EQ(info.panelPictures[1], "trains\\Express 2\\panel.bmp");
  EXPECT_EQ(info.description, "");  // no train.txt
}

TEST_F(TrainInfoTest, Descriptions) {
  struct Case {
    const char* what;
    std::string file;
    std::string description;
  } cases[] = {
      {"line ends as they are", "Express\r\nTop speed 160\nTilting\r", "Express\r\nTop speed 160\nTilting\r"},
      {"empty file", "", ""},
      {"4090 characters", std::string(4090, 'a'), std::string(4090, 'a')},
      {"5000 characters", std::string(4089, 'a') + "bcdef" + std::string(906, 'g'), std::string(4089, 'a') + "b"},
      {"a 0xFF byte ends the text", "ab\xFF" "cd", "ab"},
      {"so does a NUL", std::string("ab\0cd", 5), "ab"},
  };
  for (const Case& c : cases) {
    writeBytes("trains/Express 2/train.txt", c.file);
    EXPECT_EQ(readTrainInfo().description, c.description) << c.what;
  }
}

}  // namespace
