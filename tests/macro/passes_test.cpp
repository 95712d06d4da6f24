// The two passes of a macro run over files in a fresh working folder: what "klv.tmp" and the
// destination hold afterwards, which files exist, and every message.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "state/app_state.h"
#include "support/test_support.h"
#include "text/random.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

struct PassRun {
  bool ok;
  std::string result;  // "<missing>" when the file was not written
  Texts messages;
};

class MacroPassTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    resetSymbolStores();
    seedRandom(1);
  }

  PassRun preprocess(const std::string& source, const std::string& path = "route.klf") {
    writeBytes(path, source);
    MessageRecorder messages;
    bool ok = preprocessRoute(path.c_str(), nullptr);
    return {ok, readBytes("klv.tmp"), messages.texts()};
  }

  PassRun process(const std::string& preprocessed) {
    writeBytes("klv.tmp", preprocessed);
    MessageRecorder messages;
    bool ok = processRoute("out.csv", nullptr);
    return {ok, readBytes("out.csv"), messages.texts()};
  }

  // A whole macro run, as the build driver makes it.
  PassRun run(const std::string& source) {
    resetSymbolStores();
    writeBytes("route.klf", source);
    MessageRecorder messages;
    bool ok = preprocessRoute("route.klf", nullptr) && processRoute("out.csv", nullptr);
    return {ok, readBytes("out.csv"), messages.texts()};
  }
};

struct Case {
  std::string input;
  std::string expected;
};

// ---- Preprocessor ----------------------------------------------------------------------------

TEST_F(MacroPassTest, PreprocessingCopiesTextAndCanonicalisesKeywords) {
  const Case cases[] = {
      {"a,b\r\n\r\n\tc\r\n", "a,b\r\nc\r\n"},
      {"#IF{1}x#EndIf{}", "#if<1}x#endif<>"},
      {"#Rnd25{1,2}", "#rnd25<1,2}"},
      {"#x #if <1> ##else<>", "#x #if <1> ##else<>"},
      {"#notes<>hidden\r\n#endnotes<>shown", "shown"},
      {"a#NOTES<>never closed\r\nmore", "a"},
      {"#notes<>#notes<>x#ENDNOTES{}y", "y"},
  };
  for (const Case& c : cases) {
    PassRun r = preprocess(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.expected) << c.input;
    EXPECT_TRUE(r.messages.empty()) << c.input;
    EXPECT_FALSE(exists("klv2.tmp")) << "one pass only: " << c.input;
  }
}

TEST_F(MacroPassTest, IncludesAreFoundBesideTheSourceAndLaterInTheWorkingFolder) {
  std::filesystem::create_directories("routes/parts");
  writeBytes("routes/parts/a.txt", "[A #include<b.txt>]");
  writeBytes("b.txt", "B from the working folder");
  writeBytes("routes/b.txt", "B beside the route");
  PassRun r = preprocess("start #include<parts\\a.txt> end", "routes/line.klf");
  EXPECT_TRUE(r.ok);
  // The second pass reads "klv2.tmp", which has no folder part: b.txt is the working folder's.
  EXPECT_EQ(r.result, "start [A B from the working folder] end");
  EXPECT_TRUE(r.messages.empty());
  EXPECT_TRUE(exists("klv2.tmp"));
}

TEST_F(MacroPassTest, AMissingIncludeNamesThePathAndKeepsTheTextBeforeIt) {
  std::filesystem::create_directory("routes");
  PassRun r = preprocess("before #include<gone.txt> after", "routes/line.klf");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.result, "before ");
  EXPECT_EQ(r.messages, Texts{"#include command, file not found.\n\nroutes/gone.txt"});
}

