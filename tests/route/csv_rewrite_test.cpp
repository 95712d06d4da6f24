#include "route/csv_rewrite.h"

#include <string>
#include <utility>
#include <vector>

#include "route/route_rules.h"
#include "route/route_test_support.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

// What every prepared route without a developer id command ends with; its leading CR LF
// collapses when the route itself ends with a line end.
const std::string developerBlock = "\r\n,\r\nRoute.DeveloperId 40752918\r\n,";
const std::string developerBlockAfterLineEnd = ",\r\nRoute.DeveloperId 40752918\r\n,";

class CsvRewriteTest : public RouteRewriteTest {
 protected:
  CsvRewriteTest() : RouteRewriteTest(rewriteCsvRoute, "klvtemp.csv") {}
};

TEST_F(CsvRewriteTest, WithoutOptionsOnlyKeywordsFolderAndDeveloperIdChange) {
  const RouteCase cases[] = {
      {"folder", nullptr, ".Folder Old\r\n", ".folder New\r\n" + developerBlockAfterLineEnd},
      {"folder at the end", nullptr, "x.folder y", "x.folder New\r" + developerBlock},
      {"station and sig", nullptr, ".Station Foo;1,\r\n.Sig 1;2,\r\n",
       ".sta  Foo;1,\r\n.signal 1;2,\r\n" + developerBlockAfterLineEnd},
      {"no keyword", nullptr, ".Stand .5 a.b.", ".Stand .5 a.b." + developerBlock},
      {"run interval keeps its blank and CR", nullptr, ".RunInterval 300\r\n",
       ".runinterval  300\r\r\n" + developerBlockAfterLineEnd},
      {"developer id replaced", nullptr, ".DeveloperId 1234,\r\n", ".developerid 40752918\r,\r\n"},
      {"arguments follow unchanged", nullptr, ".Accuracy 2,.Adhesion 100,.Curve 600;50,.Relay 1;2,.Signal(3) t,",
       ".accuracy  2,.adhesion  100,.curve 600;50,.relay 1;2,.signal(3) t," + developerBlock},
      {"blank lines collapse", nullptr, "a\r\n\r\n\tb\r\n", "a\r\nb\r\n" + developerBlockAfterLineEnd},
  };
  check(cases);
}

TEST_F(CsvRewriteTest, TrackQualityAndAdhesion) {
  const RouteCase cases[] = {
      // 41 % 3, 18467 % 3, 6334 % 3 give 2, 2, 1. The skipped field takes a CR before its LF along.
      {"accuracy", [](StartOptions& o) { o.randomTrackQuality = 1; }, ".Accuracy 2,.accuracy 1;.ACCURACY\r\n",
       ".accuracy 3,.accuracy 3;.accuracy 2\n" + developerBlock},
      // 41 % 21 = 20: +10.
      {"adhesion +-10", [](StartOptions& o) { o.adhesionMode = 654, o.adhesionSpread = 10; }, ".Adhesion 100,\r\n",
       ".adhesion 110,\r\n" + developerBlockAfterLineEnd},
      // 41 % 401 = 41: -159, then at least 50.
      {"adhesion floor", [](StartOptions& o) { o.adhesionMode = 654, o.adhesionSpread = 200; }, ".adhesion 100,",
       ".adhesion 50," + developerBlock},
      {"adhesion ceiling", [](StartOptions& o) { o.adhesionMode = 654, o.adhesionSpread = 0; }, ".adhesion 300,",
       ".adhesion 250," + developerBlock},
      {"super adhesion", [](StartOptions& o) { o.adhesionMode = 655; }, ".Adhesion 100,\r\n",
       ".adhesion 250,\r\n" + developerBlockAfterLineEnd},
      {"adhesion at the end", [](StartOptions& o) { o.adhesionMode = 655; }, ".adhesion 7",
       ".adhesion 250" + developerBlock},
  };
  check(cases);
}

TEST_F(CsvRewriteTest, RunInterval) {
  auto randomize = [](int spread) {
    return [spread](StartOptions& o) { o.intervalMode = 651, o.intervalSpread = spread; };
  };
  auto force = [](int low, int high) {
    return [low, high](StartOptions& o) { o.intervalMode = 652, o.intervalMin = low, o.intervalMax = high; };
  };
  const RouteCase cases[] = {
      // 41 % 61 = 41: +11.
      {"plus or minus", randomize(30), ".RunInterval 300\r\n", ".runinterval 311\r\n" + developerBlockAfterLineEnd},
      // 41 % 1201 = 41: -559, then at least 20.
      {"floor", randomize(600), ".runinterval 300,", ".runinterval 20\r," + developerBlock},
      {"ceiling", randomize(0), ".runinterval 700,", ".runinterval 600\r," + developerBlock},
      // 30 + 41 % 211 = 71; the command makes the appended block unnecessary.
      {"forced", force(30, 240), ".RunInterval 300\r\n", ".runinterval 71\r\n" + developerBlockAfterLineEnd},
      {"forced without a command", force(30, 240), "a", "a" + developerBlock + "\r\n,\r\nRoute.RunInterval 71\r\n,"},
      {"forced single value", force(100, 100), "a", "a" + developerBlock + "\r\n,\r\nRoute.RunInterval 100\r\n,"},
  };
  check(cases);
}

