#include "app/folder_settings.h"

#include <cstring>

#include "state/app_state.h"

namespace {

constexpr std::size_t longestFolderText = 259;

// A text of 1 to 259 characters replaces the folder, losing one trailing backslash.
void takeFolderText(const std::string& text, char (&folder)[261]) {
  if (text.empty() || text.size() > longestFolderText) return;
  std::size_t length = text.size();
  if (text[length - 1] == '\\') --length;
  std::memcpy(folder, text.data(), length);
  folder[length] = '\0';
}

}  // namespace

FolderForm folderForm() { return {appState.simFolder, appState.routeFolder, appState.trainFolder}; }

void saveFolderForm(const FolderForm& form) {
  takeFolderText(form.simFolder, appState.simFolder);
  takeFolderText(form.routeFolder, appState.routeFolder);
  takeFolderText(form.trainFolder, appState.trainFolder);
  saveConfig();
  loadConfig();
  returnBrowserToRouteFolder();
}

void returnBrowserToRouteFolder() {
  std::memcpy(appState.browseFolder, appState.routeFolder, sizeof appState.browseFolder);
}
