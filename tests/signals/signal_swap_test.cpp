#include "signals/signal_swap.h"

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Tree = std::map<std::string, std::string>;  // every file below the work folder: path, bytes

const std::string removedText =
    "Could not restore default signals.\r\nSwapped signal system seems to have been removed:";
const std::string unreadableText = "Could not read signal swap data.\r\nDefault signals must be restored manually.";
const std::string engageText = "Could not engage custom signal bitmaps of system:";
const std::string pairEngageText =
    "Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:";
const std::string pairRestoreText = "Could not restore default signal bitmap.\r\nThe next start tries again:";
const std::string misplacedText =
    "Could not restore default signals.\r\nThe files of an interrupted exchange are not where expected:";
const std::string recordText =
    "Could not write data for restoring signal system!\nYou'll have to swap the files back to normal manually.";
const std::string keptText = "A signal bitmap left over from an interrupted exchange was kept as:";
const std::string stuckText = "Could not move aside a signal bitmap left over from an interrupted exchange:";

// The simulator with two signal systems of three pairs each, and files that are no pairs.
const Tree installation = {
    {"sim/Signal1.bmp", "sim signal 1"},   {"sim/RELAY.BMP", "sim relay"},
    {"sim/sIgNaL3.bmp", "sim signal 3"},   {"sim/readme.txt", "sim readme"},
    {"sim/xsignal.bmp", "sim xsignal"},    {"sim/signal2.bmp", "sim signal 2 alone"},
    {"new/sigsys.txt", "New\r\n"},         {"new/Signal1.bmp", "new signal 1"},
    {"new/RELAY.BMP", "new relay"},        {"new/sIgNaL3.bmp", "new signal 3"},
    {"new/readme.txt", "new readme"},      {"new/xsignal.bmp", "new xsignal"},
    {"new/signal9.bmp", "new signal 9 alone"}, {"new/signals", "new file named like a folder"},
    {"old/sigsys.txt", "Old\r\n"},         {"old/Signal1.bmp", "old signal 1"},
    {"old/RELAY.BMP", "old relay"},        {"old/sIgNaL3.bmp", "old signal 3"},
};

// The installation with system `folder` engaged.
Tree engaged(const std::string& folder) {
  Tree files = installation;
  for (const char* entry : {"Signal1.bmp", "RELAY.BMP", "sIgNaL3.bmp"}) {
    std::swap(files["sim/" + std::string(entry)], files[folder + "/" + entry]);
  }
  files["sigswap.klv"] = folder;
  return files;
}

class SignalSwapTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::snprintf(appState.simFolder, sizeof appState.simFolder, "sim");
    appState.swapSignals = true;
    setFileFaultHook({0, false});
    plant(installation);
  }
  void TearDown() override {
    setFileFaultHook({0, false});
    WorkFolderTest::TearDown();
  }

  static void plant(const Tree& files) {
    for (const auto& file : files) {
      std::filesystem::path path(file.first);
      if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
      writeBytes(file.first, file.second);
    }
    std::filesystem::create_directories("sim/signals");  // a folder is no counterpart
  }

  // Back to the files of `target` alone, rewriting only what differs.
  static void replant(const Tree& target = installation) {
    const Tree files = tree();
    for (const auto& file : files) {
      if (!target.count(file.first)) std::filesystem::remove(file.first);
    }
    for (const auto& file : target) {
      auto found = files.find(file.first);
      if (found == files.end() || found->second != file.second) writeBytes(file.first, file.second);
    }
  }

  static Tree tree() {
    Tree files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
      if (entry.is_regular_file()) {
        files[entry.path().lexically_relative(".").generic_string()] = readBytes(entry.path().string());
      }
    }
    return files;
  }

  static void choose(const char* name, const char* folder) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", name);
    std::snprintf(signalSystemFolder, sizeof signalSystemFolder, "%s", folder);
  }

  static void engage(const char* folder) {
    choose(folder, folder);
    engageSignalSystem();
  }
};

