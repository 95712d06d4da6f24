// A route read for its author's mistakes, without preparing it: what `klevane-prepare --check`
// reports. Each finding stands at a line and column of the author's own file (the route, or the
// file it includes where the mistake is), before any expansion.
#pragma once

#include <string>
#include <vector>

struct RouteFinding {
  std::string file;
  int line = 0, column = 0;  // from 1
  bool error = false;        // an error stops the preparation; a warning is text the author may not mean
  std::string text;
};

// The findings of a route and of the files it includes, ordered by file (the route first, then
// the files as they are first included) and by position.
std::vector<RouteFinding> checkRoute(const std::string& path);
