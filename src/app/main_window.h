// Klevane's main window (Windows build): registers its class, shows it with the given
// show-command and runs the message loop; returns the program's exit code.
#pragma once

int runMainWindow(int show);
