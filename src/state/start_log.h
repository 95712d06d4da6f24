// The log of the starts from the main window, "klevane.log" in the program folder: a line for each
// start, the newest last, the last 200 kept. A line holds everything the prepared route of that
// start depends on (besides the route's files themselves), so that the same route can be prepared
// again, byte for byte, when a player reports a problem with it.
#pragma once

#include <cstdint>
#include <string>

#include "state/app_state.h"

struct StartRecord {
  std::string time;          // local date and time, "2026-12-07 18:05:12"
  std::string route;         // the route file's path
  std::string train;
  std::string signalSystem;
  StartOptions options{};
  std::uint32_t seed = 0;    // of the random choices
  std::string answers;       // to the #choice questions, in order: 'y' or 'n' each
  std::string outcome;       // "started", or "failed: " and the first message shown
};

// The line of a record: its fields in the order above, a tab between them; the options as in
// klv.cfg, "1 0 0 0 0 0 / 651 30 30 240 / 654 20"; no answers as "-". Tabs and line ends within a
// text become blanks.
std::string startLogLine(const StartRecord& record);
bool parseStartLogLine(const std::string& line, StartRecord& record);

// Appends a record, keeping the last 200; the file is replaced in one step, as klv.cfg is.
bool appendStartLog(const StartRecord& record, const char* path = "klevane.log");

// The record of the `newest`-th start counted from the newest (1); false when there is none.
bool readStartLog(int newest, StartRecord& record, const char* path = "klevane.log");

// The local date and time as a record holds it.
std::string localTimeText();
