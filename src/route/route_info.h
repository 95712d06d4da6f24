// What a route file says about itself: its name, its default train and its description, found in
// different places for rw, csv and macro routes.
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
