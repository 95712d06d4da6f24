// The exchange of signal bitmaps under failing and dying file operations, the restore from its
// journal, and the description of a signal system that the Starting options dialog shows.
#include "signals/signal_swap.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "signals/signal_catalog.h"
#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Tree = std::map<std::string, std::string>;  // every file below the work folder: path, bytes
using Texts = std::vector<std::string>;

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

// The pairs of each system, in the order of their exchange.
const Texts order = {"RELAY.BMP", "Signal1.bmp", "sIgNaL3.bmp"};

std::string journal(const std::string& folder, const Texts& order) {
  std::string text = "sigswap journal 2\nsimulator sim\nfolder " + folder + "\n";
  for (const std::string& entry : order) text += "exchanged " + entry + "\n";
  return text + "end\n";
}

// The installation with the first `pairs` pairs of system `folder` exchanged, and recorded.
Tree engaged(const std::string& folder, std::size_t pairs = 3, bool recorded = true) {
  Tree files = installation;
  for (std::size_t i = 0; i < pairs; ++i) std::swap(files["sim/" + order[i]], files[folder + "/" + order[i]]);
  if (recorded) files["sigswap.klv"] = folder;
  if (recorded) files["sigswap.jnl"] = journal(folder, Texts(order.begin(), order.begin() + pairs));
  return files;
}

// The work folder comes to hold exactly `files`; only what differs is written.
void reset(const Tree& files) {
  for (const auto& file : snapshot())
    if (!files.count(file.first)) std::remove(file.first.c_str());
  for (const auto& file : files)
    if (readBytes(file.first) != file.second) writeBytes(file.first, file.second);
}

void engage(const char* folder) {
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", folder);
  std::snprintf(signalSystemFolder, sizeof signalSystemFolder, "%s", folder);
  engageSignalSystem();
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
// is undone at once), fails with the next one too (the undo, which leaves a pair between two
// stages), kills the run, or writes only the first k bytes of its file, for every k, and kills the run; and every operation of the next start's recovery from each kill fails,
// kills or is cut short again. The start after that always brings back every file with its
// bytes and leaves nothing behind.
TEST_F(SignalSwapTest, NoFileIsLostWhereverARunFailsDiesOrIsCutShort) {
  // Thorough: every length cut short, and faults in the recovery (over another: the same as either).
  const struct { const char* what; Tree start, end; std::function<void()> run; int operations; bool thorough; }
      scenarios[] = {
      {"engage", installation, engaged("new"), [] { engage("new"); }, 27, true},
      {"restore", engaged("old"), installation, restoreDefaultSignals, 23, true},
      {"engage over another", engaged("old"), engaged("new"), [] { engage("new"); }, 50, false},
  };
  // Under wine every file operation costs a hundred times more than natively: there the sweep
  // cuts writes short at their start only, and the recovery runs without faults.
  auto thorough = [](const auto& scenario) { return scenario.thorough && !onWindows; };
  auto faulty = [](const std::function<void()>& run, FileFault fault, const Tree* start = nullptr) {
    if (start) reset(*start);
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
    for (const auto& file : files)
      if (file.first.compare(0, 7, "sigswap") != 0) all.insert({"name " + file.first, "bytes " + file.second});
    return all;
  };
  auto cutShortFile = [] {  // the length of a file that a write cut short left, or 0
    for (const auto& file : snapshot())
      if (file.first.size() > 4 && file.first.compare(file.first.size() - 4, 4, ".new") == 0) return file.second.size();
    return std::size_t{0};
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
      faulty(s.run, {n, false}, &s.start);
      EXPECT_EQ(namesAndBytes(snapshot()), namesAndBytes(installation)) << where;
      recovered("fails " + where);
      faulty(s.run, {n, false, 2}, &s.start);  // and the next operation too, which may be its undo
      recovered("fails twice " + where);
      int length = 1;
      if (thorough(s)) {  // the length of what step n writes, if it writes
        faulty(s.run, {n, true, 1, false, 1 << 20}, &s.start);
        length = static_cast<int>(cutShortFile());
      }
      for (int keep = 0; keep < length; ++keep) {
        faulty(s.run, {n, true, 1, false, keep}, &s.start);
        recovered("cut short at " + std::to_string(keep) + " bytes, " + where);
      }
      faulty(s.run, {n, true}, &s.start);
      recovered("killed " + where);
      for (int m = 1, recovery = thorough(s) ? fileOperationCount() : 0; m <= recovery && !HasFailure(); ++m) {
        for (const FileFault& fault : {FileFault{m, false}, FileFault{m, true}, FileFault{m, true, 1, false, 1}}) {
          faulty(s.run, {n, true}, &s.start);
          faulty(restoreDefaultSignals, fault);
          recovered("killed " + where + ", recovery " + (fault.keep >= 0 ? "cut short" : fault.kill ? "killed" : "fails") +
                    " at " + std::to_string(m));
        }
      }
    }
  }
}