// Only signal and relay files with counterparts move; an engagement first restores the earlier
// one; after the restore nothing is left over, no record, journal or parking file.
TEST_F(SignalSwapTest, EngageExchangesSignalAndRelayFilesThatHaveCounterparts) {
  MessageRecorder messages;
  engage("old");
  EXPECT_EQ(tree(), engaged("old"));
  engage("new");
  EXPECT_EQ(tree(), engaged("new"));
  restoreDefaultSignals();
  EXPECT_EQ(tree(), installation);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(SignalSwapTest, PrepareLoadsTheChosenSystemAndEngagesIt) {
  MessageRecorder messages;
  choose("Zelvik Default", "");
  appState.swapSignals = false;
  prepareSignalSystem();
  EXPECT_EQ(tree(), installation);
  choose("Gone", "");
  appState.swapSignals = true;
  prepareSignalSystem();
  EXPECT_EQ(tree(), installation);
  choose("New", "");
  prepareSignalSystem();
  EXPECT_EQ(tree(), engaged("new"));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Could not load signal system:\n\nGone"});
}

// Starts that can do nothing: every file stays as it is.
TEST_F(SignalSwapTest, RestoreThatCannotActChangesNothing) {
  const std::string journalHead = "sigswap journal 1\nfolder new\n";
  struct Case {
    const char* what;
    Tree files;
    std::vector<std::string> messages;
  } cases[] = {
      {"nothing engaged", {}, {}},
      {"leftover parking file without record", {{"tempswap.bmp", "stray"}}, {}},
      {"record naming a deleted folder", {{"sigswap.klv", "gone"}}, {removedText + "\n\ngone"}},
      {"empty record", {{"sigswap.klv", ""}}, {unreadableText}},
      {"journal cut short", {{"sigswap.jnl", journalHead + "exchanged RELAY.BMP\n"}},
       {unreadableText + "\n\nsigswap.jnl"}},
      {"journal without line end", {{"sigswap.jnl", journalHead + "end"}}, {unreadableText + "\n\nsigswap.jnl"}},
      {"journal stage out of range", {{"sigswap.jnl", journalHead + "moving 3 RELAY.BMP\nend\n"}},
       {unreadableText + "\n\nsigswap.jnl"}},
      {"journal of another format", {{"sigswap.jnl", "sigswap journal 2\nfolder new\nend\n"}},
       {unreadableText + "\n\nsigswap.jnl"}},
      {"journal naming a deleted folder",
       {{"sigswap.jnl", "sigswap journal 1\nfolder gone\nexchanged RELAY.BMP\nend\n"}},
       {removedText + "\n\ngone"}},
      {"moving pair not where the journal says", {{"sigswap.jnl", journalHead + "moving 1 RELAY.BMP\nend\n"}},
       {misplacedText + "\n\nsim\\RELAY.BMP"}},
  };
  for (const Case& c : cases) {
    replant();
    plant(c.files);
    const Tree before = tree();
    MessageRecorder messages;
    restoreDefaultSignals();
    EXPECT_EQ(tree(), before) << c.what;
    EXPECT_EQ(messages.texts(), c.messages) << c.what;
  }
}

TEST_F(SignalSwapTest, NothingIsEngagedOverAnEngagementThatCannotBeRestored) {
  MessageRecorder messages;
  writeBytes("sigswap.klv", "gone");
  choose("New", "new");
  engageSignalSystem();
  Tree expected = installation;
  expected["sigswap.klv"] = "gone";
  EXPECT_EQ(tree(), expected);
  choose("Absent", "absent");
  std::filesystem::remove("sigswap.klv");
  engageSignalSystem();
  EXPECT_EQ(tree(), installation);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{removedText + "\n\ngone", engageText + "\n\nNew",
                                                        engageText + "\n\nAbsent"}));
}

// The pairs of a system folder in the order its listing gives them now.
std::vector<std::string> listingOrder(const char* folder) {
  std::vector<std::string> names;
  FolderScan* scan = openFolder(folder);
  while (const char* entry = nextFolderEntry(scan)) {
    if (std::string(entry) != "sigsys.txt" && entry[0] != '.') names.push_back(entry);
  }
  closeFolder(scan);
  return names;
}

// The text with %0, %1 and %2 replaced by the pairs of that listing order.
std::string withPairs(std::string text, const std::vector<std::string>& order) {
  for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
    text.replace(at, 2, order.at(static_cast<std::size_t>(text[at + 1] - '0')));
  }
  return text;
}

