// The modal dialogs of the main window, each shown from its resource template in the program's
// own module. Windows build only; the rules behind them are in start_options.h,
// folder_settings.h, route_info.h and train_info.h.
#pragma once

#include "platform/platform.h"

// Starting options: 1 when confirmed with "&Start Zelvik" (options stored, klv.cfg written), 2
// when cancelled; any other value means the dialog could not be shown.
int showStartOptionsDialog(WindowHandle owner);

// Configure: 404 when saved, 405 when cancelled, -1 when the dialog could not be shown. In every
// case the route browser's folder is routeFolder afterwards.
int showConfigureDialog(WindowHandle owner);

// About: 1 for "&OK", 2 for the cancel command (Escape, close box); -1 when not shown.
int showAboutDialog(WindowHandle owner);

// Route information of the selected route file; 1 or 2 as About, -1 when not shown.
int showRouteInfoDialog(WindowHandle owner);

// Train information of the selected train; 1 or 2 as About, -1 when not shown. The pictures live
// in appState.trainBitmap and appState.panelBitmap while the dialog is open.
int showTrainInfoDialog(WindowHandle owner);
