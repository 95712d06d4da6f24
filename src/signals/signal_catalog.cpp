#include "signals/signal_catalog.h"

#include <cstdio>
#include <cstring>

#include "macro/keyword_table.h"
#include "state/app_state.h"
#include "text/info_text.h"
#include "text/text_buffer.h"

char speeds[signalTextSize];
char signaldef[signalTextSize];
char relaydef[signalTextSize];
char signalSystemFolder[signalNameSize];

namespace {

constexpr int signalKeywordCount = 4;  // "end#", "speeds#", "signaldef#", "relaydef#"
constexpr int descriptionPieceSize = 128;

// A sigsys.txt read line by line as the C library's text mode reads it on Windows (CR LF arrives
// as LF), so that names and descriptions come out the same on every platform.
struct LineReader {
  std::string text;
  std::size_t position = 0;

  // Like fgets: at most size - 1 characters, up to and including a line feed. False at the end
  // of the file, with `dest` untouched.
  bool readLine(char* dest, int size) {
    if (position >= text.size() || size < 2) return false;
    int stored = 0;
    while (stored < size - 1 && position < text.size()) {
      char c = text[position++];
      dest[stored++] = c;
      if (c == '\n') break;
    }
    dest[stored] = '\0';
    return true;
  }
};

// The path of a system folder's description file.
std::string sigsysPath(const char* folder) {
  char path[64];
  std::snprintf(path, sizeof path, ".\\%s\\sigsys.txt", folder);
  return path;
}

// The chosen system's name as a string (the field need not be terminated).
std::string chosenSystem() {
  const char* name = appState.signalSystem;
  const void* end = std::memchr(name, '\0', sizeof appState.signalSystem);
  return std::string(name, end ? static_cast<const char*>(end) - name : sizeof appState.signalSystem);
}

// Lists the program's folder and calls visit(folder, name, reader) for every signal system, the
// reader standing just after the name line. "." and ".." are the folder itself and its parent,
// never systems.
template <typename Visit>
void forEachSignalSystem(Visit visit) {
  FolderScan* scan = openFolder(".");
  if (!scan) return;
  while (const char* entry = nextFolderEntry(scan)) {
    std::string folder(entry);
    if (folder == "." || folder == ".." || folder.size() >= signalNameSize) continue;
    LineReader reader;
    if (!readTextFile(sigsysPath(folder.c_str()).c_str(), reader.text)) continue;
    char name[signalNameSize] = "";
    reader.readLine(name, sizeof name);  // a longer first line goes on as the next line
    trimBlanks(name);
    visit(folder, std::string(name), reader);
  }
  closeFolder(scan);
}

// The chosen system has no folder, or its file cannot be read. Always false.
bool reportUnloadableSystem() {
  showError("Could not load signal system:", chosenSystem().c_str());
  return false;
}

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

}  // namespace

std::vector<SignalSystemEntry> scanSignalSystems() {
  std::vector<SignalSystemEntry> entries;
  forEachSignalSystem([&entries](const std::string& folder, const std::string& name, LineReader&) {
    entries.push_back({folder, name});
  });
  return entries;
}

void fillSignalSystemList(WindowHandle combo) {
  const std::string chosen = chosenSystem();
  for (const SignalSystemEntry& entry : scanSignalSystems()) {
    int index = comboAddString(combo, entry.name.c_str());
    if (entry.name == chosen && index >= 0) comboSetSelection(combo, index);
  }
}

void describeSignalSystem(char* buffer, int size) {
  if (size < 1) return;
  std::memset(buffer, 0, static_cast<std::size_t>(size));
  const std::string chosen = chosenSystem();
  int length = 0;
  forEachSignalSystem([&](const std::string&, const std::string& name, LineReader& reader) {
    if (name != chosen) return;
    char piece[descriptionPieceSize];
    while (reader.readLine(piece, sizeof piece) && std::strncmp(piece, "#end#", 5) != 0) {
      int room = size - 1 - length;
      int take = minInt(static_cast<int>(std::strlen(piece)), room);
      std::memcpy(buffer + length, piece, static_cast<std::size_t>(take));
      length += take;
    }
  });
  cleanInfoText(buffer, size, true);
}

bool findSignalSystemFolder() {
  std::memset(signalSystemFolder, 0, sizeof signalSystemFolder);
  const std::string chosen = chosenSystem();
  bool found = false;
  forEachSignalSystem([&](const std::string& folder, const std::string& name, LineReader&) {
    if (name != chosen) return;
    std::snprintf(signalSystemFolder, sizeof signalSystemFolder, "%s", folder.c_str());
    found = true;
  });
  return found;
}

bool loadSignalSystemDefs() {
  std::memset(speeds, 0, sizeof speeds);
  std::memset(signaldef, 0, sizeof signaldef);
  std::memset(relaydef, 0, sizeof relaydef);
  if (!findSignalSystemFolder()) return reportUnloadableSystem();
  TextBuffer file(sigsysPath(signalSystemFolder).c_str());
  if (!file.isValid() || file.endsEarly()) return reportUnloadableSystem();  // sections would be lost

  // Section 0 is "none"; each section keyword starts its text afresh, "#end#" closes it.
  char* const texts[signalKeywordCount] = {nullptr, speeds, signaldef, relaydef};
  int counts[signalKeywordCount] = {0, 0, 0, 0};
  int section = 0;
  for (int c = file.getChar(); c != -1; c = file.getChar()) {
    if (c == '#') {
      int keywordIndex = matchSignalKeyword(file);
      if (keywordIndex == 0) {
        section = 0;
        continue;
      }
      if (keywordIndex > 0) {
        section = keywordIndex;
        std::memset(texts[section], 0, signalTextSize);
        counts[section] = 0;
        continue;
      }
    }
    if (section != 0 && counts[section] < signalTextSize - 1) texts[section][counts[section]++] = static_cast<char>(c);
  }
  return true;
}

int matchSignalKeyword(TextBuffer& source) {
  const int start = source.getPosition();
  int matched[signalKeywordCount] = {0, 0, 0, 0};
  bool alive[signalKeywordCount] = {true, true, true, true};
  int live = signalKeywordCount;
  while (live > 0) {
    int c = source.getChar();
    if (c == -1) break;
    c = lowerAscii(c);
    for (int i = 0; i < signalKeywordCount; ++i) {
      if (!alive[i]) continue;
      const char* entry = keyword(KeywordGroup::SignalKeyword, i);
      if (c == static_cast<unsigned char>(entry[matched[i]])) {
        if (entry[++matched[i]] == '\0') return i;
      } else {
        alive[i] = false;
        --live;
      }
    }
  }
  source.setPosition(start, FromStart);
  return -1;
}
