#include "app/train_info.h"

#include "state/app_state.h"
#include "text/text_buffer.h"

namespace {

constexpr std::size_t descriptionLimit = 4090;

// "%s\%s\<file>" with the train folder and the train's name.
std::string trainFile(const char* file) {
  return std::string(appState.trainFolder) + '\\' + appState.trainName + '\\' + file;
}

}  // namespace

TrainInfo readTrainInfo() {
  TrainInfo info;
  info.name = appState.trainName;
  info.trainPicture = trainFile("train.bmp");
  info.panelPictures[0] = trainFile("panel2.bmp");
  info.panelPictures[1] = trainFile("panel.bmp");
  TextBuffer text(trainFile("train.txt").c_str());
  if (!text.isValid()) return info;
  for (int c = text.getChar(); c != -1 && info.description.size() < descriptionLimit; c = text.getChar()) {
    info.description.push_back(static_cast<char>(c));
  }
  return info;
}