TEST_F(MacroPassTest, MacrosDefinedBeforeAndAfterUse) {
  const Case cases[] = {
      {"#definemacro<m>BODY#endmacro<>x#macro<m>y#macro<m>", "xBODYyBODY"},
      {"#definemacro<m>#value<a>#endmacro<>#macro<m>", "#value<a>"},  // bodies are inserted unscanned
      {"#include<inc.txt>#macro<late>#definemacro<late>L#endmacro<>", "inc L"},
      {"#definemacro<m>long body#endmacro<>#definemacro<m>s#endmacro<>#macro<m>", "s"},
      {"#definemacro<1>one#endmacro<>#definemacro<2>two#endmacro<>#definemacro<3>three#endmacro<>#macro<#rnd<1,3>>",
       "three"},  // seed 1 draws 41: 1 + 41 % 3
  };
  writeBytes("inc.txt", "inc ");
  for (const Case& c : cases) {
    resetSymbolStores();
    seedRandom(1);
    PassRun r = preprocess(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.expected) << c.input;
    EXPECT_TRUE(r.messages.empty()) << c.input;
  }
}

TEST_F(MacroPassTest, MacroFailures) {
  struct Failure {
    std::string input;
    std::string kept;
    std::string message;
  } cases[] = {
      {"a#macro<nothere>b", "a", "#macro command, macro with such name doesn't exist.\n\nnothere"},
      {"#definemacro<" + std::string(31, 'n') + ">x#endmacro<>", "",
       "#definemacro command, too long macro name.\n\n" + std::string(31, 'n')},
  };
  for (const Failure& c : cases) {
    resetSymbolStores();
    PassRun r = preprocess(c.input);
    EXPECT_FALSE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.kept) << c.input;
    EXPECT_EQ(r.messages, Texts{c.message}) << c.input;
  }

  resetSymbolStores();
  std::string all;
  for (int i = 0; i < 64; ++i) all += "#definemacro<m" + std::to_string(i) + ">#endmacro<>";
  PassRun full = preprocess(all + "#definemacro<m0>again#endmacro<>#definemacro<extra>x#endmacro<>");
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.messages,
            Texts{"#definemacro command, no macro with specified name and all macros already used.\n\nextra"});
}

TEST_F(MacroPassTest, AMacroBodyHoldsAtMost8190Characters) {
  std::string body(8190, 'b');
  PassRun r = preprocess("#definemacro<big>" + body + "LOST" + "#endmacro<>#macro<big>");
  EXPECT_TRUE(r.ok);
  // The 8191st character is lost; the rest of the body is ordinary text and its end a command.
  EXPECT_EQ(r.result, "OST#endmacro<>" + body);
}

TEST_F(MacroPassTest, ASelfIncludingFileStopsAfterAHundredPasses) {
  writeBytes("self.txt", "x#include<self.txt>");
  PassRun r = preprocess("#include<self.txt>");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.messages, Texts{"#include command, too many nested includes or macro definitions.\n\nroute.klf"});
}

TEST_F(MacroPassTest, PreprocessingRefusesToCutTheRoute) {
  writeBytes("half.txt", std::string(524288, 'h'));
  PassRun exact = preprocess("#include<half.txt>#include<half.txt>");
  EXPECT_TRUE(exact.ok);
  EXPECT_EQ(exact.result.size(), 1048576u);
  EXPECT_TRUE(exact.messages.empty());

  PassRun over = preprocess("#include<half.txt>#include<half.txt>!");
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.messages, Texts{"Pre-processing, the route is longer than 1048576 characters.\n\nroute.klf"});
}

TEST_F(MacroPassTest, PreprocessingFailuresOfFiles) {
  PassRun missing = preprocess("x", "route.klf");
  std::filesystem::remove("route.klf");
  MessageRecorder messages;
  EXPECT_FALSE(preprocessRoute("route.klf", nullptr));
  EXPECT_EQ(messages.texts(), Texts{"Unable to open source file for pre-processing.\n\nroute.klf"});

  std::filesystem::remove("klv.tmp");
  std::filesystem::create_directory("klv.tmp");  // cannot be written
  writeBytes("route.klf", "x");
  EXPECT_FALSE(preprocessRoute("route.klf", nullptr));
  EXPECT_EQ(messages.texts().back(), "Unable to write destination file for pre-processing.\n\nklv.tmp");
}

// ---- Processor -------------------------------------------------------------------------------

