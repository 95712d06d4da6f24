// The program's entry: Klevane works in its own folder (klv.cfg, the signal systems and the
// temporary files are there), whatever folder a shortcut starts it in.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "signals/signal_swap.h"
#include "state/app_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  // One copy per session: two would exchange the same signal bitmaps and write the same klv.cfg.
  // The mutex is held until the process ends; one made by a copy run as administrator denies
  // this copy access, which says the same.
  HANDLE oneCopy = CreateMutexA(nullptr, FALSE, "Local\\Klevane");
  const DWORD error = GetLastError();
  declareDpiAwareness();
  if (error == ERROR_ALREADY_EXISTS || (!oneCopy && error == ERROR_ACCESS_DENIED)) {
    if (!showRunningCopy()) MessageBoxA(nullptr, "Klevane is already running.", "Klevane", MB_ICONINFORMATION | MB_OK);
    return 0;
  }
  enterProgramFolder();
  initAppState();
  loadConfig();
  restoreDefaultSignals();
  InitCommonControls();
  return runMainWindow(show);
}
