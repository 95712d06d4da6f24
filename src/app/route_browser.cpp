#include "app/route_browser.h"

#include <cstring>

#include "platform/platform.h"
#include "state/app_state.h"

namespace {

bool endsWithIgnoringCase(const char* name, const char* ending) {
  std::size_t length = std::strlen(name), endingLength = std::strlen(ending);
  if (length < endingLength) return false;
  const char* tail = name + length - endingLength;
  for (std::size_t i = 0; i < endingLength; ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != ending[i]) return false;
  }
  return true;
}

void copyInto(char* field, std::size_t size, const std::string& text) {
  std::snprintf(field, size, "%s", text.c_str());
}

}  // namespace

bool isRouteFileName(const char* name) {
  std::size_t length = std::strlen(name);
  return (length > 3 && endsWithIgnoringCase(name, ".rw")) ||
         (length > 4 && (endsWithIgnoringCase(name, ".csv") || endsWithIgnoringCase(name, ".klf")));
}

int routeKindOf(const char* name) {
  std::size_t length = std::strlen(name);
  if (length == 0) return 0;
  switch (name[length - 1] | 0x20) {
    case 'w': return 1;
    case 'v': return 2;
    case 'f': return 3;
    default: return 0;
  }
}

std::string joinFolder(const char* folder, const char* name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + name;
}

bool listRouteEntries(const char* folder, std::vector<std::string>& entries) {
  FolderScan* scan = openFolder(folder);
  if (!scan) return false;
  entries.clear();
  while (const char* name = nextFolderEntry(scan)) {
    if (isRouteFileName(name) && std::strncmp(name, "klvtemp.", 8) != 0) entries.push_back(name);
    // Tested apart from the name: a folder named like a route file is listed twice.
    if (std::strcmp(name, ".") != 0 && folderExists(joinFolder(folder, name).c_str()))
      entries.push_back(std::string("  (") + name + ")");
  }
  closeFolder(scan);
  return true;
}

bool listTrains(const char* folder, std::vector<std::string>& trains) {
  FolderScan* scan = openFolder(folder);
  if (!scan) return false;
  trains.clear();
  while (const char* name = nextFolderEntry(scan)) {
    if (fileExists((std::string(folder) + "\\" + name + "\\train.dat").c_str())) trains.push_back(name);
  }
  closeFolder(scan);
  return true;
}

bool chooseRouteEntry(const char* text, bool enterFolders) {
  std::size_t length = std::strlen(text);
  bool folderEntry = length >= 4 && text[0] == ' ' && text[length - 1] == ')';
  if (!folderEntry) {
    appState.routeKind = static_cast<std::int8_t>(routeKindOf(text));
    copyInto(appState.routeFile, sizeof appState.routeFile, text);
    return false;
  }
  std::string name(text + 3, length - 4);
  appState.routeKind = 0;
  if (!enterFolders) return false;
  if (name == "..") {
    // Up to the last backslash, but never above a drive root such as c:\.
    const char* last = std::strrchr(appState.browseFolder, '\\');
    std::size_t cut = last ? static_cast<std::size_t>(last - appState.browseFolder) : 0;
    if (cut < 3) cut = 3;
    if (cut < std::strlen(appState.browseFolder)) appState.browseFolder[cut] = '\0';
  } else if (name != ".") {
    std::string path = joinFolder(appState.browseFolder, name.c_str());
    if (path.size() <= 260 && folderExists(path.c_str()))
      copyInto(appState.browseFolder, sizeof appState.browseFolder, path);
  }
  return true;
}

unsigned routeEntryColour(const char* text) {
  std::size_t length = std::strlen(text);
  char last = length ? text[length - 1] : '\0';
  if (last == ')') return 0xFFF0C1;
  switch (last | 0x20) {
    case 'f': return 0xDDDEFF;
    case 'w': return 0xFFCFCF;
    case 'v': return 0xE1FFC1;
    default: return 0xFFFFFF;
  }
}

bool canSelect(bool trainSelected) { return trainSelected && appState.routeKind > 0; }

std::string simulatorProgram() { return std::string(appState.simFolder) + "\\zelvik.exe"; }

std::string simulatorCommandLine() {
  std::string line = simulatorProgram() + " \"" +
                     (appState.outputIsCsv ? appState.csvOutPath : appState.rwOutPath) + "\"";
  if (appState.options.developerMode != 0) line += " /d=40752918";
  return line;
}

bool shouldStartSimulator() { return !appState.buildFailed && appState.routeKind > 0; }
