// Klevane's main window (Windows build): registers its class, shows it with the given
// show-command and runs the message loop; returns the program's exit code.
#pragma once

int runMainWindow(int show);

// Another copy's main window brought to the front (restored if minimised, its open dialog on top);
// false when none appears within a few seconds, as while that copy is still starting.
bool showRunningCopy();

// Sharp text at any scaling: aware of each monitor's DPI where the system offers it, else of the
// system's DPI (Windows Vista and 7). Before the program's first window, a message box included.
void declareDpiAwareness();