TEST_F(MacroPassTest, ConditionalChains) {
  const Case cases[] = {
      {"#if<0>x#elseif<1>y#else<>z#endif<>", "y"},
      {"#if<1>x#elseif<1>y#else<>z#endif<>", "x"},
      {"#if<0>x#elseif<0>y#else<>z#endif<>", "z"},
      {"#if<0>x#endif<>.", "."},
      {"#if<2.9>a#endif<>#if<0.9>b#endif<>#if<abc>c#endif<>#if< -1>d#endif<>", "ad"},
      {"#if<1,2>kept#endif<>", "2>kept"},  // the surplus argument is text
      {"#if<0>#if<1>a#else<>b#endif<>c#else<>d#endif<>e", "de"},
      {"#if<1>#if<0>a#else<>b#endif<>c#else<>d#endif<>e", "bce"},
      {"#if<0>x#elseif<1>#if<1>a#endif<>y#else<>z#endif<>", "ay"},
      {"#if<0>#if<#value<nothere>>a#endif<>#endif<>ok", "ok"},  // conditions in dropped branches are not read
      {"A#IF{1}B#ELSE{}C#ENDIF{}D", "ABD"},
  };
  for (const Case& c : cases) {
    resetSymbolStores();
    PassRun r = process(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.expected) << c.input;
    EXPECT_TRUE(r.messages.empty()) << c.input;
  }
}

// Random well-formed chains, nested three deep, against a straightforward model: the branch
// after the first true condition, or the else branch, stays; everything else goes.
struct ChainMaker {
  std::mt19937 generator;
  std::string route, expected;

  int below(int n) { return static_cast<int>(generator() % static_cast<unsigned>(n)); }

  void text(bool kept) {
    std::string word(1, static_cast<char>('a' + below(26)));
    route += word;
    if (kept) expected += word;
  }

  void chain(int depth, bool kept) {
    int branches = 1 + below(3);
    bool hasElse = below(2) == 0;
    bool taken = false;
    for (int i = 0; i < branches + (hasElse ? 1 : 0); ++i) {
      bool isElse = i == branches;
      int condition = isElse ? 1 : below(2);
      route += isElse ? "#else<>" : (i == 0 ? "#if<" : "#elseif<") + std::to_string(condition) + ">";
      bool branchKept = kept && !taken && condition != 0;
      if (branchKept) taken = true;
      body(depth, branchKept);
    }
    route += "#endif<>";
  }

  void body(int depth, bool kept) {
    int parts = 1 + below(3);
    for (int i = 0; i < parts; ++i) {
      if (depth < 3 && below(3) == 0) {
        chain(depth + 1, kept);
      } else {
        text(kept);
      }
    }
  }
};

TEST_F(MacroPassTest, NestedChainsKeepExactlyTheFirstTrueBranch) {
  ChainMaker maker;
  maker.generator.seed(2026);
  for (int i = 0; i < 300; ++i) {
    maker.route.clear();
    maker.expected.clear();
    maker.body(0, true);
    PassRun r = process(maker.route);
    ASSERT_TRUE(r.ok) << maker.route;
    ASSERT_EQ(r.result, maker.expected) << maker.route;
  }
}

TEST_F(MacroPassTest, DefinitionsAndInformationCommands) {
  const Case cases[] = {
      {"#setvalue<x,2.5>v=#value<x>", "v=2.5"},
      {"#setvalue<x,abc>#value<x>", "0"},
      {"#setvalue<x,1>#setvalue<x,#add<#value<x>,1>>#value<x>", "2"},
      {"#setword<w,hello>#word<w>!", "hello!"},
      {"#setword<w," + std::string(31, 'w') + "TAIL>[#word<w>]", "AIL>[" + std::string(31, 'w') + "]"},
      {"#version<1.0>#playerselectstrain<no>#customfile<a,b>#message<t,u>#annmaker<1,2,3,4,5,6>end", "end"},
      {"#message<only one>rest,>end", ">end"},  // a missing argument is read from what follows
      {"\r\n#setvalue<a,1>\r\n#setvalue<b,2>\r\nx\r\n", "\r\nx\r\n"},
      {"[#selectedtrain<>][#SelectedTrain{}]", "[][]"},
  };
  for (const Case& c : cases) {
    resetSymbolStores();
    PassRun r = process(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.expected) << c.input;
    EXPECT_TRUE(r.messages.empty()) << c.input;
  }
}