// Changes made to the folders, the record or the journal between an engagement and the next
// start: the start restores what it can and leaves the rest, and a message names each file that
// is not where the exchange left it. A damaged journal moves nothing, and after the user has done
// what its message says, nothing moves either.
TEST_F(SignalSwapTest, ChangesBetweenRunsAreRestoredAroundOrNamed) {
  const std::string unreadable = "Could not read signal swap data.\r\nDefault signals must be restored manually: put "
                                 "the simulator's own signal bitmaps back in its folder, then delete in Klevane's "
                                 "folder:\n\n";
  const std::string gone = "(deleted)";
  const Tree full = engaged("new");
  const std::string jnl = full.at("sigswap.jnl");
  // Each case: the files written or deleted after the engagement of "new", what differs from the
  // installation after the next start, its messages, and the simulator folder in klv.cfg now.
  struct Case { std::string what; Tree change, afterward; Texts messages; const char* configured = "elsewhere"; };
  std::vector<Case> cases = {
      {"a simulator bitmap the system also has, added", {{"sim/signal9.bmp", "added"}}, {{"sim/signal9.bmp", "added"}}, {}},
      {"a system bitmap the simulator also has, added", {{"new/signal2.bmp", "added"}}, {{"new/signal2.bmp", "added"}}, {}},
      {"an exchanged bitmap deleted on each side", {{"sim/RELAY.BMP", gone}, {"new/Signal1.bmp", gone}},
       {{"sim/RELAY.BMP", gone}, {"new/RELAY.BMP", "sim relay"}, {"sim/Signal1.bmp", "new 1"}, {"new/Signal1.bmp", gone}},
       {"Could not restore these default signal bitmaps: their files are not where the exchange left them.\r\nThey "
        "are left as they are, and no longer restored:\n\nsim\\RELAY.BMP: missing\r\n.\\new\\Signal1.bmp: missing"}},
      {"a record naming another system", {{"sigswap.klv", "old"}}, {}, {}},
      {"a record of the old format alone", {{"sigswap.jnl", gone}}, {}, {}, "sim"},
      {"a record alone holding a NUL", {{"sigswap.jnl", gone}, {"sigswap.klv", std::string("new\0", 4)}}, {},
       {unreadable + "sigswap.klv"}, "sim"},
      {"a journal of the old format, its pair moving",
       {{"sigswap.jnl", "sigswap journal 1\nfolder new\nexchanged RELAY.BMP\nexchanged sIgNaL3.bmp\nmoving 1 "
                        "Signal1.bmp\nend\n"}, {"tempswap.bmp", "new 1"}, {"sim/Signal1.bmp", "sim 1"}, {"new/Signal1.bmp", gone}},
       {}, {}, "sim"},
      {"new", {}, {}, {"Could not restore default signals.\r\nSwapped signal system seems to have been removed:\n\nnew"}},
      {"sim", {}, {}, {"Could not restore default signals.\r\nThe simulator folder they were swapped into seems to "
                       "have been removed:\n\nsim"}},
  };
  for (Case* removed : {&cases[cases.size() - 2], &cases.back()})  // a folder removed: nothing moves
    for (const auto& file : full)
      if (file.first.compare(0, 4, removed->what + "/") == 0) removed->change[file.first] = gone;
  // The journal damaged at every length (under wine, every ninth), with a byte appended, and a line mangled.
  for (std::size_t length = 0; length <= jnl.size(); ++length) {
    if (onWindows && length % 9 != 0 && length + 1 < jnl.size()) continue;
    cases.push_back({"journal of " + std::to_string(length) + " bytes",
                     {{"sigswap.jnl", length < jnl.size() ? jnl.substr(0, length) : jnl + "x"}}, {},
                     {unreadable + "sigswap.jnl"}});
  }
  cases.push_back({"a journal's folder line mangled", {{"sigswap.jnl", std::string(jnl).replace(jnl.find("fo"), 2, "fx")}},
                   {}, {unreadable + "sigswap.jnl"}});
  for (Case& c : cases) {
    Tree files = full, expected = installation;
    for (const auto& file : c.change) files[file.first] = file.second;
    for (const auto& file : c.afterward) expected[file.first] = file.second;
    const bool damaged = !c.messages.empty() && c.messages[0].compare(0, unreadable.size(), unreadable) == 0;
    if (damaged || c.what.size() == 3) expected = files;  // nothing moves
    // Else a start after the user has deleted the journal would list the recorded folder.
    if (damaged && files.count("sigswap.jnl") && files.at("sigswap.jnl") != gone) expected.erase("sigswap.klv");
    for (Tree* tree : {&files, &expected})
      for (auto file = tree->begin(); file != tree->end();) file = file->second == gone ? tree->erase(file) : std::next(file);
    reset(files);
    if (c.what.size() == 3) std::filesystem::remove_all(c.what);
    std::snprintf(appState.simFolder, sizeof appState.simFolder, "%s", c.configured);
    MessageRecorder messages;
    restoreDefaultSignals();
    EXPECT_EQ(messages.texts(), c.messages) << c.what;
    EXPECT_EQ(snapshot(), expected) << c.what;
    if (!damaged) continue;
    reset(installation);  // the bitmaps put back by hand, the journal deleted
    restoreDefaultSignals();
    EXPECT_EQ(snapshot(), installation) << c.what << ", put back by hand";
    EXPECT_EQ(messages.texts(), c.messages) << c.what << ", put back by hand";
  }
}

