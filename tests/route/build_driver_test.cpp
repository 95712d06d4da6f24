// buildRoute over the three route kinds, with and without a custom signal system: which passes
// ran (each pass runs the progress bar from its start to 100 once), which files exist
// afterwards, the outcome flags and the messages.
#include "route/build_driver.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/test_support.h"
#include "text/random.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

class BuildRouteTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::filesystem::create_directories("routes/sub");
    initAppState();
    std::strcpy(appState.routeFolder, "routes");
    std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "routes%csub", pathSeparator);
    std::strcpy(appState.csvOutPath, "routes\\klvtemp.csv");
    std::strcpy(appState.rwOutPath, "routes\\klvtemp.rw");
    std::strcpy(appState.trainName, "Local");
    appState.swapSignals = false;
    appState.outputIsCsv = false;
    speeds[0] = signaldef[0] = relaydef[0] = '\0';
    seedRandom(1);
    setProgressHandler([this](WindowHandle, int percent) {
      if (reports.empty() || percent < reports.back()) passes++;
      reports.push_back(percent);
    });
  }
  void TearDown() override {
    setProgressHandler(nullptr);
    WorkFolderTest::TearDown();
  }

  // Builds routes/sub/<name> holding `text`.
  void build(const char* name, const std::string& text, int kind) {
    writeBytes(std::string("routes/sub/") + name, text);
    std::strcpy(appState.routeFile, name);
    appState.routeKind = static_cast<std::int8_t>(kind);
    buildRoute(nullptr);
  }

  // A custom signal system engaged: its templates end every signal command in a macro command.
  static void engageSignals() {
    appState.swapSignals = true;
    std::strcpy(signaldef, "[sig \xA7" "a #rnd<5,5>]");
  }

  std::vector<int> reports;
  int passes = 0;
};

TEST_F(BuildRouteTest, ACsvRouteIsOneRewritingPass) {
  MessageRecorder messages;
  build("line.csv", ".Folder Old\r\n.Signal 4,\r\n", 2);
  EXPECT_FALSE(appState.buildFailed);
  EXPECT_TRUE(appState.outputIsCsv);
  EXPECT_EQ(passes, 1);
  EXPECT_EQ(readBytes("routes/klvtemp.csv"), ".folder Local\r\n.signal 4,\r\n,\r\nRoute.DeveloperId 40752918\r\n,");
  EXPECT_FALSE(exists("klv.tmp"));
  EXPECT_FALSE(exists("klv2.tmp"));
  EXPECT_EQ(readBytes("routes/sub/line.csv"), ".Folder Old\r\n.Signal 4,\r\n");  // the source is never changed
  EXPECT_TRUE(messages.calls().empty());
}

TEST_F(BuildRouteTest, AnRwRouteWithASignalSystemRunsTheMacroPassesAfterTheRewriting) {
  engageSignals();
  build("line.rw", "[Railway]\r\n0,@Signal(4)\r\n", 1);
  EXPECT_FALSE(appState.buildFailed);
  EXPECT_FALSE(appState.outputIsCsv);
  EXPECT_EQ(passes, 3);  // rewriting, preprocessing, processing
  EXPECT_EQ(readBytes("routes/klvtemp.rw"), "[Route]\r\nDeveloperID=40752918\r\n[Railway]\r\n0,[sig 4 5]\r\n");
  EXPECT_FALSE(exists("klv.tmp"));
  EXPECT_FALSE(exists("klv2.tmp"));
  EXPECT_FALSE(exists("routes/klvtemp.csv"));
}

TEST_F(BuildRouteTest, AMacroRouteIsCsvWhenItHoldsAFolderCommandAnywhere) {
  writeBytes("routes/sub/part.txt", ".folder in an included file\r\n");
  struct Case {
    const char* text;
    bool csv;
  } cases[] = {
      {"; a comment that names .FOLDER\r\nx #rnd<3,3>\r\n", true},
      {"..Folder\r\n", true},
      {"#include<part.txt>\r\nx\r\n", false},  // only the route file itself is searched
      {"x.fold er\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::filesystem::remove("klv.tmp");
    build("line.klf", c.text, 3);
    EXPECT_FALSE(appState.buildFailed);
    EXPECT_EQ(appState.outputIsCsv, c.csv);
    EXPECT_TRUE(exists(c.csv ? "routes/klvtemp.csv" : "routes/klvtemp.rw"));
    // The expanded route that the rewriting read stays behind.
    EXPECT_TRUE(exists("klv.tmp"));
    EXPECT_FALSE(exists("klv2.tmp"));
    std::filesystem::remove("routes/klvtemp.csv");
    std::filesystem::remove("routes/klvtemp.rw");
  }
  EXPECT_TRUE(hasFolderCommand("no such file"));
}

TEST_F(BuildRouteTest, AMacroRouteWithASignalSystemRunsThreeStages) {
  engageSignals();
  build("line.klf", ".Folder x\r\n#setvalue<n,4>.signal #value<n>,\r\n", 3);
  EXPECT_FALSE(appState.buildFailed);
  EXPECT_TRUE(appState.outputIsCsv);
  EXPECT_EQ(passes, 5);  // preprocessing, processing, rewriting, preprocessing, processing
  EXPECT_EQ(readBytes("routes/klvtemp.csv"),
            ".folder Local\r\n[sig 4 5]\r\n,\r\nRoute.DeveloperId 40752918\r\n,");
  EXPECT_FALSE(exists("klv.tmp"));
  EXPECT_FALSE(exists("klv2.tmp"));
}

TEST_F(BuildRouteTest, AFailingMacroRunShowsBothMessagesAndFails) {
  appState.outputIsCsv = true;
  MessageRecorder messages;
  build("line.klf", "x#include<gone.txt>\r\n", 3);
  EXPECT_TRUE(appState.buildFailed);
  EXPECT_TRUE(appState.outputIsCsv);  // kept from before
  EXPECT_EQ(messages.texts(),
            (Texts{std::string("#include command, file not found.\n\nroutes") + pathSeparator + "sub" + pathSeparator +
                       "gone.txt",
                   "An error occured during the (pre-)processing of the route. The route will not be playable."}));
  EXPECT_FALSE(exists("routes/klvtemp.rw"));
  EXPECT_TRUE(exists("klv.tmp"));  // what the failing pass wrote stays for the author to look at
}

TEST_F(BuildRouteTest, AFailingRewritingFailsTheBuild) {
  MessageRecorder messages;
  std::strcpy(appState.routeFile, "missing.csv");
  appState.routeKind = 2;
  buildRoute(nullptr);
  EXPECT_TRUE(appState.buildFailed);
  ASSERT_EQ(messages.calls().size(), 1u);
  EXPECT_FALSE(exists("routes/klvtemp.csv"));
}

TEST_F(BuildRouteTest, NoRouteSelectedBuildsNothing) {
  writeBytes("routes/klvtemp.csv", "old");
  appState.outputIsCsv = true;
  appState.routeKind = 0;
  buildRoute(nullptr);
  EXPECT_FALSE(appState.buildFailed);
  EXPECT_TRUE(appState.outputIsCsv);
  EXPECT_EQ(passes, 0);
  EXPECT_EQ(readBytes("routes/klvtemp.csv"), "old");
}

}  // namespace