TEST_F(MacroPassTest, Rndsets) {
  struct RndsetCase {
    std::string input;
    std::vector<std::string> items;
    std::string output;
  } cases[] = {
      {"#definerndset<s,a,b,c>", {"a", "b", "c"}, ""},
      {"#definerndset<s,a,b,c,endlisting>", {"a", "b", "c"}, ""},
      {"#definerndset<s,endlisting,b>", {"endlisting", "b"}, ""},
      {"#definerndset<s," + std::string(20, 'i') + ">", {std::string(15, 'i')}, ""},
      {"#definerndset<s,a,\r\nb>rest", {"a", "\r", "b"}, "rest"},  // the list goes on after the line end
      {"#definerndset<s>x,y>z", {"x", "y"}, "z"},
      {"#definerndset<s,a,b,c>#definerndset<s,d>", {"d"}, ""},
  };
  for (const RndsetCase& c : cases) {
    resetSymbolStores();
    PassRun r = process(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.output) << c.input;
    int slot = findSlot(symbolStores.rndsets, "s");
    ASSERT_GE(slot, 0) << c.input;
    const RndsetSlot& set = symbolStores.rndsets[slot];
    std::vector<std::string> items(set.items, set.items + set.count);
    EXPECT_EQ(items, c.items) << c.input;
  }

  resetSymbolStores();
  std::string list;
  for (int i = 1; i <= 40; ++i) list += "," + std::to_string(i);
  PassRun forty = process("#definerndset<s" + list + ">");
  EXPECT_EQ(forty.result, "34,35,36,37,38,39,40>");  // 32 stored, the 33rd dropped
  EXPECT_EQ(symbolStores.rndsets[0].count, 32);
  EXPECT_STREQ(symbolStores.rndsets[0].items[31], "32");
}

TEST_F(MacroPassTest, RepeatSections) {
  const Case cases[] = {
      {"#setvalue<i,0>#repeat<>#setvalue<i,#add<#value<i>,1>>[#value<i>]"
       "#if<#equal<#value<i>,3>>#breakrepeat<>#endif<>#endrepeat<>done",
       "[1][2][3]done"},
      {"#setvalue<i,0>#repeat<>#setvalue<i,#add<#value<i>,1>>#setvalue<j,0>"
       "#repeat<>#setvalue<j,#add<#value<j>,1>>#value<i>#value<j> "
       "#if<#equal<#value<j>,2>>#breakrepeat<>#endif<>#endrepeat<>"
       "#if<#equal<#value<i>,2>>#breakrepeat<>#endif<>#endrepeat<>.",
       "11 12 21 22 ."},
      // The rest of a section, inner sections included, is dropped when it is left.
      {"#repeat<>a#breakrepeat<>b#repeat<>c#endrepeat<>d#endrepeat<>e", "ae"},
      // A '#' that starts no keyword costs the character after the mismatch: "#x#" hides the
      // first "endrepeat<>", so the scan ends at the second.
      {"#repeat<>a#breakrepeat<>#x#endrepeat<>b#endrepeat<>c", "ac"},
  };
  for (const Case& c : cases) {
    resetSymbolStores();
    PassRun r = process(c.input);
    EXPECT_TRUE(r.ok) << c.input;
    EXPECT_EQ(r.result, c.expected) << c.input;
    EXPECT_TRUE(r.messages.empty()) << c.input;
  }
}

TEST_F(MacroPassTest, RepeatSectionsNestEightDeep) {
  std::string open, close;
  for (int i = 0; i < 8; ++i) {
    open += "#repeat<>";
    close = "#breakrepeat<>#endrepeat<>" + close;
  }
  PassRun eight = process(open + "x" + close + "y");
  EXPECT_TRUE(eight.ok);
  EXPECT_EQ(eight.result, "xy");

  PassRun nine = process(open + "#repeat<>x");
  EXPECT_FALSE(nine.ok);
  EXPECT_EQ(nine.result, "<missing>");
  EXPECT_EQ(nine.messages, Texts{"#repeat command, too many other repeat sections inside a repeat section."});
}

