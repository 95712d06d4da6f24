// The program's entry: Klevane works in its own folder (klv.cfg, the signal systems and the
// temporary files are there), whatever folder a shortcut starts it in.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "signals/signal_swap.h"
#include "state/app_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  declareDpiAwareness();
  enterProgramFolder();
  initAppState();
  loadConfig();
  restoreDefaultSignals();
  InitCommonControls();
  return runMainWindow(show);
}
