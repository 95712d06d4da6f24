// The exchange of signal bitmaps under failing and dying file operations, the restore from its
// journal, and the description of a signal system that the Starting options dialog shows.
#include "signals/signal_swap.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "signals/signal_catalog.h"
#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Tree = std::map<std::string, std::string>;  // every file below the work folder: path, bytes
using Texts = std::vector<std::string>;

const std::string removed =
    "Could not restore default signals.\r\nSwapped signal system seems to have been removed:\n\n";
const std::string unreadable = "Could not read signal swap data.\r\nDefault signals must be restored manually.";
const std::string notEngaged =
    "Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:\n\nsim\\";
const std::string kept = "A signal bitmap left over from an interrupted exchange was kept as:\n\n";

// The simulator with two signal systems of three pairs each, and files that are no pairs.
const Tree installation = {
    {"sim/Signal1.bmp", "sim 1"}, {"sim/RELAY.BMP", "sim relay"}, {"sim/sIgNaL3.bmp", "sim 3"},
    {"sim/readme.txt", "sim readme"}, {"sim/xsignal.bmp", "sim x"}, {"sim/signal2.bmp", "sim 2"},
    {"sim/signals/x", "in a folder named like a pair"}, {"new/sigsys.txt", "New\r\n"}, {"new/Signal1.bmp", "new 1"},
    {"new/RELAY.BMP", "new relay"}, {"new/sIgNaL3.bmp", "new 3"}, {"new/readme.txt", "new readme"},
    {"new/xsignal.bmp", "new x"}, {"new/signal9.bmp", "new 9"}, {"new/signals", "a file"},
    {"old/sigsys.txt", "Old\r\n"}, {"old/Signal1.bmp", "old 1"}, {"old/RELAY.BMP", "old relay"},
    {"old/sIgNaL3.bmp", "old 3"},
};

// The installation with the pairs `order` of system `folder` exchanged, and recorded.
Tree engaged(const std::string& folder, Texts order = {"Signal1.bmp", "RELAY.BMP", "sIgNaL3.bmp"}, bool record = true) {
  Tree files = installation;
  for (const std::string& entry : order) std::swap(files["sim/" + entry], files[folder + "/" + entry]);
  if (record) files["sigswap.klv"] = folder;
  return files;
}

// The work folder comes to hold exactly `files`; only what differs is written.
void reset(const Tree& files) {
  for (const auto& file : snapshot()) {
    if (!files.count(file.first)) std::remove(file.first.c_str());
  }
  for (const auto& file : files) {
    if (readBytes(file.first) != file.second) writeBytes(file.first, file.second);
  }
}

void engage(const char* folder) {
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", folder);
  std::snprintf(signalSystemFolder, sizeof signalSystemFolder, "%s", folder);
  engageSignalSystem();
}

// The pairs of system "old" in the order its listing gives them now.
Texts pairOrder() {
  Texts names;
  FolderScan* scan = openFolder("old");
  while (const char* entry = nextFolderEntry(scan)) {
    if (entry[0] != '.' && std::string(entry) != "sigsys.txt") names.push_back(entry);
  }
  closeFolder(scan);
  return names;
}

class SignalSwapTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    resetAppState();
    appState.swapSignals = true;
    reset(installation);
  }
  void TearDown() override {
    setFileFaultHook({0, false});
    WorkFolderTest::TearDown();
  }
};

// Every operation that changes the disk, in every run that changes the signals, fails once (and
// is undone at once) or kills the run; and every operation of the next start's recovery from each
// kill does so again. The start after that always brings back every file with its bytes and
// leaves nothing behind.
TEST_F(SignalSwapTest, NoFileIsLostWhereverARunFailsOrDies) {
  const struct {
    const char* what;
    Tree start, end;
    std::function<void()> run;
    int operations;
    bool faultsInRecovery;  // the recovery from an engagement over another is the same as from either
  } scenarios[] = {
      {"engage", installation, engaged("new"), [] { engage("new"); }, 20, true},
      {"restore", engaged("old"), installation, restoreDefaultSignals, 20, true},
      {"engage over another", engaged("old"), engaged("new"), [] { engage("new"); }, 40, false},
  };
  auto faulty = [](const std::function<void()>& run, FileFault fault) {
    MessageRecorder messages;
    setFileFaultHook(fault);
    run();
    setFileFaultHook({0, false});
  };
  auto recovered = [](const std::string& where) {
    MessageRecorder messages;
    restoreDefaultSignals();
    EXPECT_EQ(messages.texts(), Texts{}) << where;
    EXPECT_EQ(snapshot(), installation) << where;
  };
  auto namesAndBytes = [](const Tree& files) {
    std::multiset<std::string> all;
    for (const auto& file : files) {
      if (file.first.compare(0, 7, "sigswap") != 0) all.insert({"name " + file.first, "bytes " + file.second});
    }
    return all;
  };
  for (const auto& s : scenarios) {
    reset(s.start);
    setFileFaultHook({0, false});
    s.run();
    EXPECT_EQ(fileOperationCount(), s.operations) << s.what;
    EXPECT_EQ(snapshot(), s.end) << s.what;
    recovered(s.what);
    for (int n = 1; n <= s.operations && !HasFailure(); ++n) {
      const std::string where = std::string(s.what) + " at " + std::to_string(n);
      reset(s.start);
      faulty(s.run, {n, false});
      EXPECT_EQ(namesAndBytes(snapshot()), namesAndBytes(installation)) << where;
      recovered("fails " + where);
      reset(s.start);
      faulty(s.run, {n, true});
      recovered("killed " + where);
      for (int m = 1, recovery = s.faultsInRecovery ? fileOperationCount() : 0; m <= recovery && !HasFailure(); ++m) {
        for (bool kill : {false, true}) {
          reset(s.start);
          faulty(s.run, {n, true});
          faulty(restoreDefaultSignals, {m, kill});
          recovered("killed " + where + ", recovery " + (kill ? "killed" : "fails") + " at " + std::to_string(m));
        }
      }
    }
  }
}

