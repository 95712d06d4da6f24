#include "signals/signal_swap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/text_buffer.h"

namespace {

const char* const swapRecord = "sigswap.klv";
const char* const swapJournal = "sigswap.jnl";
const char* const parkingFile = "tempswap.bmp";

const char* const engageFailedText = "Could not engage custom signal bitmaps of system:";
const char* const recordUnwrittenText =
    "Could not write data for restoring signal system!\nYou'll have to swap the files back to normal manually.";
const char* const swapDataUnreadableText =
    "Could not read signal swap data.\r\nDefault signals must be restored manually.";
const char* const systemRemovedText =
    "Could not restore default signals.\r\nSwapped signal system seems to have been removed:";
const char* const pairNotEngagedText =
    "Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:";
const char* const pairNotRestoredText = "Could not restore default signal bitmap.\r\nThe next start tries again:";
const char* const pairMisplacedText =
    "Could not restore default signals.\r\nThe files of an interrupted exchange are not where expected:";
const char* const leftoverKeptText = "A signal bitmap left over from an interrupted exchange was kept as:";
const char* const leftoverStuckText = "Could not move aside a signal bitmap left over from an interrupted exchange:";

// The journal, rewritten whole before every rename that leaves the stages it allows:
//   sigswap journal 1
//   folder <system folder>
//   exchanged <entry>         one line for each pair exchanged, in the order of exchange
//   moving <low> <entry>      the pair being exchanged, now at stage low or low + 1
//   end
// The "exchanged" lines describe the pairs as they were when the moving pair's exchange began;
// the moving pair itself is listed there when that exchange puts it back.
const char* const journalHeader = "sigswap journal 1";

// An engagement or a restore in progress: the journal's content, kept in memory.
struct SwapState {
  std::string folder;                  // the system's folder
  std::vector<std::string> exchanged;  // entries whose pairs are exchanged (the moving one: were)
  std::string moving;                  // entry of the pair in the middle of its exchange, or empty
  std::string written;                 // the journal as last written to the disk, or empty
};

// One pair on its way through the parking file. Its stages and what stands where, the simulator's
// file A holding a and the system's file B holding b at the start:
//   0  A = a, B = b        1  A = a, tempswap = b
//   2  B = a, tempswap = b  3  A = b, B = a
// Neighbouring stages are one rename apart and differ in which files are present.
struct PairMove {
  std::string sim;     // A: the simulator's file
  std::string system;  // B: the system's file
  int stage;
  SwapState* journal;  // null when the renames are not journaled
};

std::string simPath(const std::string& entry) { return std::string(appState.simFolder) + "\\" + entry; }

std::string systemPath(const std::string& folder, const std::string& entry) {
  return ".\\" + folder + "\\" + entry;
}

PairMove journaledMove(SwapState& state, const std::string& entry) {
  return PairMove{simPath(entry), systemPath(state.folder, entry), 0, &state};
}

// A name of at most `size` characters in a field that need not be terminated.
std::string fieldText(const char* field, std::size_t size) {
  const void* end = std::memchr(field, '\0', size);
  return std::string(field, end ? static_cast<const char*>(end) - field : size);
}

bool hasPrefix(const std::string& name, const char* prefix) {
  std::size_t length = std::strlen(prefix);
  if (name.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != prefix[i]) return false;
  }
  return true;
}

// Reports a failure that stops the exchange. Always false.
bool fail(const char* text, const char* detail = nullptr) {
  showError(text, detail);
  return false;
}