// One failing operation: its message, and the files afterwards. A failing rename puts its pair
// back; the pairs exchanged before it stay, recorded.
TEST_F(SignalSwapTest, FailuresAreReportedAndUndone) {
  const std::string notEngaged =
      "Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:\n\n";
  const struct { bool restore; int failAt; std::string message; std::size_t pairs; bool recorded; } cases[] = {
      {false, 1, "Could not write data for restoring signal system!\nNo signal bitmap was exchanged:\n\nsigswap.jnl", 0, false},
      {false, 3, "Could not write data for restoring signal system!\nNo signal bitmap was exchanged:\n\nsigswap.klv", 0, false},
      {false, 7, notEngaged + ".\\old\\", 0, false},
      {false, 15, notEngaged + "sim\\", 1, true},  // the second pair's simulator file
      {false, 0, "Could not exchange signal bitmaps.\r\nA folder in Klevane's folder has the name of the exchange's "
                 "temporary file; rename or remove it:\n\ntempswap.bmp", 0, false},
      {true, 4, "Could not restore default signal bitmap.\r\nThe next start tries again:\n\nsim\\", 1, true},
      {false, -7, rightsRefusedText + std::string("\n\nsim"), 0, false},  // refused: the rights to write
  };
  for (const auto& c : cases) {
    reset(installation);
    if (c.restore) engage("old");
    if (c.failAt == 0) std::filesystem::create_directory("tempswap.bmp");
    MessageRecorder messages;
    setFileFaultHook({std::abs(c.failAt), false, 1, c.failAt < 0});
    c.restore ? restoreDefaultSignals() : engage("old");
    setFileFaultHook({0, false});
    const std::string named = c.message.back() == '\\' ? order[c.failAt == 15 ? 1 : 0] : "";
    EXPECT_EQ(messages.texts(), Texts{c.message + named}) << c.failAt;
    EXPECT_EQ(snapshot(), engaged("old", c.pairs, c.recorded)) << c.failAt;
    std::filesystem::remove("tempswap.bmp");
  }
}

