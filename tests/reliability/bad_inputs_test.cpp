// The catalogue of bad inputs: for each kind of broken route, configuration or installation, one
// whole run as the program makes it (klv.cfg loaded, an engaged system restored, the chosen
// system engaged, the route built) and what the user gets: the exact messages, whether the build
// failed, which files exist afterwards, and the user's own files byte for byte as before, once
// the next start has restored the signals. Every case ends within a second.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/route_browser.h"
#include "route/build_driver.h"
#include "signals/signal_swap.h"
#include "state/app_state.h"
#include "support/test_support.h"
#include "text/random.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;

const std::string general =
    "An error occured during the (pre-)processing of the route. The route will not be playable.";
const std::string endsEarly =
    "Unable to read the whole source file: it holds a NUL byte or the byte 0xFF, where reading stops.";
const std::string developerBlock = "\r\n,\r\nRoute.DeveloperId 40752918\r\n,";
const std::string sigsys =
    "Semaphores\r\nLower-quadrant semaphores.\r\n#end#\r\n#speeds#\r\n.Limit 40;0;0,\r\n#end#\r\n"
    "#signaldef#\r\n\xA7s\xA7"
    "a\xA7p\xA7n\xA7p\xA7x\xA7p\xA7y\xA7p\xA7t\xA7"
    "e\r\n#end#\r\n#relaydef#\r\n\xA7r\xA7x\xA7p\xA7y\xA7"
    "e\r\n#end#\r\n";

std::string config(const std::string& signalSystem) {
  return "sim\nroutes\ntrains\n0 0 0 0 0 0\n650 0 30 240\n653 0\n" + signalSystem;
}

// The source path of a route as the build forms it, and a prepared route's path.
std::string route(const std::string& file) { return std::string("routes") + pathSeparator + file; }
const std::string csvOut = "routes\\klvtemp.csv";
const std::string rwOut = "routes\\klvtemp.rw";

// The result of nested(1039): the outer command's first argument is cut at 259 characters, and
// the rest of the text is read as further arguments and text.
std::string nestedResult() {
  std::string result = "0d<25";
  for (int i = 0; i < 105; ++i) result += ",1>";
  return result + "222222";
}

std::string nested(std::size_t length) {
  std::string text = "1";
  while (text.size() + 8 <= length) text = "#add<" + text + ",1>";
  return text + std::string(length - text.size(), '2');
}

// A second for each case; KLV_CASE_SECONDS gives more under a tool that slows every step
// (valgrind).
double secondsPerCase() {
  const char* seconds = std::getenv("KLV_CASE_SECONDS");
  return seconds ? std::atof(seconds) : 1.0;
}

// Windows refuses to move a file that another program holds open; elsewhere the move is made to
// fail through the fault hook.
FILE* heldOpen = nullptr;
void holdBitmapOpen() {
#ifdef _WIN32
  heldOpen = std::fopen("sim\\RELAY.BMP", "rb");
#else
  setFileFaultHook({3, false});
#endif
}

struct BadInput {
  const char* what;
  std::string file;             // the route file in routes/
  std::function<void()> plant;  // puts the bad input in place (the route file included)
  Texts messages;               // every message box, in order: text and detail
  bool buildFailed;
  std::vector<std::string> after;          // files that exist afterwards (prepared routes, temporary files)
  std::string prepared = "";               // the bytes of the prepared route, when one is expected and given
  std::function<void()> during = nullptr;  // around the run: a file held open, a fault
};

void writeRoute(const std::string& file, const std::string& text) { writeBytes("routes/" + file, text); }

// The files that the build, the swap and the tests may leave: all others are the user's.
bool isUsersFile(const std::string& path) {
  for (const char* own : {"klvtemp.csv", "klvtemp.rw", "klv.tmp", "klv2.tmp", "sigswap.klv", "sigswap.jnl"}) {
    if (fs::path(path).filename() == own) return false;
  }
  return true;
}

Tree usersFiles() {
  Tree files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
    std::string path = entry.path().lexically_relative(".").generic_string();
    if (entry.is_regular_file() && isUsersFile(path)) files[path] = readBytes(path);
  }
  return files;
}