TEST_F(MacroPassTest, ProcessingFailuresLeaveNoDestination) {
  struct Failure {
    std::string input;
    std::string message;
  } cases[] = {
      {"a#endrepeat<>b", "#endrepeat command, excess endrepeats compared to repeat section starters."},
      {"a#breakrepeat<>b#endrepeat<>c", "#breakrepeat command, no repeat section to leave."},
      {"#setvalue<" + std::string(31, 'v') + ",1>", "#setvalue command, too long name.\n\n" + std::string(31, 'v')},
      {"#setword<" + std::string(31, 'w') + ",1>", "#setword command, too long name.\n\n" + std::string(31, 'w')},
      {"#definerndset<" + std::string(31, 'r') + ",1>",
       "#definerndset command, too long name.\n\n" + std::string(31, 'r')},
  };
  for (const Failure& c : cases) {
    resetSymbolStores();
    writeBytes("out.csv", "an old route");
    PassRun r = process(c.input);
    EXPECT_FALSE(r.ok) << c.input;
    EXPECT_EQ(r.result, "<missing>") << c.input;
    EXPECT_EQ(r.messages, Texts{c.message}) << c.input;
  }
}

TEST_F(MacroPassTest, StoresRefuseTheSixtyFifthName) {
  struct Store {
    std::string define;  // defines the name given after it
    std::string message;
  } stores[] = {
      {"#setvalue<", "#setvalue command, no value with specified name and all values already used."},
      {"#setword<", "#setword command, no word with specified name and all words already used."},
      {"#definerndset<", "#definerndset command, no rndset with specified name and all rndsets already used."},
  };
  for (const Store& s : stores) {
    resetSymbolStores();
    std::string route;
    for (int i = 0; i < 64; ++i) route += s.define + "n" + std::to_string(i) + ",1>";
    route += s.define + "n0,2>" + s.define + "extra,1>";
    PassRun r = process(route);
    EXPECT_FALSE(r.ok) << s.define;
    EXPECT_EQ(r.messages, Texts{s.message + "\n\nextra"}) << s.define;
  }
}

TEST_F(MacroPassTest, ARunawayRepeatIsStoppedByEitherBound) {
  // A short section reaches the bound on jumps back.
  PassRun jumps = process("#repeat<>#endrepeat<>");
  EXPECT_FALSE(jumps.ok);
  EXPECT_EQ(jumps.messages, Texts{"#repeat command, too many repetitions."});
  // A long section reaches the bound on characters read first: 16 MiB in about 1600 rounds.
  PassRun reads = process("#repeat<>#if<0>" + std::string(10000, ' ') + "#endif<>#endrepeat<>");
  EXPECT_FALSE(reads.ok);
  EXPECT_EQ(reads.messages, Texts{"#repeat command, too many repetitions."});
  // A section whose output no longer fits ends the run at once.
  PassRun cut = process("#repeat<>" + std::string(10000, ' ') + "#endrepeat<>");
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.messages, Texts{"Processing, the route is longer than 1048576 characters.\n\nout.csv"});
}

// The processor reports after every character or command: through plain text read in runs
// every percentage comes, and a jump back to a repeat section's start sends the lower one again.
TEST_F(MacroPassTest, ProcessingReportsProgressThroughRunsAndJumpsBack) {
  const std::string route = "#setvalue<i,0>#repeat<>" + std::string(491, 'a') +
                            "#if<#value<i>>#breakrepeat<>#endif<>#setvalue<i,1>#endrepeat<>" + std::string(424, 'b');
  ASSERT_EQ(route.size(), 1000u);
  std::vector<int> reports;
  setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
  PassRun r = process(route);
  setProgressHandler(nullptr);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.result, std::string(982, 'a') + std::string(424, 'b'));

  auto from = [](int first, int last) {
    std::vector<int> range;
    for (int percent = first; percent <= last; ++percent) range.push_back(percent);
    return range;
  };
  std::vector<int> expected = from(1, 52);  // up to the condition, which is false the first time
  for (int percent : {54, 55, 56}) expected.push_back(percent);  // the skipped break, the end, the value
  for (int percent : from(1, 52)) expected.push_back(percent);    // again from the section's start
  for (int percent : from(57, 100)) expected.push_back(percent);  // after the break, past the end
  EXPECT_EQ(reports, expected);
}