TEST_F(CsvRewriteTest, StationFields) {
  auto all = [](StartOptions& o) { o.randomStarterAspect = o.randomStationWait = o.randomStationJam = 1; };
  auto jam = [](StartOptions& o) { o.randomStationJam = 1; };
  const RouteCase cases[] = {
      // Field 5: 41 % 2 = 1; field 8: 30 - 20 + 18467 % 41 (17) = 27; field 9: 6334 % 240 + 10 = 104.
      {"all three", all, ".Station Name;ar;dep;pass;stop;0;door;x;30;40;y,\r\n",
       ".sta  Name;ar;dep;pass;stop;1;door;x;27;104;y,\r\n" + developerBlockAfterLineEnd},
      // P keeps the starter aspect; field 8: 0 - 20 + 41 % 41 gives 5 at least; field 9: 18467 % 240 + 10.
      {"pass keeps the aspect", all, ".sta Name;p;dep;pass;stop;0;door;x;0;40;y,",
       ".sta  Name;p;dep;pass;stop;0;door;x;5;237;y," + developerBlock},
      // A line end does not end the list: the next line's fields fill places 2 to 10.
      {"fields across a line end", jam, ".Sta A;B\r\n1;2;3;4;5;6;7;8;9,\r\n",
       ".sta  A;B\r\n1;2;3;4;5;6;7;51;9,\r\n" + developerBlockAfterLineEnd},
      // What follows the eleventh field, or a ',', is route text again, where commands count.
      {"eleven fields at most", jam, ".sta 0;1;2;3;4;5;6;7;8;9;10;.folder x,",
       ".sta  0;1;2;3;4;5;6;7;8;51;10;.folder New\r," + developerBlock},
      {"a comma ends the fields", all, ".Sta a;b,.Folder x", ".sta  a;b,.folder New\r" + developerBlock},
      {"ends at the end of the text", all, ".sta a;b", ".sta  a;b" + developerBlock},
  };
  check(cases);
}

TEST_F(CsvRewriteTest, CurveCantForATiltingTrain) {
  auto tilting = [](StartOptions& o) { o.tiltingTrain = 1; };
  const RouteCase cases[] = {
      {"own cant dropped", tilting, ".Curve 600;50,\r\n", ".curve 600;160,\r\n" + developerBlockAfterLineEnd},
      {"no cant given", tilting, ".curve 4000,x", ".curve 4000;100,x" + developerBlock},
      {"only the next field is dropped", tilting, ".curve -2500;9;x,", ".curve -2500;-160,x," + developerBlock},
      {"not a number", tilting, ".curve abc;5,", ".curve abc;0," + developerBlock},
  };
  check(cases);
}

TEST(RouteRules, PutNumberWritesWholeNumbersInDecimal) {
  const std::pair<int, const char*> cases[] = {
      {0, "0"},         {7, "7"}, {-7, "-7"}, {40752918, "40752918"}, {2147483647, "2147483647"},
      {-2147483647 - 1, "-2147483648"}};
  for (const auto& [value, text] : cases) {
    TextBuffer out(20);
    putNumber(out, value);
    EXPECT_STREQ(out.getText(), text);
  }
}

TEST(RouteRules, CantForRadius) {
  const std::pair<int, int> cases[] = {{0, 0},         {600, 160},     {4000, 100},  {-2500, -160}, {2600, 153},
                                       {-4000, -100},  {400000, 1},    {900000, 1},  {-900000, -1}, {2501, 159},
                                       {2147483647, 1}, {-2147483647 - 1, -1}};
  for (const auto& [radius, cant] : cases) EXPECT_EQ(cantForRadius(radius), cant) << "radius " << radius;
}

