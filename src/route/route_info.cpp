#include "route/route_info.h"

#include <cstdio>
#include <cstring>

#include "macro/keyword_table.h"
#include "state/app_state.h"
#include "text/info_text.h"
#include "text/text_buffer.h"

namespace {

constexpr int infoLineSize = 1023;          // a line of a route file: at most 1021 characters
constexpr int rwDescriptionLimit = 4091;    // characters collected from an rw route
constexpr int macroDescriptionLimit = 4090;  // characters collected from a macro route's notes

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Searches `pattern` from the start of the text; when found, skips the one character behind it
// (the separator) and reads the rest of that line without its line end. False when not found.
bool readLineAfter(TextBuffer& file, const char* pattern, char* line) {
  file.setPosition(0, FromStart);
  if (!findText(pattern, file)) return false;
  file.setPosition(1, FromCurrent);
  line[0] = '\0';  // a keyword at the very end of the file gives an empty text
  file.readLine(line, infoLineSize, false);
  return true;
}

// The lines before the [Train] section, lower-cased, comment lines left out.
std::string collectRwDescription(TextBuffer& file) {
  std::string description;
  char piece[infoLineSize];
  file.setPosition(0, FromStart);
  while (file.readLine(piece, infoLineSize, true)) {
    if (piece[0] == ';') continue;
    for (char* p = piece; *p; ++p) *p = static_cast<char>(lowerAscii(static_cast<unsigned char>(*p)));
    if (std::strstr(piece, "[train]")) break;
    std::size_t room = static_cast<std::size_t>(rwDescriptionLimit) - description.size();
    description.append(piece, minInt(static_cast<int>(std::strlen(piece)), static_cast<int>(room)));
  }
  return description;
}

// The text between the commands #notes<> and #endnotes<>. A '#' is never collected; a '#' that
// does not begin "notes<>" loses the characters its test read.
std::string collectMacroNotes(TextBuffer& file) {
  std::string notes;
  bool notesBegun = false;
  file.setPosition(0, FromStart);
  while (static_cast<int>(notes.size()) < macroDescriptionLimit) {
    int c = file.getChar();
    if (c == -1) break;
    if (c == '#') {
      if (matchCommand(file, cmdEndNotes, false) != noCommand) break;
      if (matchCommand(file, cmdNotes, true) != noCommand) notesBegun = true;
    } else if (notesBegun) {
      notes.push_back(static_cast<char>(c));
    }
  }
  return notes;
}

}  // namespace

RouteInfo showRouteInfo() {
  RouteInfo info;
  char path[600];
  std::snprintf(path, sizeof path, "%s\\%s", appState.browseFolder, appState.routeFile);
  TextBuffer file(path);
  if (!file.isValid()) {
    info.routeName = "Unable to open file";
    return info;
  }
  const int kind = appState.routeKind;
  char line[infoLineSize];
  if (kind == 1 || kind == 3) {
    info.routeName = appState.routeFile;
    if (readLineAfter(file, "file", line)) info.defaultTrain = line;
  }
  if (kind == 2 || kind == 3) {
    if (readLineAfter(file, ".timetable", line)) {
      cleanInfoText(line, infoLineSize, false);
      info.routeName = line;
    }
    if (readLineAfter(file, ".folder", line)) info.defaultTrain = line;
  }
  if (kind == 2 && readLineAfter(file, ".comment", line)) {
    cleanInfoText(line, infoLineSize, true);
    info.description = line;
  } else if (kind == 1) {
    info.description = collectRwDescription(file);
  } else if (kind == 3) {
    info.description = collectMacroNotes(file);
    info.routeName = appState.routeFile;
  }
  info.fileRead = true;
  return info;
}
