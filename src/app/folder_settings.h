// The rules of the Configure dialog, apart from its window: the three folders it edits, how the
// texts entered become appState's folders and klv.cfg, and the route browser's place afterwards.
#pragma once

#include <string>

// The texts of the three folder edits.
struct FolderForm {
  std::string simFolder;    // edit 401
  std::string routeFolder;  // edit 402
  std::string trainFolder;  // edit 403
};

// The form for the opening dialog: the three folders of appState.
FolderForm folderForm();

// "&Save": each text of 1 to 259 characters becomes its folder, without a trailing backslash;
// an empty or longer text leaves its folder as it was. Then klv.cfg is written and read back,
// which derives the browser's folder and the output paths from the new route folder.
void saveFolderForm(const FolderForm& form);

// After every close of the dialog, saved or not: the route browser lists routeFolder again, so
// that the route list, which the main window refills from routeFolder, and browseFolder, in which
// the selected route is looked for, name the same folder.
void returnBrowserToRouteFolder();
