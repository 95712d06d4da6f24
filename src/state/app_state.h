// The one process-wide state record that every part of Klevane reads and writes directly: the
// configured folders, the route browser's place, the selection, the starting options, the chosen
// signal system and the outcome of the route build. The folders, the options and the signal
// system persist in "klv.cfg" in the program's folder (the current directory).
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Radio button ids of the starting options, held as such in memory and in klv.cfg.
enum : int {
  intervalNoEffect = 650,
  intervalRandomize = 651,
  intervalForce = 652,
  adhesionNoEffect = 653,
  adhesionRandomize = 654,
  adhesionSuper = 655,
};

struct StartOptions {
  std::int32_t developerMode;        // 0 or 1: start the simulator with the developer switch
  std::int32_t randomTrackQuality;   // 0 or 1
  std::int32_t randomStationWait;    // 0 or 1
  std::int32_t randomStationJam;     // 0 or 1
  std::int32_t randomStarterAspect;  // 0 or 1
  std::int32_t tiltingTrain;         // 0 or 1
  std::int32_t intervalMode;         // 650 no effect, 651 randomize +/-, 652 force random
  std::int32_t adhesionMode;         // 653 no effect, 654 randomize +/-, 655 super adhesion
  std::int32_t adhesionSpread;       // 0..200
  std::int32_t intervalSpread;       // 0..600 seconds
  std::int32_t intervalMin;          // 10..600 seconds
  std::int32_t intervalMax;          // 10..600 seconds, never below intervalMin
};

struct AppState {
  char simFolder[261];     // holds zelvik.exe and the signal files
  char routeFolder[261];   // root folder of the routes
  char trainFolder[261];   // folder whose sub-folders are trains
  char browseFolder[261];  // folder listed in the route list; the selected route lies in it
  char routeFile[261];     // file name of the selected route, as listed
  char trainName[261];     // selected train folder inside trainFolder
  std::int8_t routeKind;   // 0 none, 1 rw, 2 csv, 3 macro route file
  char csvOutPath[277];    // routeFolder + "\klvtemp.csv": the prepared csv route
  char rwOutPath[277];     // routeFolder + "\klvtemp.rw": the prepared rw route
  GdiHandle whiteBrush;    // background of the information dialogs' description boxes
  GdiHandle trainBitmap;   // pictures while the train information dialog is open
  GdiHandle panelBitmap;
  StartOptions options;
  bool buildFailed;        // the route build failed: the simulator is not started
  bool outputIsCsv;        // the build produced csvOutPath (true) or rwOutPath (false)
  char signalSystem[16];   // chosen signal system; "Zelvik Default" is the simulator's own
  bool swapSignals;        // a signal system other than the default is engaged for this run
};

extern AppState appState;

// Start values of everything but the output paths, signalSystem and swapSignals.
void initAppState();

// Reads klv.cfg: the three folders, the starting options and the signal system name. Without a
// file the folders take the default installation's and nothing else changes. In every case the
// route browser starts at routeFolder and the output paths are formed from it. Reports nothing.
// `path` names another file of the same form (the command-line tool's --config).
void loadConfig(const char* path = "klv.cfg");

// Writes klv.cfg, replacing it in one step: whatever fails, the file is the old one or the new one,
// whole. A file that cannot be written is ignored: the values stay in memory for the rest of the
// run.
void saveConfig();