bool startsWith(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

// Lists the pairs of a system folder: files whose names begin with "signal" or "relay" and that
// have a file of the same name in the simulator's folder, whether or not it can be opened (one
// held open elsewhere is tried, and reported if it cannot move). All are listed before any moves,
// since a folder changing under its listing may give an entry twice. False when it cannot be
// listed.
bool listSignalPairs(const std::string& folder, std::vector<std::string>& entries) {
  FolderScan* scan = folder.empty() ? nullptr : openFolder(folder.c_str());
  if (!scan) return false;
  while (const char* name = nextFolderEntry(scan)) {
    std::string entry(name);
    if (!hasPrefix(entry, "signal") && !hasPrefix(entry, "relay")) continue;
    if (entry.find('\n') != std::string::npos) continue;  // the journal keeps one name a line
    if (!filePresent(simPath(entry).c_str()) || !filePresent(systemPath(folder, entry).c_str())) continue;
    entries.push_back(entry);
  }
  closeFolder(scan);
  return true;
}

// ---- Journal ---------------------------------------------------------------------------------

std::string journalText(const SwapState& state, int low) {
  std::string text = std::string(journalHeader) + "\nfolder " + state.folder + "\n";
  for (const std::string& entry : state.exchanged) text += "exchanged " + entry + "\n";
  if (!state.moving.empty()) text += "moving " + std::to_string(low) + " " + state.moving + "\n";
  return text + "end\n";
}

// Makes sure the journal on the disk allows both stages of the next rename.
bool journalStep(SwapState& state, int from, int to) {
  std::string text = journalText(state, std::min(from, to));
  if (text == state.written) return true;
  if (!saveWholeFile(swapJournal, text.data(), text.size())) return false;
  state.written = text;
  return true;
}

// Reads the journal into `state` and the moving pair's lower stage into `low`. False when it
// cannot be read or is not whole.
bool readJournal(SwapState& state, int& low) {
  int size = 0;
  char* block = loadWholeFile(swapJournal, 1, &size);
  if (!block) return false;
  std::string text(block, static_cast<std::size_t>(size));
  std::free(block);
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) return false;  // cut short
    lines.push_back(text.substr(start, end - start));
  }
  std::size_t i = 2;
  if (lines.size() < 3 || lines[0] != journalHeader || !startsWith(lines[1], "folder ") || lines[1].size() == 7) {
    return false;
  }
  state.folder = lines[1].substr(7);
  for (; i < lines.size() && startsWith(lines[i], "exchanged "); ++i) state.exchanged.push_back(lines[i].substr(10));
  if (i < lines.size() && startsWith(lines[i], "moving ")) {
    const std::string& line = lines[i++];
    if (line.size() < 10 || line[7] < '0' || line[7] > '2' || line[8] != ' ') return false;
    low = line[7] - '0';
    state.moving = line.substr(9);
  }
  if (i + 1 != lines.size() || lines[i] != "end") return false;
  state.written = text;
  return true;
}

// ---- One pair --------------------------------------------------------------------------------

// Moves a file found under the parking name to the first free name "tempswap<n>.bmp" and says so:
// it may hold the only copy of a bitmap whose exchange was cut short.
bool parkLeftover() {
  char name[32];
  for (int n = 1; n < 1000; ++n) {
    std::snprintf(name, sizeof name, "tempswap%d.bmp", n);
    if (filePresent(name) || folderExists(name)) continue;
    if (!renameFile(parkingFile, name)) break;
    showError(leftoverKeptText, name);
    return true;
  }
  showError(leftoverStuckText, parkingFile);
  return false;
}

// The one rename between the move's stage and its neighbour `to`; the journal first.
bool stepPair(PairMove& move, int to) {
  bool parks = move.stage == 0 || move.stage == 3;  // the step fills the parking name
  if (parks && filePresent(parkingFile) && !parkLeftover()) return false;
  if (move.journal && !journalStep(*move.journal, move.stage, to)) return false;
  int forward = std::max(move.stage, to);  // 1: B to tempswap, 2: A to B, 3: tempswap to A
  std::string parking(parkingFile);
  const std::string& source = forward == 1 ? move.system : forward == 2 ? move.sim : parking;
  const std::string& target = forward == 1 ? parking : forward == 2 ? move.system : move.sim;
  bool moved = to > move.stage ? renameFile(source.c_str(), target.c_str())
                                : renameFile(target.c_str(), source.c_str());
  if (moved) move.stage = to;
  return moved;
}

// Steps towards stage `target` until it is reached or a step fails.
bool stepTowards(PairMove& move, int target) {
  while (move.stage != target) {
    if (!stepPair(move, move.stage < target ? move.stage + 1 : move.stage - 1)) return false;
  }
  return true;
}

// Moves the pair to stage `target` (0 or 3). When a step fails it turns back to the other end,
// where both files stand whole again, and the result is false; a second failure leaves it in
// between, as the journal on the disk says.
bool movePair(PairMove& move, int target) {
  if (stepTowards(move, target)) return true;
  stepTowards(move, 3 - target);
  return false;
}

// Notes in memory where the moving pair ended: exchanged once more when it reached stage 3,
// still moving when it stopped in between.
void settlePair(SwapState& state, int stage) {
  if (stage == 1 || stage == 2) return;
  if (stage == 3) {
    auto found = std::find(state.exchanged.begin(), state.exchanged.end(), state.moving);
    if (found != state.exchanged.end()) {
      state.exchanged.erase(found);
    } else {
      state.exchanged.push_back(state.moving);
    }
  }
  state.moving.clear();
}

// Exchanges the pair of `entry` (engaging or restoring it) under the journal.
bool exchangePair(SwapState& state, const std::string& entry) {
  state.moving = entry;
  PairMove move = journaledMove(state, entry);
  bool exchanged = movePair(move, 3);
  settlePair(state, move.stage);
  return exchanged;
}

