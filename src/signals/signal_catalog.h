// The signal systems in the program's folder: each is a sub-folder whose "sigsys.txt" gives the
// system's name on its first line, then a description up to a line beginning with "#end#", and
// anywhere in the file the sections "#speeds#", "#signaldef#" and "#relaydef#", each closed by
// "#end#". The catalogue is not kept: every operation lists the folder anew.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

class TextBuffer;

// The texts of the chosen system, filled by loadSignalSystemDefs: the speeds text that the csv
// rewriting puts behind the .folder command, and the templates of signal and relay commands.
// Each holds at most 2047 characters and is zero-terminated.
constexpr int signalTextSize = 2048;
extern char speeds[signalTextSize];
extern char signaldef[signalTextSize];
extern char relaydef[signalTextSize];

// The folder of the chosen system (at most 15 characters), set by findSignalSystemFolder.
constexpr int signalNameSize = 16;
extern char signalSystemFolder[signalNameSize];

struct SignalSystemEntry {
  std::string folder;  // the entry of the program's folder, at most 15 characters
  std::string name;    // the first line of its sigsys.txt: at most 15 characters, blanks trimmed
};

// The signal systems in the order of the folder listing. A sub-folder is one when its
// sigsys.txt can be read and its own name has at most 15 characters. Two may carry one name.
std::vector<SignalSystemEntry> scanSignalSystems();

// Adds every system's name to the combo box in listing order and selects each added name that
// equals appState.signalSystem (so the last such one stays selected).
void fillSignalSystemList(WindowHandle combo);

// Fills `buffer` (of `size` bytes, cleared first) with the description of the system named
// appState.signalSystem, ready for display with CR LF line breaks. The descriptions of all
// systems of that name follow one another; empty when no system carries it.
void describeSignalSystem(char* buffer, int size);

// Sets signalSystemFolder to the folder of the system named appState.signalSystem, the last in
// listing order when several carry the name; empty and false when none does.
bool findSignalSystemFolder();

// Clears speeds, signaldef and relaydef and fills them from the chosen system's sigsys.txt.
// False after "Could not load signal system:" (the name as detail) when no folder carries the
// name or its file cannot be read whole (a NUL or 0xFF byte would end it early).
bool loadSignalSystemDefs();

// Recognises "end#", "speeds#", "signaldef#" or "relaydef#" (letters in either case) at the read
// position, just after a '#'. Returns 0 to 3 with the position after the keyword, or -1 with the
// position unchanged.
int matchSignalKeyword(TextBuffer& source);
