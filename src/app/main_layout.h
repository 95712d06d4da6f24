// The main window's layout in pixels at the DPI of its screen (96 is 100 %): the folder's label
// above the route list, the train list to the right, Select above the trains, and the progress
// bar that lies over the label and Select while a route is prepared. Every length of the 96-DPI
// layout scales with the DPI, the client area too: the window is made as large as its frame
// needs around it.
#pragma once

struct PixelRect {
  int x, y, width, height;
};

struct MainLayout {
  int clientWidth, clientHeight;
  PixelRect label, routeList, trainList, select, progressBar;
  int itemHeight;  // of an entry of the route list
  int fontHeight;  // of the window's text: 8 points
};

MainLayout mainLayout(int dpi);
