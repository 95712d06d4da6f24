#include "state/app_state.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

AppState appState;

namespace {

const char configFile[] = "klv.cfg";
const char newConfigFile[] = "klv.cfg.new";  // the next contents, written beside the file

// klv.cfg read as a stream, the way the C library's text-mode reading sees it: whole lines for
// the folders, then numbers separated by any white space, then the rest of a line.
struct ConfigReader {
  const std::string& text;
  std::size_t position = 0;

  // Reads at most size - 1 characters, stopping after a line end, which is kept. False (and
  // `dest` untouched) at the end of the file.
  bool readLine(char* dest, std::size_t size) {
    if (position >= text.size()) return false;
    std::size_t stored = 0;
    while (stored + 1 < size && position < text.size()) {
      char c = text[position++];
      dest[stored++] = c;
      if (c == '\n') break;
    }
    dest[stored] = '\0';
    return true;
  }

  void skipWhiteSpace() {
    while (position < text.size() && std::strchr(" \t\n\v\f\r", text[position]) && text[position] != '\0') ++position;
  }

  // A decimal number after optional white space; a whole number beyond 32 bits saturates. False,
  // with the reading position on the offending character, when no number begins there.
  bool readNumber(std::int32_t& number) {
    skipWhiteSpace();
    std::size_t p = position;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    if (p >= text.size() || text[p] < '0' || text[p] > '9') return false;
    long long magnitude = 0;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
      if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[p] - '0');
    }
    long long value = negative ? -magnitude : magnitude;
    number = static_cast<std::int32_t>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
    position = p;
    return true;
  }
};

// A folder line loses its line end, and a backslash that ends the folder goes with it. A line of
// one character stays as read. A line without a line end (the last one of a cut file, or one
// longer than the field) keeps its characters and loses only a trailing backslash. A line of
// exactly 260 characters, as saveConfig writes the longest folder, takes its line end along:
// otherwise that line end would be read as the next folder and every later line one place off.
void readFolderLine(ConfigReader& reader, char* folder) {
  if (!reader.readLine(folder, 261)) return;
  std::size_t length = std::strlen(folder);
  if (length == 260 && folder[259] != '\n' && reader.position < reader.text.size() &&
      reader.text[reader.position] == '\n') {
    ++reader.position;
  }
  if (length < 2) return;
  if (folder[length - 1] == '\n') {
    folder[folder[length - 2] == '\\' ? length - 2 : length - 1] = '\0';
  } else if (folder[length - 1] == '\\') {
    folder[length - 1] = '\0';
  }
}

void copyText(char* dest, std::size_t size, const char* source) { std::snprintf(dest, size, "%s", source); }

}  // namespace

void initAppState() {
  std::memset(appState.simFolder, 0, sizeof appState.simFolder);
  std::memset(appState.routeFolder, 0, sizeof appState.routeFolder);
  std::memset(appState.trainFolder, 0, sizeof appState.trainFolder);
  std::memset(appState.browseFolder, 0, sizeof appState.browseFolder);
  std::memset(appState.routeFile, 0, sizeof appState.routeFile);
  std::memset(appState.trainName, 0, sizeof appState.trainName);
  appState.routeKind = 0;
  appState.whiteBrush = createSolidBrush(255, 255, 255);
  appState.trainBitmap = nullptr;
  appState.panelBitmap = nullptr;
  StartOptions& options = appState.options;
  options.developerMode = 0;
  options.randomTrackQuality = 0;
  options.randomStationWait = 0;
  options.randomStationJam = 0;
  options.randomStarterAspect = 0;
  options.tiltingTrain = 0;
  options.intervalMode = intervalNoEffect;
  options.adhesionMode = adhesionNoEffect;
  options.adhesionSpread = 0;
  options.intervalSpread = 0;
  options.intervalMin = 30;
  options.intervalMax = 240;
  appState.buildFailed = false;
}

void loadConfig(const char* path) {
  std::string text;
  if (!readTextFile(path, text)) {
    copyText(appState.simFolder, sizeof appState.simFolder, "c:\\program files\\zelvik");
    copyText(appState.routeFolder, sizeof appState.routeFolder, "c:\\program files\\zelvik\\railway\\route");
    copyText(appState.trainFolder, sizeof appState.trainFolder, "c:\\program files\\zelvik\\train");
  } else {
    ConfigReader reader{text};
    readFolderLine(reader, appState.simFolder);
    readFolderLine(reader, appState.routeFolder);
    readFolderLine(reader, appState.trainFolder);
    // Lines 4 to 6, in file order; the first character that cannot begin a number ends them all.
    StartOptions& o = appState.options;
    std::int32_t* numbers[] = {&o.developerMode,     &o.randomTrackQuality, &o.randomStationWait,
                               &o.randomStationJam,  &o.randomStarterAspect, &o.tiltingTrain,
                               &o.intervalMode,      &o.intervalSpread,     &o.intervalMin,
                               &o.intervalMax,       &o.adhesionMode,       &o.adhesionSpread};
    bool allRead = true;
    for (std::int32_t* number : numbers) {
      if (!reader.readNumber(*number)) {
        allRead = false;
        break;
      }
    }
    if (allRead) reader.skipWhiteSpace();  // each number line's format ends in a line end
    // The name is the rest of its line: a line end read with it (a hand-edited file ending in
    // one) is no part of the name, which would otherwise match no signal system.
    if (reader.readLine(appState.signalSystem, sizeof appState.signalSystem)) {
      std::size_t length = std::strlen(appState.signalSystem);
      if (length > 0 && appState.signalSystem[length - 1] == '\n') appState.signalSystem[length - 1] = '\0';
    }
  }
  std::memcpy(appState.browseFolder, appState.routeFolder, sizeof appState.browseFolder);
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "%s\\klvtemp.csv", appState.routeFolder);
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "%s\\klvtemp.rw", appState.routeFolder);
}

void saveConfig() {
  const StartOptions& o = appState.options;
  char numbers[200];
  std::snprintf(numbers, sizeof numbers, "%d %d %d %d %d %d\n%d %d %d %d\n%d %d\n", o.developerMode,
                o.randomTrackQuality, o.randomStationWait, o.randomStationJam, o.randomStarterAspect, o.tiltingTrain,
                o.intervalMode, o.intervalSpread, o.intervalMin, o.intervalMax, o.adhesionMode, o.adhesionSpread);
  std::string text;
  for (const char* folder : {appState.simFolder, appState.routeFolder, appState.trainFolder}) {
    // An empty line loads as a folder text of its line end alone: written back as that one line,
    // it keeps the lines after it in their places.
    std::size_t length = std::strlen(folder);
    text.append(folder, length);
    if (length == 0 || folder[length - 1] != '\n') text.append("\n");
  }
  text.append(numbers);
  text.append(appState.signalSystem);
  // The file is replaced in one step once its next contents are whole on the disk: a save that
  // fails at any point leaves the old file or the new one, never a part of either.
  if (writeTextFile(newConfigFile, text) && replaceFile(newConfigFile, configFile)) return;
  deleteFile(newConfigFile);
}
