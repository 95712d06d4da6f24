#include "signals/signal_swap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/text_buffer.h"

namespace {

const char* const swapRecord = "sigswap.klv";
const char* const swapJournal = "sigswap.jnl";
const char* const swapLock = "sigswap.lck";
const char* const parkingFile = "tempswap.bmp";

const char* const engageFailedText = "Could not engage custom signal bitmaps of system:";
const char* const stateUnwrittenText =
    "Could not write data for restoring signal system!\nNo signal bitmap was exchanged:";
const char* const swapDataUnreadableText =
    "Could not read signal swap data.\r\nDefault signals must be restored manually: put the simulator's own "
    "signal bitmaps back in its folder, then delete in Klevane's folder:";
const char* const systemRemovedText =
    "Could not restore default signals.\r\nSwapped signal system seems to have been removed:";
const char* const simulatorRemovedText =
    "Could not restore default signals.\r\nThe simulator folder they were swapped into seems to have been removed:";
const char* const pairNotEngagedText =
    "Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:";
const char* const pairNotRestoredText = "Could not restore default signal bitmap.\r\nThe next start tries again:";
const char* const pairsOutOfPlaceText =
    "Could not restore these default signal bitmaps: their files are not where the exchange left them.\r\n"
    "They are left as they are, and no longer restored:";
const char* const stateNotUpdatedText = "Could not update signal swap data.\r\nThe next start tries again:";
const char* const leftoverKeptText = "A signal bitmap left over from an interrupted exchange was kept as:";
const char* const leftoverStuckText = "Could not move aside a signal bitmap left over from an interrupted exchange:";
const char* const parkingTakenText =
    "Could not exchange signal bitmaps.\r\nA folder in Klevane's folder has the name of the exchange's temporary "
    "file; rename or remove it:";
const char* const busyText =
    "Another copy of Klevane is exchanging signal bitmaps.\r\nNothing was exchanged; try again when it is done.";

// The journal, rewritten whole before the renames of a pair that it allows:
//   sigswap journal 2
//   simulator <simulator folder>
//   folder <system folder>
//   exchanged <entry>         one line for each pair exchanged, in the order of exchange
//   moving <low> <entry>      the pair being exchanged: 0, at a stage from 0 to 2; 2, at 2 or 3
//   end
// The "exchanged" lines describe the pairs as they were when the moving pair's exchange began;
// the moving pair itself is listed there when that exchange puts it back. Version 1, written by
// earlier versions, has no simulator line (the configured folder is meant), and its moving pair
// is at stage low or low + 1.
const char* const journalHeader = "sigswap journal 2";
const char* const oldJournalHeader = "sigswap journal 1";

// An engagement or a restore in progress: the journal's content, kept in memory.
struct SwapState {
  std::string sim;                     // the simulator's folder of the engagement
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

// The messages of an exchange, shown when its lock is released.
struct Message {
  const char* text;
  std::string detail;
};
std::vector<Message> messages;

// What the last failed step could not do: the file it could not move or write, or empty when
// the step has reported its failure itself.
std::string failedFile;

void report(const char* text, const std::string& detail = std::string()) { messages.push_back({text, detail}); }

// Reports a failure that stops the exchange. Always false.
bool fail(const char* text, const std::string& detail = std::string()) {
  report(text, detail);
  return false;
}

std::string simPath(const std::string& sim, const std::string& entry) { return sim + "\\" + entry; }

std::string systemPath(const std::string& folder, const std::string& entry) {
  return ".\\" + folder + "\\" + entry;
}

PairMove journaledMove(SwapState& state, const std::string& entry) {
  return PairMove{simPath(state.sim, entry), systemPath(state.folder, entry), 0, &state};
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

bool startsWith(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

// Deletes a file of the exchange's own; a failure is reported. False when it is still there.
bool removeOrReport(const char* name) {
  if (!filePresent(name) || deleteFile(name)) return true;
  return fail(stateNotUpdatedText, name);
}

// Lists the pairs of a system folder: files whose names begin with "signal" or "relay" and that
// have a file of the same name in the simulator's folder, whether or not it can be opened (one
// held open elsewhere is tried, and reported if it cannot move). All are listed before any moves,
// since a folder changing under its listing may give an entry twice, and sorted, so that the
// journal of the same folders is the same on every file system. False when it cannot be listed.
bool listSignalPairs(const std::string& sim, const std::string& folder, std::vector<std::string>& entries) {
  FolderScan* scan = folder.empty() ? nullptr : openFolder(folder.c_str());
  if (!scan) return false;
  while (const char* name = nextFolderEntry(scan)) {
    std::string entry(name);
    if (!hasPrefix(entry, "signal") && !hasPrefix(entry, "relay")) continue;
    if (entry.find('\n') != std::string::npos) continue;  // the journal keeps one name a line
    if (!filePresent(simPath(sim, entry).c_str()) || !filePresent(systemPath(folder, entry).c_str())) continue;
    entries.push_back(entry);
  }
  closeFolder(scan);
  std::sort(entries.begin(), entries.end());
  return true;
}

// ---- Journal ---------------------------------------------------------------------------------

std::string journalText(const SwapState& state, int low) {
  std::string text = std::string(journalHeader) + "\nsimulator " + state.sim + "\nfolder " + state.folder + "\n";
  for (const std::string& entry : state.exchanged) text += "exchanged " + entry + "\n";
  if (!state.moving.empty()) text += "moving " + std::to_string(low) + " " + state.moving + "\n";
  return text + "end\n";
}

// Makes sure the journal on the disk allows both stages of the next rename (and the state as it
// is in memory when nothing moves).
bool journalStep(SwapState& state, int from, int to) {
  std::string text = journalText(state, std::max(from, to) == 3 ? 2 : 0);
  if (text == state.written) return true;
  if (!saveFileInOneStep(swapJournal, text.data(), text.size())) return false;
  state.written = text;
  return true;
}

// Reads the journal into `state`, and the stages its moving pair may be at into `low` and
// `high`. False when it cannot be read or is not whole.
bool readJournal(SwapState& state, int& low, int& high) {
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
  const bool old = !lines.empty() && lines[0] == oldJournalHeader;
  std::size_t i = old ? 1 : 2;
  if (lines.size() < i + 2 || (!old && (lines[0] != journalHeader || !startsWith(lines[1], "simulator "))) ||
      !startsWith(lines[i], "folder ") || lines[i].size() == 7) {
    return false;
  }
  state.sim = old ? std::string(appState.simFolder) : lines[1].substr(10);
  state.folder = lines[i++].substr(7);
  for (; i < lines.size() && startsWith(lines[i], "exchanged "); ++i) state.exchanged.push_back(lines[i].substr(10));
  if (i < lines.size() && startsWith(lines[i], "moving ")) {
    const std::string& line = lines[i++];
    low = line.size() < 10 || line[8] != ' ' ? -1 : line[7] - '0';
    high = old ? low + 1 : low == 0 ? 2 : 3;
    if (old ? low < 0 || low > 2 : low != 0 && low != 2) return false;
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
    report(leftoverKeptText, name);
    return true;
  }
  return fail(leftoverStuckText, parkingFile);
}

// Frees the parking name for a pair. A folder under that name is reported as what is in the way.
bool freeParking() {
  failedFile.clear();  // each failure below is reported here
  if (folderExists(parkingFile)) return fail(parkingTakenText, parkingFile);
  return !filePresent(parkingFile) || parkLeftover();
}

// The one rename between the move's stage and its neighbour `to`; the journal first.
bool stepPair(PairMove& move, int to) {
  bool parks = move.stage == 0 || move.stage == 3;  // the step fills the parking name
  if (parks && !freeParking()) return false;
  failedFile = swapJournal;
  if (move.journal && !journalStep(*move.journal, move.stage, to)) return false;
  int forward = std::max(move.stage, to);  // 1: B to tempswap, 2: A to B, 3: tempswap to A
  std::string parking(parkingFile);
  const std::string& source = forward == 1 ? move.system : forward == 2 ? move.sim : parking;
  const std::string& target = forward == 1 ? parking : forward == 2 ? move.system : move.sim;
  failedFile = forward == 2 ? move.sim : move.system;  // the bitmap of the pair that did not move
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
// between, as the journal on the disk says. failedFile names what the first failure concerned.
bool movePair(PairMove& move, int target) {
  if (stepTowards(move, target)) return true;
  const std::string failed = failedFile;
  stepTowards(move, 3 - target);
  failedFile = failed;
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

// ---- Restore ---------------------------------------------------------------------------------

// Which of a pair's files (the simulator's, the system's, the parking file) are not where stage
// `stage` has them: for each, a line of `lines`. The number of such lines.
int outOfPlace(const PairMove& move, int stage, std::string& lines) {
  const std::string parking(parkingFile);
  const std::string* names[] = {&move.sim, &move.system, &parking};
  const bool expected[] = {stage != 2, stage != 1, stage == 1 || stage == 2};
  int count = 0;
  for (int i = 0; i < 3; ++i) {
    if (i == 2 && !expected[2]) continue;  // a parking file found beside A and B is not theirs
    const bool present = filePresent(names[i]->c_str());
    if (present == expected[i]) continue;
    lines += (lines.empty() ? "" : "\r\n") + *names[i] + (present ? ": a file is in the way" : ": missing");
    ++count;
  }
  return count;
}

// The stage of the journal's moving pair as its present files show it, when it is one from `low`
// to `high`; -1 otherwise. With A and B both present a parking file is not theirs.
int presentStage(const PairMove& move, int low, int high) {
  bool a = filePresent(move.sim.c_str());
  bool b = filePresent(move.system.c_str());
  bool parked = filePresent(parkingFile);
  int stage = -1;
  if (a && b) {
    stage = low == 0 ? 0 : high == 3 ? 3 : -1;
  } else if (a && parked) {
    stage = 1;
  } else if (b && parked) {
    stage = 2;
  }
  return stage >= low && stage <= high ? stage : -1;
}

// Takes the pair that a dead run left moving back to where its exchange began; the journal's
// "exchanged" lines then say whether it is exchanged. A pair whose files are not at any stage
// the journal allows is given up: its files are named in `outOfPlaceLines` and left alone.
bool settleInterruptedPair(SwapState& state, int low, int high, std::string& outOfPlaceLines) {
  PairMove move = journaledMove(state, state.moving);
  move.stage = presentStage(move, low, high);
  if (move.stage < 0) {
    std::string best;
    for (int stage = low, fewest = 4; stage <= high; ++stage) {
      std::string lines;
      int count = outOfPlace(move, stage, lines);
      if (count < fewest) best = lines, fewest = count;
    }
    outOfPlaceLines += (outOfPlaceLines.empty() ? "" : "\r\n") + best;
    state.exchanged.erase(std::remove(state.exchanged.begin(), state.exchanged.end(), state.moving),
                          state.exchanged.end());
    state.moving.clear();
    return true;
  }
  bool settled = movePair(move, 0);
  settlePair(state, move.stage);
  if (!settled && !failedFile.empty()) report(pairNotRestoredText, failedFile);
  return settled;
}

// A state that cannot be read: nothing moves. The record goes, so that a start after the user
// has put the files back and deleted the journal does not exchange them again from the record.
bool unreadableState() {
  if (filePresent(swapJournal) && filePresent(swapRecord)) deleteFile(swapRecord);
  std::string files;
  for (const char* name : {swapJournal, swapRecord}) {
    if (filePresent(name)) files += (files.empty() ? "" : "\r\n") + std::string(name);
  }
  return fail(swapDataUnreadableText, files);
}

// The folder named by the swap record: its first line, at most 15 characters.
bool readSwapRecord(std::string& folder) {
  std::string text;
  if (!readTextFile(swapRecord, text)) return false;
  folder = text.substr(0, text.find('\n'));
  if (folder.size() >= static_cast<std::size_t>(signalNameSize)) folder.resize(signalNameSize - 1);
  return !folder.empty() && folder.find('\0') == std::string::npos;
}

// What is engaged, from the journal, or from a record without one (every pair the recorded
// folder lists, in the configured simulator folder). Settles an interrupted pair. False after a
// message when nothing can be done.
bool loadEngagement(SwapState& state, std::string& outOfPlaceLines) {
  int low = 0, high = 0;
  if (!filePresent(swapJournal)) {
    state.sim = appState.simFolder;
    if (!readSwapRecord(state.folder)) return unreadableState();
  } else if (!readJournal(state, low, high)) {
    return unreadableState();
  }
  if (!folderExists(state.folder.c_str())) return fail(systemRemovedText, state.folder);
  if (!folderExists(state.sim.c_str())) return fail(simulatorRemovedText, state.sim);
  if (state.written.empty()) {
    listSignalPairs(state.sim, state.folder, state.exchanged);
    return true;
  }
  return state.moving.empty() || settleInterruptedPair(state, low, high, outOfPlaceLines);
}

// Restores every recorded pair it can. True when nothing is recorded any more.
bool restoreEngagement() {
  SwapState state;
  std::string outOfPlaceLines;
  if (!loadEngagement(state, outOfPlaceLines)) return false;
  bool complete = true;
  const std::vector<std::string> pairs = state.exchanged;
  for (const std::string& entry : pairs) {
    PairMove move = journaledMove(state, entry);
    move.stage = 3;
    if (outOfPlace(move, 3, outOfPlaceLines) > 0) {  // a file deleted or put in the way since
      state.exchanged.erase(std::find(state.exchanged.begin(), state.exchanged.end(), entry));
    } else if (!exchangePair(state, entry)) {
      complete = false;
      if (!failedFile.empty()) report(pairNotRestoredText, failedFile);
      if (!state.moving.empty()) break;  // stuck between two stages: the journal must keep it
    }
  }
  if (!outOfPlaceLines.empty()) report(pairsOutOfPlaceText, outOfPlaceLines);
  if (!complete) {
    // The pairs given up leave the journal; if it cannot be written they are named again.
    if (!journalStep(state, 0, 0)) report(stateNotUpdatedText, swapJournal);
    return false;
  }
  // The record goes first: a record without a journal would have its folder's pairs exchanged.
  return removeOrReport(swapRecord) && removeOrReport(swapJournal);
}

// The restore; true when the simulator has all its own files back and nothing is recorded. What
// a write cut short left beside the journal or the record goes too.
bool restoreSignals() {
  bool restored = (!filePresent(swapJournal) && !filePresent(swapRecord)) || restoreEngagement();
  for (const char* name : {"sigswap.jnl.new", "sigswap.klv.new"}) {
    if (!removeOrReport(name)) restored = false;
  }
  return restored;
}

std::string programFolder() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

// Engages the chosen system; the caller holds the lock.
void engage() {
  const std::string systemName = fieldText(appState.signalSystem, sizeof appState.signalSystem);
  SwapState state;
  state.sim = appState.simFolder;
  state.folder = fieldText(signalSystemFolder, sizeof signalSystemFolder);
  std::vector<std::string> pairs;
  // Engaging over an engagement that could not be restored would lose the record of it.
  if (!restoreSignals() || !listSignalPairs(state.sim, state.folder, pairs)) {
    report(engageFailedText, systemName);
    return;
  }
  if (pairs.empty()) return;
  takeRightsRefused();  // only a refusal of this engagement's writes counts
  // The journal first: a record without one would have the next start list the folder.
  if (!journalStep(state, 0, 0) || !saveFileInOneStep(swapRecord, state.folder.data(), state.folder.size())) {
    const bool refused = takeRightsRefused();
    const char* file = state.written.empty() ? swapJournal : swapRecord;
    if (removeOrReport(swapJournal)) report(refused ? rightsRefusedText : stateUnwrittenText, refused ? programFolder() : file);
    return;
  }
  for (const std::string& entry : pairs) {
    if (exchangePair(state, entry)) continue;
    if (takeRightsRefused()) {
      report(rightsRefusedText, failedFile == swapJournal ? programFolder() : state.sim);
    } else if (!failedFile.empty()) {
      report(pairNotEngagedText, failedFile);
    }
    if (state.exchanged.empty() && state.moving.empty()) {
      removeOrReport(swapRecord) && removeOrReport(swapJournal);  // nothing is engaged
      return;
    }
    break;
  }
  // The journal names exactly the pairs exchanged. When this last write fails, the journal on the
  // disk names the same files, the last pair as moving, and a restore settles it the same way.
  journalStep(state, 0, 0);
}

void showMessages() {
  std::vector<Message> shown;
  shown.swap(messages);
  for (const Message& message : shown) showError(message.text, message.detail.empty() ? nullptr : message.detail.c_str());
}

// Runs `work` under the exchange's lock, then shows its messages.
template <typename Work>
void underLock(Work work) {
  messages.clear();
  takeRightsRefused();
  if (FileLock* lock = lockFile(swapLock, 10000)) {
    work();
    unlockFile(lock);
  } else if (takeRightsRefused()) {
    report(rightsRefusedText, programFolder());
  } else {
    report(busyText);
  }
  showMessages();
}

}  // namespace

bool swapSignalFile(const char* a, const char* b) {
  PairMove move{a, b, 0, nullptr};
  messages.clear();
  const bool swapped = movePair(move, 3);
  showMessages();
  return swapped;
}

void restoreDefaultSignals() {
  underLock([] { restoreSignals(); });
}

void engageSignalSystem() { underLock(engage); }

void prepareSignalSystem() {
  if (!appState.swapSignals) return;
  if (!loadSignalSystemDefs()) return;
  engageSignalSystem();
}
