// What the Train information dialog shows of the selected train (appState.trainName inside
// appState.trainFolder): its name, the description from its "train.txt" and the files of its two
// pictures. The dialog loads and draws the pictures itself.
#pragma once

#include <string>

// Size on screen of the train picture and of the driver's panel picture, in pixels: each picture
// is stretched or shrunk to it when loaded.
constexpr int trainPictureWidth = 202;
constexpr int trainPictureHeight = 129;
constexpr int panelPictureWidth = 176;
constexpr int panelPictureHeight = 160;

struct TrainInfo {
  std::string name;
  std::string description;       // empty without a readable train.txt
  std::string trainPicture;      // path of train.bmp
  std::string panelPictures[2];  // paths of panel2.bmp and, when that cannot be loaded, panel.bmp
};

// Reads the selected train's description: the characters of train.txt as they are (CR and LF
// included) up to its end, a 0xFF byte or a NUL, at most 4090 of them.
TrainInfo readTrainInfo();