TEST_F(CsvRewriteTest, CustomSignalSystem) {
  const RouteCase cases[] = {
      {"speeds after the folder", engageTestSystem, ".Folder Old\r\nx",
       ".folder New\r\n.Speeds 1\r\nx" + developerBlock},
      {"all five fields", engageTestSystem, ".Signal 4;Home;1.5;-2;3,\r\n",
       ".Signal 4;Home;1.500000;-2.000000;3,\r\n" + developerBlockAfterLineEnd},
      {"absent fields", engageTestSystem, ".Sig 7,", ".Signal 7;;0.000000;0.000000;1," + developerBlock},
      {"more fields are copied", engageTestSystem, ".signal 4;H;1;2;3;extra,",
       ".Signal 4;H;1.000000;2.000000;3,extra," + developerBlock},
      // The 32nd label character takes the terminator's place; the rest of the label is field 3.
      {"label of 31 characters", engageTestSystem, ".signal 1;ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh;2;3;4,",
       ".Signal 1;ABCDEFGHIJKLMNOPQRSTUVWXYZabcde;0.000000;2.000000;3,4," + developerBlock},
      {"relay", engageTestSystem, ".Relay 1.25;2.5,.relay 3,",
       ".Relay 1.250000;2.500000,.Relay 3.000000;0.000000," + developerBlock},
      {"signal index", engageTestSystem, ".signal(3) text,\r\nx", ".signal(-1) 210\r\nx" + developerBlock},
      {"empty template removes signals",
       [](StartOptions&) {
         appState.swapSignals = true;
         signaldef[0] = '\0';
       },
       "a.Signal 1;b,c", "ac" + developerBlock},
  };
  check(cases);
}

TEST_F(CsvRewriteTest, KeywordMatching) {
  struct Case {
    std::string text;  // what follows the '.'
    int index;
    int position;
  } cases[] = {
      {"Station Foo", 4, 8}, {"Sta Foo", 3, 4},   {"Stand", -1, 0},    {"Folders", 0, 6},   {"SIGNAL(3)", 11, 7},
      {"signal 1", 8, 7},    {"Sig 1", 9, 4},     {"signal", -1, 0},   {"Relay", 10, 5},    {"AcCuRaCy", 1, 8},
      {"adhesion", 2, 8},    {"runinterval", 5, 11}, {"DeveloperID", 6, 11}, {"curve", 7, 5}, {"", -1, 0},
  };
  for (const Case& c : cases) {
    writeBytes("text.csv", c.text);
    TextBuffer buffer("text.csv");
    EXPECT_EQ(matchCsvKeyword(buffer), c.index) << c.text;
    EXPECT_EQ(buffer.getPosition(), c.position) << c.text;
  }
}

TEST_F(CsvRewriteTest, ProgressFollowsTheSource) {
  std::vector<std::pair<WindowHandle, int>> reports;
  setProgressHandler([&reports](WindowHandle bar, int percent) { reports.emplace_back(bar, percent); });
  int bar = 0;
  writeBytes("source.txt", ".Folder x\r\nab");  // the command is one step of 11 characters
  EXPECT_TRUE(rewriteCsvRoute("source.txt", &bar));
  setProgressHandler(nullptr);
  const std::vector<std::pair<WindowHandle, int>> expected = {{&bar, 84}, {&bar, 92}, {&bar, 100}};
  EXPECT_EQ(reports, expected);
}

// Plain text is copied in runs, which end where a new percentage is due: a route of 1000
// characters reports every percentage once, also where '.' and line ends break the runs.
TEST_F(CsvRewriteTest, ALongRouteReportsEveryPercentageOnce) {
  std::string route;
  while (route.size() < 1000) route += "1.5,.Relax x,\r\n";  // ".Re" might begin ".relay"
  route.resize(1000);
  EXPECT_EQ(progressOf(route), everyPercentage());
}

TEST_F(CsvRewriteTest, FailuresAreReportedAndLeaveNoRoute) {
  MessageRecorder messages;
  writeBytes("route/klvtemp.csv", "old");
  EXPECT_FALSE(rewriteCsvRoute("missing.csv", nullptr));
  EXPECT_FALSE(exists("route/klvtemp.csv"));

  writeBytes("source.csv", "a");
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "no-folder\\klvtemp.csv");
  EXPECT_FALSE(rewriteCsvRoute("source.csv", nullptr));
  EXPECT_FALSE(exists("no-folder"));

  const std::vector<std::string> expected = {"Unable to open source file for rewriting.\n\nmissing.csv",
                                             "Unable to write the prepared route.\n\nno-folder\\klvtemp.csv"};
  EXPECT_EQ(messages.texts(), expected);
  for (const MessageBoxCall& call : messages.calls()) EXPECT_EQ(call.caption, "Error");
}

TEST_F(CsvRewriteTest, APreparedRouteLongerThanTheOutputIsNotWritten) {
  MessageRecorder messages;
  const std::size_t room = passOutputSize - developerBlock.size();
  EXPECT_EQ(prepare(std::string(room, 'a')).size(), static_cast<std::size_t>(passOutputSize));

  writeBytes("source.csv", std::string(room + 1, 'a'));
  EXPECT_FALSE(rewriteCsvRoute("source.csv", nullptr));
  EXPECT_FALSE(exists("route/klvtemp.csv"));  // the earlier one is gone as well
  const std::vector<std::string> expected = {
      "The prepared route would be longer than 1048576 characters.\n\nroute\\klvtemp.csv"};
  EXPECT_EQ(messages.texts(), expected);
}

}  // namespace
