// What the dialogs share on Windows: one dialog procedure that hands the few messages a dialog
// cares about to its handlers, and small helpers for the texts of controls.
#pragma once

#include <windows.h>

#include <string>

#include "app/start_options.h"

// A dialog's handlers; a missing one leaves its message to the dialog manager.
struct DialogHandlers {
  void (*onInit)(HWND dialog) = nullptr;                    // then the focus goes to the first control
  void (*onCommand)(HWND dialog, int id) = nullptr;         // every command is taken as handled
  HBRUSH (*onStaticColor)(HWND control, HDC dc) = nullptr;  // null: the default colours
  void (*onPaint)(HWND dialog, HDC dc) = nullptr;           // on the erased dialog, under its controls
  void (*onDestroy)(HWND dialog) = nullptr;
};

// Shows the dialog template `templateId` of the program's module modally and returns the value
// given to EndDialog, or -1 when it could not be shown.
int runModalDialog(HWND owner, int templateId, const DialogHandlers& handlers);

// The whole text of a control, however long.
std::string controlText(HWND dialog, int id);

// The selected entry of a combo box.
ComboChoice comboChoice(HWND dialog, int id);

// For a description box: white behind the box and behind its text.
HBRUSH whiteBackground(HDC dc);