// The stage of the journal's moving pair as its present files show it, when it is one of the two
// the journal allows; -1 otherwise. With A and B both present a parking file is not theirs.
int presentStage(const PairMove& move, int low) {
  bool a = filePresent(move.sim.c_str());
  bool b = filePresent(move.system.c_str());
  bool parked = filePresent(parkingFile);
  int stage = -1;
  if (a && b) {
    stage = low == 0 ? 0 : low == 2 ? 3 : -1;
  } else if (a && parked) {
    stage = 1;
  } else if (b && parked) {
    stage = 2;
  }
  return stage >= low && stage <= low + 1 ? stage : -1;
}

// Takes the pair that a dead run left moving back to where its exchange began; the journal's
// "exchanged" lines then say whether it is exchanged.
bool settleInterruptedPair(SwapState& state, int low) {
  PairMove move = journaledMove(state, state.moving);
  move.stage = presentStage(move, low);
  if (move.stage < 0) return fail(pairMisplacedText, move.sim.c_str());
  bool settled = movePair(move, 0);
  settlePair(state, move.stage);
  if (!settled) showError(pairNotRestoredText, move.sim.c_str());
  return settled;
}

// ---- Restore ---------------------------------------------------------------------------------

// The folder named by the swap record: its first line, at most 15 characters.
bool readSwapRecord(std::string& folder) {
  std::string text;
  if (!readTextFile(swapRecord, text)) return false;
  folder = text.substr(0, text.find('\n'));
  if (folder.size() >= static_cast<std::size_t>(signalNameSize)) folder.resize(signalNameSize - 1);
  return !folder.empty();
}

// What is engaged, from the journal when a run left one, else from the record (every pair of the
// recorded folder). Settles an interrupted pair. False after a message when nothing can be done.
bool loadEngagement(SwapState& state) {
  if (filePresent(swapJournal)) {
    int low = 0;
    if (!readJournal(state, low)) return fail(swapDataUnreadableText, swapJournal);
    if (!folderExists(state.folder.c_str())) return fail(systemRemovedText, state.folder.c_str());
    return state.moving.empty() || settleInterruptedPair(state, low);
  }
  if (!readSwapRecord(state.folder)) return fail(swapDataUnreadableText);
  if (!listSignalPairs(state.folder, state.exchanged)) return fail(systemRemovedText, state.folder.c_str());
  return true;
}

// The restore; true when the simulator has all its own files back and nothing is recorded.
bool restoreSignals() {
  if (!filePresent(swapJournal) && !filePresent(swapRecord)) return true;
  SwapState state;
  if (!loadEngagement(state)) return false;
  const std::vector<std::string> pairs = state.exchanged;
  for (const std::string& entry : pairs) {
    if (!exchangePair(state, entry)) return fail(pairNotRestoredText, simPath(entry).c_str());
  }
  // The record goes first: a record without a journal says that every pair is exchanged.
  if (filePresent(swapRecord) && !deleteFile(swapRecord)) return false;
  if (filePresent(swapJournal)) deleteFile(swapJournal);  // left behind, it describes no pair
  return true;
}

}  // namespace

bool swapSignalFile(const char* a, const char* b) {
  PairMove move{a, b, 0, nullptr};
  return movePair(move, 3);
}

void restoreDefaultSignals() { restoreSignals(); }

void engageSignalSystem() {
  const std::string systemName = fieldText(appState.signalSystem, sizeof appState.signalSystem);
  SwapState state;
  state.folder = fieldText(signalSystemFolder, sizeof signalSystemFolder);
  std::vector<std::string> pairs;
  // Engaging over an engagement that could not be restored would lose the record of it.
  if (!restoreSignals() || !listSignalPairs(state.folder, pairs)) {
    showError(engageFailedText, systemName.c_str());
    return;
  }
  bool complete = true;
  for (const std::string& entry : pairs) {
    takeRightsRefused();  // only a refusal of this pair's moves counts
    if (exchangePair(state, entry)) continue;
    if (takeRightsRefused()) showError(rightsRefusedText, appState.simFolder);  // the simulator's, as a rule
    else showError(pairNotEngagedText, simPath(entry).c_str());
    complete = false;
    break;
  }
  if (!complete && state.exchanged.empty() && state.moving.empty()) {
    if (!state.written.empty()) deleteFile(swapJournal);  // nothing is engaged
    return;
  }
  if (!saveWholeFile(swapRecord, state.folder.data(), state.folder.size())) {
    showError(recordUnwrittenText, state.folder.c_str());  // the journal stays for the next start
    return;
  }
  // Complete, the record alone says it all, as every version of the program reads it.
  if (complete && !state.written.empty()) deleteFile(swapJournal);
}

void prepareSignalSystem() {
  if (!appState.swapSignals) return;
  if (!loadSignalSystemDefs()) return;
  engageSignalSystem();
}
