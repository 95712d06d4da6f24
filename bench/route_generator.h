// Routes for measuring the passes: a csv route, an rw route and a route of the macro language,
// each of a chosen size, made of the commands real routes are made of (track objects, curves,
// signals, relays, stations, run intervals). In the macro route about one line in fifty uses
// macros, conditions, values and arithmetic; a few lines include files, and one repeat section
// runs four times. The same size always gives the same bytes.
#pragma once

#include <string>

namespace bench {

// The default size: every pass's output, which grows a little (includes, macro bodies, signal
// templates), still fits into the 1048576 characters of a pass's output buffer.
constexpr int defaultRouteBytes = 1000000;

// The routes themselves, each at least `bytes` long (the last line may go a little beyond).
std::string csvRoute(int bytes);
std::string rwRoute(int bytes);
std::string macroRoute(int bytes);

// Writes a program folder for klevane-prepare into `folder` (which must exist): the routes
// "bench.csv", "bench.rw" and "bench.klf" with the files it includes ("parts\..."), the starting
// options "bench.cfg" (every option that rewrites something switched on, the simulator's own
// signals) and the signal system "Semaphores" in "semaphore". False when a file cannot be written.
bool writeBenchFolder(const std::string& folder, int bytes);

}  // namespace bench