TEST_F(MacroPassTest, AFailedLookupIsReportedAndProcessingGoesOn) {
  PassRun r = process("a#value<nothere>b");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.result, "ab");
  EXPECT_EQ(r.messages, Texts{"#value command, value not found.\n\nnothere"});
}

TEST_F(MacroPassTest, ProcessingRefusesToCutTheRoute) {
  std::string half(524288, 'h');
  PassRun exact = process(half + "#if<1>" + half + "#endif<>");
  EXPECT_TRUE(exact.ok);
  EXPECT_EQ(exact.result.size(), 1048576u);

  PassRun over = process(half + half + "#rnd<1,1>");
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.result, "<missing>");
  EXPECT_EQ(over.messages, Texts{"Processing, the route is longer than 1048576 characters.\n\nout.csv"});
}

TEST_F(MacroPassTest, ProcessingFailuresOfFiles) {
  MessageRecorder messages;
  EXPECT_FALSE(processRoute("out.csv", nullptr));
  writeBytes("klv.tmp", "x");
  std::filesystem::create_directory("folder.csv");
  EXPECT_FALSE(processRoute("folder.csv", nullptr));
  EXPECT_EQ(messages.texts(), (Texts{"Unable to open source file for processing.\n\nklv.tmp",
                                     "Unable to write destination file for processing.\n\nfolder.csv"}));
}

TEST_F(MacroPassTest, AWholeRunOfBothPasses) {
  writeBytes("stations.txt", "#definemacro<stop>.sta #word<town>,#rnd<10,20>,\r\n#endmacro<>");
  PassRun r = run(
      "#notes<>A test line#endnotes<>\r\n"
      "#include<stations.txt>\r\n"
      "#setword<town,Ferndale>\r\n"
      "#macro<stop>"
      "#if<#chance<50>>\r\nwet\r\n#else<>\r\ndry\r\n#endif<>\r\n");
  EXPECT_TRUE(r.ok);
  // Seed 1: rnd<10,20> draws 41 (10 + 41 % 11 = 18); chance<50> draws 18467 (18467 % 100 + 1 = 68 > 50).
  EXPECT_EQ(r.result, "\r\n.sta Ferndale,18,\r\ndry\r\n");
  EXPECT_TRUE(r.messages.empty());
}

// A route that uses every command, run from its own folder; the expected bytes were worked out by
// hand, draw by draw (seed 1: 41, 18467, 6334, 26500, 19169).
TEST_F(MacroPassTest, EveryCommandInOneRoute) {
  const std::string data = KLV_TEST_DATA "/macro/";
  std::filesystem::create_directory("route");
  for (const char* name : {"every_command.klf", "every_command_part.txt"})
    writeBytes(std::string("route/") + name, readBytes(data + name));
  std::snprintf(appState.trainName, sizeof appState.trainName, "Local");
  MessageRecorder answers(answerYes);
  resetSymbolStores();
  bool ok = preprocessRoute("route/every_command.klf", nullptr) && processRoute("out.csv", nullptr);
  appState.trainName[0] = '\0';
  EXPECT_TRUE(ok);
  EXPECT_EQ(readBytes("out.csv"), readBytes(data + "every_command.expected"));
  ASSERT_EQ(answers.calls().size(), 1u);
  EXPECT_EQ(answers.calls()[0].caption, "Choice");
  EXPECT_EQ(answers.calls()[0].text,
            "Night run?\n\nPress \"Yes\" for the first option, and \"No\" for the second option:");
}

}  // namespace
