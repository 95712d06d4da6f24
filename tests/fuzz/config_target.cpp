// klv.cfg of any content: loaded, saved (with a file operation failing, when the input asks for
// it) and loaded again. Input: a byte choosing the failing operation of the save (0 none) and
// whether the process dies there, then the file.
// Properties: every text field stays terminated within its size; the route browser and the output
// paths follow the route folder; the save leaves the old file or the new one, whole, and without a
// fault exactly the seven lines; what was saved loads back to the same options, signal system and
// folders.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "state/app_state.h"

namespace fuzzing {

namespace {

#ifdef _WIN32
const char eol[] = "\r\n";
#else
const char eol[] = "\n";
#endif

bool terminated(const char* field, std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

std::string cut(const std::string& text, std::size_t size) { return text.substr(0, size - 1); }

// The seven lines that saveConfig writes for the state in memory.
std::string savedText() {
  const StartOptions& o = appState.options;
  std::string text;
  for (const std::string folder : {appState.simFolder, appState.routeFolder, appState.trainFolder}) {
    bool lineEnd = !folder.empty() && folder.back() == '\n';  // a line end alone is its own line
    text += folder.substr(0, folder.size() - (lineEnd ? 1 : 0)) + eol;
  }
  const std::int32_t* lines[3][6] = {{&o.developerMode, &o.randomTrackQuality, &o.randomStationWait,
                                      &o.randomStationJam, &o.randomStarterAspect, &o.tiltingTrain},
                                     {&o.intervalMode, &o.intervalSpread, &o.intervalMin, &o.intervalMax},
                                     {&o.adhesionMode, &o.adhesionSpread}};
  for (const auto& line : lines) {
    std::string numbers;
    for (const std::int32_t* n : line) {
      if (n) numbers += (numbers.empty() ? "" : " ") + std::to_string(*n);
    }
    text += numbers + eol;
  }
  return text + appState.signalSystem;
}

struct Loaded {
  std::string folders[3];
  StartOptions options;
  std::string signalSystem;
};

Loaded loadAndCheck() {
  initAppState();
  std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
  loadConfig();
  for (const char* field : {appState.simFolder, appState.routeFolder, appState.trainFolder, appState.browseFolder}) {
    check(terminated(field, sizeof appState.simFolder), "a folder stays within 260 characters");
  }
  check(terminated(appState.signalSystem, sizeof appState.signalSystem), "the signal system keeps to 15 characters");
  check(std::strcmp(appState.browseFolder, appState.routeFolder) == 0, "the route browser starts at the route folder");
  const std::string route = appState.routeFolder;
  check(appState.csvOutPath == cut(route + "\\klvtemp.csv", sizeof appState.csvOutPath), "csv output path");
  check(appState.rwOutPath == cut(route + "\\klvtemp.rw", sizeof appState.rwOutPath), "rw output path");
  return {{appState.simFolder, appState.routeFolder, appState.trainFolder}, appState.options, appState.signalSystem};
}

// A folder comes back from a save as it went, unless it is empty or ends in a character that
// loading takes as part of the line end.
bool comesBack(const std::string& folder) { return !folder.empty() && folder.back() != '\\' && folder.back() != '\r'; }

}  // namespace

int fuzzConfig(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const unsigned fault = in.byte();
  const std::string file = in.rest();
  removeFile("klv.cfg.new");
  writeFile("klv.cfg", file);

  Loaded first = loadAndCheck();
  const std::string saved = savedText();
  setFileFaultHook({static_cast<int>(fault % 5), (fault & 0x80) != 0});
  saveConfig();
  setFileFaultHook({0, false});
  const std::string now = readFile("klv.cfg");
  check(now == file || now == saved, "saving leaves the old file or the new one, whole");
  if (fault % 5 == 0)
    check(now == saved && !fileIsThere("klv.cfg.new"), "a save without a fault writes the seven lines");
  if (now != saved) return 0;

  Loaded second = loadAndCheck();
  check(std::memcmp(&first.options, &second.options, sizeof first.options) == 0, "the options come back");
  check(first.signalSystem == second.signalSystem, "the signal system comes back");
  for (int i = 0; i < 3; ++i) {
    if (comesBack(first.folders[i])) check(first.folders[i] == second.folders[i], "a folder comes back");
  }
  removeFile("klv.cfg");
  removeFile("klv.cfg.new");
  return 0;
}

}  // namespace fuzzing