// Starts that cannot act on a record or journal change no file.
TEST_F(SignalSwapTest, RestoreThatCannotActChangesNothing) {
  const std::string head = "sigswap journal 1\nfolder new\n", journal = unreadable + "\n\nsigswap.jnl";
  const std::pair<Tree, Texts> cases[] = {
      {{}, {}},
      {{{"sigswap.klv", "gone"}}, {removed + "gone"}},
      {{{"sigswap.klv", ""}}, {unreadable}},
      {{{"sigswap.jnl", head + "exchanged RELAY.BMP\n"}}, {journal}},  // no end
      {{{"sigswap.jnl", head + "end"}}, {journal}},
      {{{"sigswap.jnl", head + "moving 3 RELAY.BMP\nend\n"}}, {journal}},
      {{{"sigswap.jnl", head + "moving 1 RELAY.BMP\nexchanged x\nend\n"}}, {journal}},
      {{{"sigswap.jnl", "sigswap journal 2\nfolder new\nend\n"}}, {journal}},
      {{{"sigswap.jnl", "sigswap journal 1\nfolder gone\nend\n"}}, {removed + "gone"}},
      {{{"sigswap.jnl", head + "moving 1 RELAY.BMP\nend\n"}},
       {"Could not restore default signals.\r\nThe files of an interrupted exchange are not where expected:\n\n"
        "sim\\RELAY.BMP"}},
  };
  for (const auto& c : cases) {
    Tree files = installation;
    files.insert(c.first.begin(), c.first.end());
    reset(files);
    MessageRecorder messages;
    restoreDefaultSignals();
    EXPECT_EQ(snapshot(), files) << c.first.begin()->second;
    EXPECT_EQ(messages.texts(), c.second) << c.first.begin()->second;
  }
}

// One failing operation: its message, and the files afterwards. A failing rename puts its pair
// back; the pairs exchanged before it stay, recorded.
TEST_F(SignalSwapTest, FailuresAreReportedAndUndone) {
  const struct { bool restore; int failAt; std::string message; int pairs; bool recorded, journalKept; } cases[] = {
      {false, 19, "Could not write data for restoring signal system!\nYou'll have to swap the files back to normal "
                  "manually.\n\nold", 3, false, true},
      {false, 2, notEngaged, 0, false, false},
      {true, 4, "Could not restore default signal bitmap.\r\nThe next start tries again:\n\nsim\\", 3, true, true},
      {false, -2, rightsRefusedText + std::string("\n\nsim"), 0, false, false},  // refused: the rights to write
  };
  for (const auto& c : cases) {
    reset(installation);
    if (c.restore) engage("old");
    const Texts order = pairOrder();
    MessageRecorder messages;
    setFileFaultHook({std::abs(c.failAt), false, 1, c.failAt < 0});
    c.restore ? restoreDefaultSignals() : engage("old");
    setFileFaultHook({0, false});
    EXPECT_EQ(messages.texts(), Texts{c.message + (c.message.back() == '\\' ? order[0] : "")}) << c.failAt;
    EXPECT_EQ(exists("sigswap.jnl"), c.journalKept) << c.failAt;
    Tree files = snapshot();
    files.erase("sigswap.jnl");
    EXPECT_EQ(files, engaged("old", Texts(order.begin(), order.begin() + c.pairs), c.recorded)) << c.failAt;
  }
}