std::vector<std::string> programFiles() {
  std::vector<std::string> files;
  for (const char* path : {"klv.tmp", "klv2.tmp", "routes/klvtemp.csv", "routes/klvtemp.rw", "sigswap.klv"}) {
    if (exists(path)) files.push_back(path);
  }
  return files;
}

class BadInputTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    setFileFaultHook({0, false});
    fs::create_directories("sim");
    fs::create_directories("routes");
    fs::create_directories("semaphore");
    writeBytes("sim/RELAY.BMP", "sim relay");
    writeBytes("sim/readme.txt", "sim readme");
    writeBytes("semaphore/RELAY.BMP", "semaphore relay");
    writeBytes("semaphore/sigsys.txt", sigsys);
    writeBytes("klv.cfg", config("Zelvik Default"));
  }
  void TearDown() override {
    setFileFaultHook({0, false});
    WorkFolderTest::TearDown();
  }

  // One run of the program on the route, as after "Select" and the Starting options.
  static void runProgram(const std::string& file) {
    initAppState();
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    loadConfig();
    restoreDefaultSignals();
    std::snprintf(appState.routeFile, sizeof appState.routeFile, "%s", file.c_str());
    appState.routeKind = static_cast<std::int8_t>(routeKindOf(file.c_str()));
    std::snprintf(appState.trainName, sizeof appState.trainName, "Local");
    const std::string system(appState.signalSystem);
    appState.swapSignals = !system.empty() && system != "Zelvik Default";
    prepareSignalSystem();
    seedRandom(1);
    buildRoute(nullptr);
  }
};

