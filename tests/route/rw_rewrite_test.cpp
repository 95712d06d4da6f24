#include "route/rw_rewrite.h"

#include <string>
#include <vector>

#include "route/route_test_support.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

const std::string railwayBlock = "[Route]\r\nDeveloperID=40752918\r\n[Railway]\r\n";

class RwRewriteTest : public RouteRewriteTest {
 protected:
  RwRewriteTest() : RouteRewriteTest(rewriteRwRoute, "klvtemp.rw") {}
};

TEST_F(RwRewriteTest, WithoutOptions) {
  const RouteCase cases[] = {
      {"interval keeps its CR", nullptr, "Interval=120\r\n", "interval= 120\r\r\n"},
      {"train file", nullptr, "File=Old\r\nx", "file= New\r\nx"},
      {"velocity unchanged", nullptr, "Velocity=100\r\n", "velocity= 100\r\n"},
      {"comment line", nullptr, "A\r\n; note\r\nB", "A\r\nB"},
      {"comment inside a field stays", nullptr, "Interval=120 ; note\r\n", "interval= 120 ; note\r\r\n"},
      {"comment after text", nullptr, "a;b\r\nc", "a\r\nc"},
      {"only a CR ends a comment", nullptr, "a;x\nb\r\nc", "a\r\nc"},
      {"developer id vanishes", nullptr, "DeveloperID=1234\r\nX", "X"},
      {"railway header", nullptr, "[Railway]\r\n@Sta(A)", railwayBlock + "@sta(A)"},
      {"after the header only @-commands", nullptr, "[railway]\r\nFile=x\r\nInterval=5\r\nDeveloperID=1\r\n",
       railwayBlock + "File=x\r\nInterval=5\r\nDeveloperID=1\r\n"},
      {"keyword inside a key", nullptr, "PROFILE=x\r\n", "PROfile= New\r\n"},
      {"commands lower-cased", nullptr, "@Station(A,B)@Sig(1)@Signal(2)@Relay(3)@Curve(600,50)",
       "@station(A,B)@signal(1)@signal(2)@relay(3)@curve(600,50)"},
      {"file at the end", nullptr, "file=", "file= New\r"},
  };
  check(cases);
}

TEST_F(RwRewriteTest, IntervalAndVelocity) {
  const RouteCase cases[] = {
      // Velocity: 41 % 61 + 80 = 121; interval: 18467 % 61 = 45, so +15.
      {"plus or minus", [](StartOptions& o) { o.intervalMode = 651, o.intervalSpread = 30; },
       "Velocity=100\r\nInterval=300\r\n", "velocity= 121\r\ninterval= 315\r\n"},
      // 30 + 41 % 211; nothing is appended to a route without an interval.
      {"forced", [](StartOptions& o) { o.intervalMode = 652, o.intervalMin = 30, o.intervalMax = 240; },
       "Interval=300\r\n[Railway]\r\n", "interval= 71\r\n" + railwayBlock},
      {"forced, no interval line", [](StartOptions& o) { o.intervalMode = 652; }, "[Railway]\r\n", railwayBlock},
  };
  check(cases);
}

TEST_F(RwRewriteTest, StationsAndCurves) {
  auto aspect = [](StartOptions& o) { o.randomStarterAspect = 1; };
  const RouteCase cases[] = {
      // 41 % 2 = 1, 18467 % 2 = 1, 6334 % 2 = 0; l, L, p, P in field 1 keep field 3.
      {"starter aspect", aspect, "@Sta(N,A,x,7,y)@Station(N,Lx,x,7,y)@sta(N,c,x,7,y)@sta(N,pass,x,7)@sta(N,d,x,7,y)",
       "@sta(N,A,x,1,y)@station(N,Lx,x,7,y)@sta(N,c,x,1,y)@sta(N,pass,x,7)@sta(N,d,x,0,y)"},
      // What follows the sixth field, or a ')', is route text again, where commands count.
      {"six fields at most", aspect, "@sta(0,1,2,3,4,5,@sig(1)", "@sta(0,1,2,1,4,5,@signal(1)"},
      {"a bracket ends the fields", aspect, "@sta(a,b)@sig(1)", "@sta(a,b)@signal(1)"},
      {"fields across a line end", aspect, "@sta(A,B\r\nC,3)", "@sta(A,B\r\nC,1)"},
      {"tilting", [](StartOptions& o) { o.tiltingTrain = 1; }, "@Curve(600,50)\r\n@curve(4000)x",
       "@curve(600,160)\r\n@curve(4000,100)x"},
  };
  check(cases);
}

