// The rules of the main window's two lists and of the launch, as plain functions: which entries
// a route folder and a train folder give, how the route browser moves through folders, what a
// selected entry means, and the command line that starts the simulator.
#pragma once

#include <string>
#include <vector>

// A route file: longer than 3 characters and ending in ".rw", or longer than 4 and ending in
// ".csv" or ".klf"; the letters after the dot in either case.
bool isRouteFileName(const char* name);

// The kind of a route file by the last letter of its name: 1 rw (w), 2 csv (v), 3 macro route
// (f), 0 for anything else.
int routeKindOf(const char* name);

// The folder and a name joined with a backslash, or without one when the folder ends in one.
std::string joinFolder(const char* folder, const char* name);

// What the route list shows for a folder, in the order of the folder listing (the list sorts
// itself): route files by name, except the program's own "klvtemp." outputs, and every
// sub-folder as "  (name)", ".." included when listed, "." never. False when the folder cannot
// be listed.
bool listRouteEntries(const char* folder, std::vector<std::string>& entries);

// The train folders of a folder: the entries that hold a "train.dat". False when the folder
// cannot be listed.
bool listTrains(const char* folder, std::vector<std::string>& trains);

// A route list entry chosen by the user. A folder entry moves appState.browseFolder (up for
// "..", into a sub-folder that can be listed) and sets routeKind to 0; the result is then true:
// the list is to be refilled from browseFolder. A route file sets routeFile and routeKind.
// Without `enterFolders` (the selection moved by the keyboard) a folder entry only sets routeKind
// to 0, and the result is false.
bool chooseRouteEntry(const char* text, bool enterFolders = true);

// The background of a route list entry as 0xRRGGBB: folder entries (ending in ')') yellow, then
// by the last letter, in either case: 'f' blue, 'w' red, 'v' green; white for anything else.
unsigned routeEntryColour(const char* text);

// "Select" is enabled while a route file and a train are selected.
bool canSelect(bool trainSelected);

// The simulator's program in simFolder, and its command line for the prepared route: the program's
// path as it is, the route in double quotes, and the developer switch in developer mode.
std::string simulatorProgram();
std::string simulatorCommandLine();

// The simulator is started only for a prepared route: a route file was selected and the build
// succeeded.
bool shouldStartSimulator();