// The journal that a run killed at an operation leaves, for an engagement of "old" and for its
// restore; %0 to %2 stand for the pairs in listing order.
TEST_F(SignalSwapTest, JournalDescribesEveryStep) {
  const std::string head = "sigswap journal 1\nfolder old\n";
  struct Case {
    bool restore;
    int killAt;
    std::string journal;
  } cases[] = {
      {false, 1, "<missing>"},
      {false, 2, head + "moving 0 %0\nend\n"},
      {false, 4, head + "moving 1 %0\nend\n"},
      {false, 6, head + "moving 2 %0\nend\n"},
      {false, 8, head + "exchanged %0\nmoving 0 %1\nend\n"},
      {false, 19, head + "exchanged %0\nexchanged %1\nmoving 2 %2\nend\n"},  // the record's turn
      {false, 20, head + "exchanged %0\nexchanged %1\nmoving 2 %2\nend\n"},  // the journal's delete
      {true, 2, head + "exchanged %0\nexchanged %1\nexchanged %2\nmoving 0 %0\nend\n"},
      {true, 16, head + "exchanged %2\nmoving 1 %2\nend\n"},
  };
  for (const Case& c : cases) {
    replant();
    if (c.restore) engage("old");
    const std::vector<std::string> order = listingOrder("old");
    ASSERT_EQ(order.size(), 3u);
    const std::string expected = withPairs(c.journal, order);
    MessageRecorder messages;
    setFileFaultHook({c.killAt, true});
    c.restore ? restoreDefaultSignals() : engage("old");
    setFileFaultHook({0, false});
    EXPECT_EQ(readBytes("sigswap.jnl"), expected) << c.restore << " " << c.killAt;
    EXPECT_EQ(exists("sigswap.klv"), c.restore || c.killAt > 19) << c.restore << " " << c.killAt;
  }
}

// One failing operation: its message, and the files as they stand afterwards. A failing rename
// of a pair puts that pair back; the pairs exchanged before it stay, recorded.
TEST_F(SignalSwapTest, FailuresAreReportedAndUndone) {
  struct Case {
    const char* what;
    bool restore;
    int failAt;
    std::string message;
    std::size_t pairsEngaged;  // the first pairs in listing order
    bool recorded, journalKept;
  } cases[] = {
      {"record not written", false, 19, recordText + "\n\nold", 3, false, true},
      {"first engaging rename", false, 2, pairEngageText + "\n\nsim\\%0", 0, false, false},
      {"second pair's journal", false, 7, pairEngageText + "\n\nsim\\%1", 1, true, true},
      {"last rename of the second pair", false, 12, pairEngageText + "\n\nsim\\%1", 1, true, true},
      {"restoring rename", true, 4, pairRestoreText + "\n\nsim\\%0", 3, true, true},
  };
  for (const Case& c : cases) {
    replant();
    if (c.restore) engage("old");
    const std::vector<std::string> order = listingOrder("old");
    Tree expected = installation;
    for (std::size_t i = 0; i < c.pairsEngaged; ++i) {
      std::swap(expected["sim/" + order[i]], expected["old/" + order[i]]);
    }
    if (c.recorded) expected["sigswap.klv"] = "old";
    MessageRecorder messages;
    setFileFaultHook({c.failAt, false});
    c.restore ? restoreDefaultSignals() : engage("old");
    setFileFaultHook({0, false});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{withPairs(c.message, order)}) << c.what;
    EXPECT_EQ(exists("sigswap.jnl"), c.journalKept) << c.what;
    Tree files = tree();
    files.erase("sigswap.jnl");
    EXPECT_EQ(files, expected) << c.what;
  }
}

// A pair whose undo fails too stays between two stages: recorded, and settled at the next start.
TEST_F(SignalSwapTest, PairLeftHalfExchangedIsSettledAtTheNextStart) {
  const std::vector<std::string> order = listingOrder("old");
  MessageRecorder messages;
  setFileFaultHook({4, false, 2});  // the rename of the simulator's file, then the journal of its undo
  engage("old");
  setFileFaultHook({0, false});
  EXPECT_EQ(readBytes("tempswap.bmp"), installation.at("old/" + order[0]));
  EXPECT_EQ(readBytes("sigswap.jnl"), "sigswap journal 1\nfolder old\nmoving 1 " + order[0] + "\nend\n");
  EXPECT_EQ(readBytes("sigswap.klv"), "old");
  restoreDefaultSignals();
  EXPECT_EQ(tree(), installation);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{pairEngageText + "\n\nsim\\" + order[0]});
}