TEST_F(BadInputTest, EveryBadInputIsAnsweredAndNothingIsLost) {
  const std::string big(512 * 1024, 'x');
  const BadInput cases[] = {
      {"missing route",
       "missing.klf",
       [] {},
       {"Unable to open source file for pre-processing.\n\n" + route("missing.klf"), general},
       true,
       {}},
      {"missing csv route",
       "missing.csv",
       [] {},
       {"Unable to open source file for rewriting.\n\n" + route("missing.csv")},
       true,
       {}},
      {"empty route",
       "empty.csv",
       [] { writeRoute("empty.csv", ""); },
       {},
       false,
       {"routes/klvtemp.csv"},
       developerBlock},
      {"empty macro route",
       "empty.klf",
       [] { writeRoute("empty.klf", ""); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       ""},
      {"unreadable file (a folder in its place)",
       "locked.rw",
       [] { fs::create_directories("routes/locked.rw"); },
       {"Unable to open source file for rewriting.\n\n" + route("locked.rw")},
       true,
       {}},
      {"binary bytes",
       "binary.csv",
       [] {
         writeRoute("binary.csv",
                    "a\x01\x80\x9F\xA7\xFE\x7F"
                    "b");
       },
       {},
       false,
       {"routes/klvtemp.csv"},
       "a\x01\x80\x9F\xA7\xFE\x7F"
       "b" +
           developerBlock},
      {"the byte 0xFF",
       "ff.csv",
       [] { writeRoute("ff.csv", ".folder Old\r\n\xFF.sta Late,\r\n"); },
       {endsEarly + "\n\n" + route("ff.csv")},
       true,
       {}},
      {"NUL bytes",
       "zero.klf",
       [] { writeRoute("zero.klf", std::string("#rnd<1,6>\0#if<1>", 16)); },
       {endsEarly + "\n\n" + route("zero.klf"), general},
       true,
       {}},
      {"a NUL byte in an included file",
       "inc.klf",
       [] {
         writeRoute("inc.klf", "#include<part.txt>");
         writeRoute("part.txt", std::string("a\0b", 3));
       },
       {endsEarly + "\n\nroutes" + pathSeparator + "part.txt", general},
       true,
       {"klv.tmp"}},
      {"unclosed brackets at the end of the file",
       "open.klf",
       [] { writeRoute("open.klf", "a #if<#add<1,"); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       "a "},
      {"a line end inside an argument",
       "line.klf",
       [] { writeRoute("line.klf", "#setvalue<x,5\r\n#value<x>"); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       "5"},
      {"300-character arguments",
       "long.klf",
       [] { writeRoute("long.klf", "#setword<w," + std::string(300, 'a') + ">#word<w>"); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       std::string(268, 'a') + ">" + std::string(31, 'a')},
      {"names of 31 characters",
       "name.klf",
       [] { writeRoute("name.klf", "#setvalue<" + std::string(31, 'n') + ",1>"); },
       {"#setvalue command, too long name.\n\n" + std::string(31, 'n'), general},
       true,
       {"klv.tmp"}},
      {"the 65th name",
       "names.klf",
       [] {
         std::string text;
         for (int i = 0; i < 65; ++i) text += "#setword<w" + std::to_string(i) + ",x>";
         writeRoute("names.klf", text);
       },
       {"#setword command, no word with specified name and all words already used.\n\nw64", general},
       true,
       {"klv.tmp"}},
      {"the 9th nested repeat",
       "deep.klf",
       [] {
         std::string text;
         for (int i = 0; i < 9; ++i) text += "#repeat<>";
         writeRoute("deep.klf", text);
       },
       {"#repeat command, too many other repeat sections inside a repeat section.", general},
       true,
       {"klv.tmp"}},
      // After the first pass an include is looked for in the program's folder.
      {"a file including itself",
       "self.klf",
       [] { writeRoute("self.klf", "x#include<self.klf>"); },
       {"#include command, file not found.\n\nself.klf", general},
       true,
       {"klv.tmp", "klv2.tmp"}},
      {"a file including itself in every pass",
       "self.klf",
       [] {
         writeRoute("self.klf", "x#include<self.klf>");
         writeBytes("self.klf", "y#include<self.klf>");
       },
       {"#include command, too many nested includes or macro definitions.\n\n" + route("self.klf"), general},
       true,
       {"klv.tmp", "klv2.tmp"}},
      {"a repeat without end",
       "loop.klf",
       [] { writeRoute("loop.klf", "#repeat<>x#endrepeat<>"); },
       {"#repeat command, too many repetitions.", general},
       true,
       {"klv.tmp"}},
      {"a repeat without end of arithmetic on 300-digit numbers",
       "digits.klf",
       [] {
         std::string sum = "#mul<1e300,1>";
         for (int i = 0; i < 15; ++i) sum = "#add<" + sum + ",1>";
         writeRoute("digits.klf", "#repeat<>#setvalue<x," + sum + ">#endrepeat<>");
       },
       {"#repeat command, too many repetitions.", general},
       true,
       {"klv.tmp"}},
      {"a repeat whose section is 500 KiB",
       "wide.klf",
       [&big] { writeRoute("wide.klf", "#repeat<>" + big + "#endrepeat<>"); },
       {"Processing, the route is longer than 1048576 characters.\n\n" + rwOut, general},
       true,
       {"klv.tmp"}},
      {"a stray breakrepeat",
       "stray.klf",
       [] { writeRoute("stray.klf", "a#breakrepeat<>b#endrepeat<>"); },
       {"#breakrepeat command, no repeat section to leave.", general},
       true,
       {"klv.tmp"}},
      {"division by zero",
       "div.klf",
       [] { writeRoute("div.klf", "#div<1,0> #div<0,0> #div<-1,0>"); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       "inf nan -inf"},
      {"1e300 in arithmetic",
       "huge.klf",
       [] { writeRoute("huge.klf", "#mul<1e300,1e300> #sub<0,1e300>"); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       "inf -1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864043704"
       "443832883878176942523235360430575644792184786706982848387200926575803737830233794788090059368953234970799945"
       "081119038967640880074652742780142494579258788820056842838115669472196386865459400540160"},
      {"a 1039-character text of nested commands",
       "nest.klf",
       [] { writeRoute("nest.klf", nested(1039)); },
       {},
       false,
       {"klv.tmp", "routes/klvtemp.rw"},
       nestedResult()},
      {"a missing include",
       "inc.klf",
       [] { writeRoute("inc.klf", "#include<nothere.txt>"); },
       {"#include command, file not found.\n\nroutes" + std::string(1, pathSeparator) + "nothere.txt", general},
       true,
       {"klv.tmp"}},
      {"a macro used before its definition",
       "early.klf",
       [] { writeRoute("early.klf", "#macro<m>#definemacro<m>b#endmacro<>"); },
       {"#macro command, macro with such name doesn't exist.\n\nm", general},
       true,
       {"klv.tmp"}},
      {"an output over 1048576 characters",
       "big.csv",
       [&big] { writeRoute("big.csv", big + big); },
       {"The prepared route would be longer than 1048576 characters.\n\n" + csvOut},
       true,
       {}},
      {"a klv.cfg with junk",
       "plain.csv",
       [] {
         writeBytes("klv.cfg", "sim\nroutes\ntrains\n1 x 0 0 0 0\n\xFF\x00junk");
         writeRoute("plain.csv", ".Folder Old\r\n");
       },
       {"Could not load signal system:\n\nx 0 0 0 0"},
       false,
       {"routes/klvtemp.csv"},
       ".folder Local\r\n" + developerBlock.substr(2)},
      {"a sigsys.txt without sections",
       "sig.csv",
       [] {
         writeBytes("klv.cfg", config("Semaphores"));
         writeBytes("semaphore/sigsys.txt", "Semaphores\r\nNo sections at all.\r\n");
         writeRoute("sig.csv", "a.signal 1;x,b");
       },
       {},
       false,
       {"routes/klvtemp.csv", "sigswap.klv"},
       "ab" + developerBlock},
      {"a sigsys.txt with unclosed sections",
       "sig.rw",
       [] {
         writeBytes("klv.cfg", config("Semaphores"));
         writeBytes("semaphore/sigsys.txt",
                    "Semaphores\r\n#signaldef#\xA7s\xA7"
                    "a\xA7"
                    "e#relaydef#r");
         writeRoute("sig.rw", "[Railway]\r\n@Sig(7)\r\n");
       },
       {},
       false,
       {"routes/klvtemp.rw", "sigswap.klv"},
       "[Route]\r\nDeveloperID=40752918\r\n[Railway]\r\n@signal(7)\r\n"},
      {"a signal folder that vanished",
       "plain.csv",
       [] {
         writeBytes("klv.cfg", config("Semaphores"));
         writeBytes("sigswap.klv", "semaphore");
         fs::remove_all("semaphore");
         writeRoute("plain.csv", "a.relay 1;2,");
       },
       {"Could not restore default signals.\r\nSwapped signal system seems to have been removed:\n\nsemaphore",
        "Could not load signal system:\n\nSemaphores"},
       false,
       {"routes/klvtemp.csv", "sigswap.klv"},
       "a" + developerBlock},
      {"a simulator folder that is read-only",
       "plain.csv",
       [] {
         writeBytes("klv.cfg", config("Semaphores"));
         writeRoute("plain.csv", "a.relay 1;2,");
       },
       {"Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:\n\n"
        "sim\\RELAY.BMP"},
       false,
       {"routes/klvtemp.csv"},
       "a\r\n.Relay 1.000000;2.000000,\r\n" + developerBlock.substr(2),
       // The move out of the simulator's folder fails (by the fault hook: these tests run as root).
       [] {
         setFileFaultHook({3, false});
       }},
      {"a bitmap held open by another program",
       "plain.csv",
       [] {
         writeBytes("klv.cfg", config("Semaphores"));
         writeRoute("plain.csv", "a.relay 1;2,");
       },
       {"Could not engage custom signal bitmap.\r\nThe bitmaps engaged so far are restored at the next start:\n\n"
        "sim\\RELAY.BMP"},
       false,
       {"routes/klvtemp.csv"},
       "a\r\n.Relay 1.000000;2.000000,\r\n" + developerBlock.substr(2),
       holdBitmapOpen},
  };
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    c.plant();
    const Tree before = usersFiles();
    MessageRecorder messages;
    if (c.during) c.during();
    auto start = std::chrono::steady_clock::now();
    runProgram(c.file);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    setFileFaultHook({0, false});
    if (heldOpen) std::fclose(heldOpen);
    heldOpen = nullptr;
    EXPECT_LT(seconds, secondsPerCase());
    EXPECT_EQ(messages.texts(), c.messages);
    EXPECT_EQ(appState.buildFailed, c.buildFailed);
    EXPECT_EQ(programFiles(), c.after);
    const std::string prepared = appState.outputIsCsv ? "routes/klvtemp.csv" : "routes/klvtemp.rw";
    if (!c.buildFailed) {
      EXPECT_EQ(readBytes(prepared), c.prepared);
    }
    restoreDefaultSignals();  // the next start
    EXPECT_EQ(usersFiles(), before);
  }
}

}  // namespace