// A pair whose undo fails too stays between two stages, journaled, and is settled at the next start.
TEST_F(SignalSwapTest, PairLeftHalfExchangedIsSettledAtTheNextStart) {
  const Texts order = pairOrder();
  MessageRecorder messages;
  setFileFaultHook({4, false, 2});  // the rename of the simulator's file, then the journal of its undo
  engage("old");
  setFileFaultHook({0, false});
  EXPECT_EQ(readBytes("tempswap.bmp") + "|" + readBytes("sigswap.jnl") + "|" + readBytes("sigswap.klv"),
            installation.at("old/" + order[0]) + "|sigswap journal 1\nfolder old\nmoving 1 " + order[0] +
                "\nend\n|old");
  restoreDefaultSignals();
  EXPECT_EQ(snapshot(), installation);
  EXPECT_EQ(messages.texts(), Texts{notEngaged + order[0]});
}

// A file found under the parking name is moved to a free name first, never deleted; when it cannot
// be moved, nothing moves.
TEST_F(SignalSwapTest, LeftoverParkingFileIsKeptUnderAFreeName) {
  MessageRecorder messages;
  engage("new");
  writeBytes("tempswap.bmp", "stray");
  writeBytes("tempswap1.bmp", "older stray");
  restoreDefaultSignals();
  Tree expected = installation;
  expected.insert({{"tempswap1.bmp", "older stray"}, {"tempswap2.bmp", "stray"}});
  EXPECT_EQ(snapshot(), expected);
  writeBytes("a.bmp", "a");
  writeBytes("b.bmp", "b");
  writeBytes("tempswap.bmp", "third stray");
  setFileFaultHook({1, false});
  EXPECT_FALSE(swapSignalFile("a.bmp", "b.bmp"));
  setFileFaultHook({0, false});
  EXPECT_EQ(readBytes("a.bmp") + readBytes("b.bmp") + readBytes("tempswap.bmp"), "abthird stray");
  EXPECT_TRUE(swapSignalFile("a.bmp", "b.bmp"));
  EXPECT_EQ(readBytes("a.bmp") + readBytes("b.bmp") + readBytes("tempswap3.bmp"), "bathird stray");
  EXPECT_EQ(messages.texts(), (Texts{kept + "tempswap2.bmp", "Could not move aside a signal bitmap left over from an "
                                     "interrupted exchange:\n\ntempswap.bmp", kept + "tempswap3.bmp"}));
}

// Nothing is engaged without the chosen system's definitions, nor over an engagement that cannot
// be restored, nor from a missing folder.
TEST_F(SignalSwapTest, PrepareAndEngageRefusals) {
  MessageRecorder messages;
  appState.swapSignals = false;
  prepareSignalSystem();
  appState.swapSignals = true;
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "Gone");
  prepareSignalSystem();
  writeBytes("sigswap.klv", "gone");
  engage("new");
  EXPECT_EQ(readBytes("sigswap.klv"), "gone");
  std::remove("sigswap.klv");
  engage("absent");
  EXPECT_EQ(snapshot(), installation);
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "New");
  prepareSignalSystem();
  EXPECT_EQ(snapshot(), engaged("new"));
  const std::string refused = "Could not engage custom signal bitmaps of system:\n\n";
  EXPECT_EQ(messages.texts(),
            (Texts{"Could not load signal system:\n\nGone", removed + "gone", refused + "new", refused + "absent"}));
}

// The description of a signal system that the Starting options dialog shows: the lines of its
// sigsys.txt after the name, up to "#end#", escapes cleaned, within the dialog's buffer. (The
// catalogue and the sections are in the case files, tests/cases/signals.txt.)
TEST_F(SignalSwapTest, LinesAfterTheNameUpToTheEnd) {
  writeBytes("modern/sigsys.txt", "  Modern\t\r\nA modern set\r\nSecond$chr(44) line\r\n#end#\r\nhidden\r\n");
  writeBytes("cut/sigsys.txt", "ABCDEFGHIJKLMNOPQRST\r\nline\r\n");
  writeBytes("long/sigsys.txt", "Long\r\n" + std::string(127, 'x') + "#end#tail\r\nmore\r\n");
  writeBytes("bare/sigsys.txt", "Bare");
  const struct {
    const char* system;
    int size;
    std::string expected;
  } cases[] = {
      {"Modern", 512, "A modern set\r\nSecond, line\r\n"},
      {"Modern", 12, "A modern se"},                   // cut at size - 1
      {"ABCDEFGHIJKLMNO", 512, "PQRST\r\nline\r\n"},  // the rest of a name line past 15 characters
      {"Long", 512, std::string(127, 'x')},            // lines are read in pieces of 127 characters
      {"Bare", 512, ""},
      {"modern", 512, ""},  // names are compared exactly
  };
  for (const auto& c : cases) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", c.system);
    std::vector<char> buffer(static_cast<std::size_t>(c.size), 'Z');
    describeSignalSystem(buffer.data(), c.size);
    EXPECT_EQ(buffer.back(), '\0') << c.system;
    EXPECT_EQ(std::string(buffer.data()), c.expected) << c.system << " " << c.size;
  }
}

}  // namespace
