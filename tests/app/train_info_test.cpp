#include "app/train_info.h"

#include <string>

#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class TrainInfoTest : public WorkFolderTest {};

// The description is train.txt's bytes as they are, at most 4090 of them.
TEST_F(TrainInfoTest, PicturesAndTheDescriptionCutAt4090Characters) {
  resetAppState();
  std::snprintf(appState.trainName, sizeof appState.trainName, "Express 2");
  writeBytes("trains/Express 2/train.txt", "\r\n" + std::string(4087, 'a') + "bcdef");
  const TrainInfo info = readTrainInfo();
  EXPECT_EQ(info.description, "\r\n" + std::string(4087, 'a') + "b");
  EXPECT_EQ(info.name + "|" + info.trainPicture + "|" + info.panelPictures[0] + "|" + info.panelPictures[1],
            "Express 2|trains\\Express 2\\train.bmp|trains\\Express 2\\panel2.bmp|trains\\Express 2\\panel.bmp");
}

}  // namespace
