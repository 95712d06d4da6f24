// AppState as a test of the state record, the dialogs' rules or the signal exchange starts from:
// nothing left from an earlier test, the start values, and the three folders.
#pragma once

#include <cstdio>

#include "state/app_state.h"

namespace testing_support {

inline void resetAppState(const char* sim = "sim", const char* routes = "routes", const char* trains = "trains") {
  appState = AppState{};
  initAppState();
  std::snprintf(appState.simFolder, sizeof appState.simFolder, "%s", sim);
  std::snprintf(appState.routeFolder, sizeof appState.routeFolder, "%s", routes);
  std::snprintf(appState.trainFolder, sizeof appState.trainFolder, "%s", trains);
}

}  // namespace testing_support
