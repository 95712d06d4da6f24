// The frame of the csv and rw rewriting tests: a route folder to write into, the options at their
// start values, and tables of routes with the exact bytes they are prepared to.
#pragma once

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/test_support.h"
#include "text/random.h"

struct RouteCase {
  const char* what;
  std::function<void(StartOptions&)> options;  // changes to the start values, or none
  std::string source;
  std::string expected;
};

// A custom signal system whose templates write every value of a command.
inline void engageTestSystem(StartOptions&) {
  appState.swapSignals = true;
  std::strcpy(speeds, "\r\n.Speeds 1\r\n");
  std::strcpy(signaldef, "\xA7s\xA7" "a\xA7p\xA7n\xA7p\xA7x\xA7p\xA7y\xA7p\xA7t\xA7" "e");
  std::strcpy(relaydef, "\xA7r\xA7x\xA7p\xA7y\xA7" "e");
}

class RouteRewriteTest : public testing_support::WorkFolderTest {
 protected:
  using Rewrite = bool (*)(const char*, WindowHandle);
  RouteRewriteTest(Rewrite rewrite, const char* output) : rewrite(rewrite), output(output) {}

  void SetUp() override {
    WorkFolderTest::SetUp();
    std::filesystem::create_directory("route");
    reset();
  }

  // Start values of the options, no custom signal system, the draws of seed 1 (41, 18467, 6334).
  void reset() {
    initAppState();
    std::snprintf(appState.trainName, sizeof appState.trainName, "New");
    std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "route\\klvtemp.csv");
    std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "route\\klvtemp.rw");
    appState.swapSignals = false;
    speeds[0] = signaldef[0] = relaydef[0] = '\0';
    seedRandom(1);
  }

  std::string prepare(const std::string& source) {
    testing_support::writeBytes("source.txt", source);
    EXPECT_TRUE(rewrite("source.txt", nullptr)) << ::testing::PrintToString(source);
    return testing_support::readBytes("route/" + output);
  }

  template <std::size_t count>
  void check(const RouteCase (&cases)[count]) {
    for (const RouteCase& c : cases) {
      reset();
      if (c.options) c.options(appState.options);
      EXPECT_EQ(prepare(c.source), c.expected) << c.what << ": " << ::testing::PrintToString(c.source);
    }
  }

  // The progress reports of one rewriting of `source`.
  std::vector<int> progressOf(const std::string& source) {
    std::vector<int> reports;
    setProgressHandler([&reports](WindowHandle, int percent) { reports.push_back(percent); });
    prepare(source);
    setProgressHandler(nullptr);
    return reports;
  }

  // 0 to 100, each once: what a route of 1000 characters that are no commands reports.
  static std::vector<int> everyPercentage() {
    std::vector<int> all;
    for (int percent = 0; percent <= 100; ++percent) all.push_back(percent);
    return all;
  }

  Rewrite rewrite;
  std::string output;
};