TEST_F(RwRewriteTest, CustomSignalSystem) {
  const RouteCase cases[] = {
      {"all five fields", engageTestSystem, "@Signal(4,Home,1.5,-2,3)\r\n", "@signal(4,Home,1.500000,-2.000000,3)\r\n"},
      {"absent fields", engageTestSystem, "@Sig(7)", "@signal(7,,0.000000,0.000000,1)"},
      {"more fields are copied", engageTestSystem, "@signal(4,H,1,2,3,9)", "@signal(4,H,1.000000,2.000000,3)9)"},
      {"relay", engageTestSystem, "@Relay(1,2)@relay(3)", "@relay(1.000000,2.000000)@relay(3.000000,0.000000)"},
  };
  check(cases);
}

TEST_F(RwRewriteTest, KeywordMatching) {
  struct Case {
    std::string text;  // the keyword test begins with its first character
    bool railwayOnly;
    int index;
    int position;
  } cases[] = {
      {"File=x", false, 0, 5},      {"File=x", true, -1, 1},    {"VELOCITY=", false, 1, 9},
      {"interval=", false, 2, 9},   {"[RAILWAY]", false, 3, 9}, {"[railway]", true, -1, 1},
      {"DeveloperID=", false, 4, 12}, {"@Station(", true, 5, 9}, {"@STA(", true, 6, 5},
      {"@curve(", false, 7, 7},     {"@signal(", true, 8, 8},   {"@sig(", false, 9, 5},
      {"@relay(", true, 10, 7},     {"@stat", false, -1, 1},    {"x", false, -1, 1},
  };
  for (const Case& c : cases) {
    writeBytes("text.rw", c.text);
    TextBuffer buffer("text.rw");
    buffer.getChar();
    EXPECT_EQ(matchRwKeyword(buffer, c.railwayOnly), c.index) << c.text << " " << c.railwayOnly;
    EXPECT_EQ(buffer.getPosition(), c.position) << c.text << " " << c.railwayOnly;
  }
}

TEST_F(RwRewriteTest, CommentsSendNoProgress) {
  std::vector<int> reports;
  setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
  writeBytes("source.rw", ";x\r\nA");
  EXPECT_TRUE(rewriteRwRoute("source.rw", nullptr));
  setProgressHandler(nullptr);
  EXPECT_EQ(reports, (std::vector<int>{60, 80, 100}));
}

// Every character outside comments may begin a keyword; the plain ones are copied in runs that
// end where a new percentage is due.
TEST_F(RwRewriteTest, ALongRouteReportsEveryPercentageOnce) {
  std::string route = "[Railway]";
  while (route.size() < 1000) route += "0,@Sto(1,2.5)\r\n@Fog(a)";  // "@St" might begin "@sta("
  route.resize(1000);
  EXPECT_EQ(progressOf(route), everyPercentage());
}

TEST_F(RwRewriteTest, FailuresAreReportedAndLeaveNoRoute) {
  MessageRecorder messages;
  writeBytes("route/klvtemp.rw", "old");
  EXPECT_FALSE(rewriteRwRoute("missing.rw", nullptr));
  EXPECT_FALSE(exists("route/klvtemp.rw"));

  writeBytes("source.rw", "a");
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "no-folder\\klvtemp.rw");
  EXPECT_FALSE(rewriteRwRoute("source.rw", nullptr));

  const std::vector<std::string> expected = {"Unable to open source file for rewriting.\n\nmissing.rw",
                                             "Unable to write the prepared route.\n\nno-folder\\klvtemp.rw"};
  EXPECT_EQ(messages.texts(), expected);
}

}  // namespace
