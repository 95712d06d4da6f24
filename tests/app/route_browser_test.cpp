#include "app/route_browser.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Names = std::vector<std::string>;

class RouteBrowserTest : public WorkFolderTest {};

// Select wants a route file and a train; the simulator starts for a route file whose build
// succeeded. Folder entries, macro, rw and csv routes and other files have a colour each.
TEST(RouteBrowserRules, RouteFilesKindsColoursAndDecisions) {
  const struct { const char* name; bool route; int kind; } names[] = {
      {".rw", false, 1}, {"a.rw", true, 1}, {".csv", false, 2}, {"a.csv", true, 2}, {"A.KLF", true, 3},
      {"a_rw", false, 1}, {"route.txt", false, 0}, {"", false, 0},
  };
  for (const auto& n : names) EXPECT_EQ(isRouteFileName(n.name) * 10 + routeKindOf(n.name), n.route * 10 + n.kind) << n.name;
  std::set<unsigned> colours;
  for (const char* entry : {"  (x.rw)", "a.KLF", "a.rw", "A.CSV", "a.txt"}) colours.insert(routeEntryColour(entry));
  EXPECT_EQ(colours.size(), 5u);
  for (const auto& d : {std::make_pair(0, "---"), {1, "x-x"}, {11, "--x"}}) {  // the kind, plus 10 for a failed build
    appState.routeKind = static_cast<std::int8_t>(d.first % 10);
    appState.buildFailed = d.first > 10;
    const std::string decisions = {shouldStartSimulator() ? 'x' : '-', canSelect(false) ? 'x' : '-', canSelect(true) ? 'x' : '-'};
    EXPECT_EQ(decisions, d.second) << d.first;
  }
}

TEST_F(RouteBrowserTest, ListingsOfRoutesAndTrains) {
  for (const char* file : {"routes/a.csv", "routes/B.RW", "routes/klvtemp.csv", "routes/KLVTEMP.RW", "routes/d.txt",
                           "routes/x/f", "routes/y.csv/f", "trains/Local/train.dat", "trains/Odd/train.dat/f",
                           "trains/train.dat", "trains/Empty/f"})
    writeBytes(file, "");
  Names entries, trains;
  ASSERT_TRUE(listRouteEntries("routes", entries) && listTrains("trains", trains));
  std::sort(entries.begin(), entries.end());
  std::sort(trains.begin(), trains.end());
  EXPECT_EQ(entries, (Names{"  (..)", "  (x)", "  (y.csv)", "B.RW", "KLVTEMP.RW", "a.csv", "y.csv"}));
  EXPECT_EQ(trains, (Names{".", "Local"}));
  EXPECT_FALSE(listRouteEntries("none", entries) || listTrains("none", trains));
}

// A route file is selected; a folder entry moves the browser, up to at least "c:\", and into a
// sub-folder that exists within 260 characters.
TEST_F(RouteBrowserTest, ChoosingEntries) {
  const std::string d251(251, 'd'), e252(252, 'e');
  writeBytes("routes/x/" + d251 + "/f", "");
  writeBytes("routes/x/" + e252 + "/f", "");
  std::vector<std::array<std::string, 3>> cases = {
      {"routes", "Line.CSV", "0 routes Line.CSV 2"},
      {"routes", "  (x)", "1 routes\\x r 0"},
      {"routes", "  (gone)", "1 routes r 0"},
      {"c:\\routes\\line1", "  (..)", "1 c:\\routes r 0"},
      {"c:\\routes", "  (..)", "1 c:\\ r 0"},
  };
#ifndef _WIN32  // Windows itself refuses such long paths below a temporary folder
  cases.push_back({"routes\\x", "  (" + d251 + ")", "1 routes\\x\\" + d251 + " r 0"});
  cases.push_back({"routes\\x", "  (" + e252 + ")", "1 routes\\x r 0"});
#endif
  for (const auto& c : cases) {
    std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "%s", c[0].c_str());
    std::snprintf(appState.routeFile, sizeof appState.routeFile, "r");
    appState.routeKind = 9;
    const bool refill = chooseRouteEntry(c[1].c_str());
    EXPECT_EQ(std::to_string(refill) + " " + appState.browseFolder + " " + appState.routeFile + " " +
                  std::to_string(appState.routeKind), c[2]) << c[1];
  }
}

TEST(RouteBrowserRules, TheSimulatorCommandLine) {
  resetAppState("c:\\zelvik");
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "c:\\r\\klvtemp.csv");
  appState.outputIsCsv = true;
  appState.options.developerMode = 1;
  EXPECT_EQ(simulatorCommandLine(), "c:\\zelvik\\zelvik.exe \"c:\\r\\klvtemp.csv\" /d=40752918");
}

}  // namespace