TEST_F(SignalSwapTest, LeftoverParkingFileIsKeptUnderAFreeName) {
  MessageRecorder messages;
  engage("new");
  plant({{"tempswap.bmp", "stray"}, {"tempswap1.bmp", "older stray"}});
  restoreDefaultSignals();
  Tree expected = installation;
  expected["tempswap1.bmp"] = "older stray";
  expected["tempswap2.bmp"] = "stray";
  EXPECT_EQ(tree(), expected);

  plant({{"a.bmp", "a"}, {"b.bmp", "b"}, {"tempswap.bmp", "third stray"}});
  setFileFaultHook({1, false});
  EXPECT_FALSE(swapSignalFile("a.bmp", "b.bmp"));  // it cannot be moved aside: nothing moves
  setFileFaultHook({0, false});
  EXPECT_EQ(readBytes("a.bmp") + readBytes("b.bmp") + readBytes("tempswap.bmp"), "abthird stray");
  EXPECT_TRUE(swapSignalFile("a.bmp", "b.bmp"));
  EXPECT_EQ(readBytes("a.bmp") + readBytes("b.bmp") + readBytes("tempswap3.bmp"), "bathird stray");
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{keptText + "\n\ntempswap2.bmp", stuckText + "\n\ntempswap.bmp",
                                                        keptText + "\n\ntempswap3.bmp"}));
}

// Every operation that changes the disk, in every run that changes the signals, fails once or
// kills the run; and every operation of the next start's recovery from each kill does so again.
// The start after that always brings back every file with its bytes and leaves nothing behind.
TEST_F(SignalSwapTest, NoFileIsLostWhereverARunFailsOrDies) {
  struct Scenario {
    const char* what;
    Tree start;
    std::function<void()> run;
    int operations;
    bool faultsInRecovery;  // the recovery from an engagement over another is the same as from either
  } scenarios[] = {
      {"engage", installation, [] { engage("new"); }, 20, true},
      {"restore", engaged("old"), [] { restoreDefaultSignals(); }, 20, true},
      {"engage over another", engaged("old"), [] { engage("new"); }, 40, false},
  };
  const std::set<std::string> known = {removedText, unreadableText, engageText, pairEngageText, pairRestoreText,
                                       misplacedText, recordText, keptText, stuckText};
  // Runs with a fault; whatever it reports must be one of the program's messages.
  auto faulty = [&known](const std::function<void()>& run, FileFault fault, const std::string& where) {
    MessageRecorder messages;
    setFileFaultHook(fault);
    run();
    setFileFaultHook({0, false});
    for (const std::string& text : messages.texts()) {
      EXPECT_EQ(known.count(text.substr(0, text.find("\n\n"))), 1u) << where << ": " << text;
    }
  };
  auto recovered = [](const std::string& where) {
    MessageRecorder messages;
    restoreDefaultSignals();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{}) << where;
    EXPECT_EQ(tree(), installation) << where;
  };
  // Every check above leaves the installation; a run starts from there with its own few changes.
  auto startFrom = [](const Tree& start) {
    for (const auto& file : start) {
      auto same = installation.find(file.first);
      if (same == installation.end() || same->second != file.second) writeBytes(file.first, file.second);
    }
  };
  for (const Scenario& s : scenarios) {
    startFrom(s.start);
    setFileFaultHook({0, false});
    s.run();
    EXPECT_EQ(fileOperationCount(), s.operations) << s.what;
    recovered(s.what);
    for (int n = 1; n <= s.operations && !HasFailure(); ++n) {
      const std::string where = std::string(s.what) + " at " + std::to_string(n);
      startFrom(s.start);
      faulty(s.run, {n, false}, where);
      // A failure is undone at once: the installation's names, its bytes among them.
      Tree files = tree();
      files.erase("sigswap.klv");
      files.erase("sigswap.jnl");
      std::multiset<std::string> names, bytes, originalNames, original;
      for (const auto& file : files) names.insert(file.first), bytes.insert(file.second);
      for (const auto& file : installation) originalNames.insert(file.first), original.insert(file.second);
      EXPECT_EQ(names, originalNames) << where;
      EXPECT_EQ(bytes, original) << where;
      recovered("fails " + where);

      startFrom(s.start);
      faulty(s.run, {n, true}, where);
      recovered("killed " + where);
      const int recovery = s.faultsInRecovery ? fileOperationCount() : 0;
      for (int m = 1; m <= recovery && !HasFailure(); ++m) {
        for (bool kill : {false, true}) {
          startFrom(s.start);
          faulty(s.run, {n, true}, where);
          faulty(restoreDefaultSignals, {m, kill}, where);
          recovered("killed " + where + ", recovery " + (kill ? "killed" : "fails") + " at " + std::to_string(m));
        }
      }
    }
  }
}

}  // namespace
