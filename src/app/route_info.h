// What a route file says about itself: its name, its default train and its description, found in
// different places for rw, csv and macro routes; and the cleaning of description escapes that
// route and signal-system descriptions share.
#pragma once

#include <string>

// The three texts of the Route information dialog. Each keeps its "not available" text when the
// route file does not give it.
struct RouteInfo {
  std::string routeName = "Route name not available";
  std::string defaultTrain = "Default train not available";
  std::string description = "Description not available";
  bool fileRead = false;  // the route file could be read
};

// Reads the route file appState.routeFile in appState.browseFolder according to
// appState.routeKind (1 rw, 2 csv, 3 macro route). A file that cannot be read gives the route
// name "Unable to open file" and fileRead false.
RouteInfo showRouteInfo();

// Rewrites a description text in place, within a buffer of `size` characters (terminator
// included): a line feed becomes CR LF; a CR becomes CR LF when keepBreaks is set (and room is
// left); a '$' with at least eight characters behind it either begins an escape $xxx(nn), which
// becomes a line break (nn 13: CR LF with keepBreaks, else a blank), a comma (44) or nothing, or
// is dropped alone. The result ends where the next addition would pass size - 1 characters.
void cleanInfoText(char* text, int size, bool keepBreaks);