// A file found under the parking name is moved to a free name first, never deleted; when it cannot
// be moved, nothing moves.
TEST_F(SignalSwapTest, LeftoverParkingFileIsKeptUnderAFreeName) {
  const std::string kept = "A signal bitmap left over from an interrupted exchange was kept as:\n\n";
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
// be restored, nor from a missing folder; a system without pairs records nothing.
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
  writeBytes("none/sigsys.txt", "None\r\n");
  engage("none");
  std::filesystem::remove_all("none");
  EXPECT_EQ(snapshot(), installation);
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "New");
  prepareSignalSystem();
  EXPECT_EQ(snapshot(), engaged("new"));
  const std::string refused = "Could not engage custom signal bitmaps of system:\n\n";
  EXPECT_EQ(messages.texts(),
            (Texts{"Could not load signal system:\n\nGone",
                   "Could not restore default signals.\r\nSwapped signal system seems to have been removed:\n\ngone",
                   refused + "new", refused + "absent"}));
}

#ifndef _WIN32
// Two processes exchange at the same moment, again and again: every file always ends under a name
// it belongs to, with the journal and record of the system the files show.
TEST_F(SignalSwapTest, TwoProcessesAtOnceNeverMixTheFiles) {
  const std::function<void()> runs[][2] = {
      {[] { engage("new"); }, [] { engage("old"); }},
      {restoreDefaultSignals, restoreDefaultSignals},
      {[] { engage("new"); }, restoreDefaultSignals},
  };
  const Tree states[] = {installation, engaged("new"), engaged("old")};
  for (int round = 0; round < 60 && !HasFailure(); ++round) {
    reset(engaged("old"));
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
      children[i] = fork();
      if (children[i] == 0) {
        char byte;
        close(go[1]);
        MessageRecorder quiet;
        if (read(go[0], &byte, 1) == 1) runs[round % 3][i]();
        _exit(0);
      }
    }
    close(go[0]);
    EXPECT_EQ(write(go[1], "xx", 2), 2);  // both start at once
    close(go[1]);
    for (pid_t child : children) waitpid(child, nullptr, 0);
    const Tree now = snapshot();
    EXPECT_TRUE(now == states[0] || now == states[1] || now == states[2]) << "round " << round;
  }
}
#endif

// The description of a signal system that the Starting options dialog shows: the lines of its
// sigsys.txt after the name, up to "#end#", escapes cleaned, within the dialog's buffer. (The
// catalogue and the sections are in the case files, tests/cases/signals.txt.)
TEST_F(SignalSwapTest, LinesAfterTheNameUpToTheEnd) {
  writeBytes("modern/sigsys.txt", "  Modern\t\r\nA modern set\r\nSecond$chr(44) line\r\n#end#\r\nhidden\r\n");
  writeBytes("cut/sigsys.txt", "ABCDEFGHIJKLMNOPQRST\r\nline\r\n");
  writeBytes("long/sigsys.txt", "Long\r\n" + std::string(127, 'x') + "#end#tail\r\nmore\r\n");
  writeBytes("bare/sigsys.txt", "Bare");
  const struct { const char* system; int size; std::string expected; } cases[] = {
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
