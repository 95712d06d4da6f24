#include "app/start_options.h"

#include <string>

#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class StartOptionsTest : public WorkFolderTest {};

std::string ticked(std::initializer_list<bool> boxes) {
  std::string text;
  for (bool box : boxes) text += box ? 'x' : '-';
  return text;
}

// Only a flag of 1 ticks its box; a mode that is no button of its group checks none and stores "no
// effect". Spreads are unsigned numbers with blanks around them, capped at 600 and 200; the range
// is cut to 7 characters, read as "%d-%d" into what it holds, brought into 10..600 and put in
// order. A selected name of at most 15 characters is taken; any spelling of the simulator's own
// signals engages no system.
TEST_F(StartOptionsTest, WhatTheControlsShowAndHoldBecomesKlvCfg) {
  const struct {
    StartOptions before;
    const char *spreads[2], *range, *system;
    ComboChoice choice;
    const char *shown, *options, *interval, *adhesion, *stored;
    bool swap;
  } cases[] = {
      {{1, 0, 1, 0, 2, 1, 651, 655, 0, 0, 30, 240}, {"601", "201"}, "100-1000", "", {true, "Zelvik Default"},
       "x-x--x -x- --x", "1 0 1 0 0 1", "651 600 100 100", "655 200", "Zelvik Default", false},
      {{0, 0, 0, 0, 0, 0, 652, 654, 0, 0, 30, 240}, {" 42 ", "\t3"}, "600-9", "Zelvik Default", {true, "Fifteen chars!!"},
       "------ --x -x-", "0 0 0 0 0 0", "652 42 10 600", "654 3", "Fifteen chars!!", true},
      {{0, 0, 0, 0, 0, 0, 653, 650, 0, 0, 30, 20}, {"12abc", "abc"}, "45", "Alpine", {true, "Sixteen chars ok"},
       "------ --- ---", "0 0 0 0 0 0", "650 0 20 45", "653 0", "Alpine", true},
      {{0, 0, 0, 0, 0, 0, -1, 656, 0, 0, 700, 5}, {"", "-5"}, "", "zELVIK DEFAULT", {false, "Alpine"},
       "------ --- ---", "0 0 0 0 0 0", "650 0 10 600", "653 0", "zELVIK DEFAULT", false},
      {{0, 0, 0, 0, 0, 0, 650, 653, 0, 0, 50, 60}, {"99999999999", "109"}, "x", "Zelvik Defaul", {false, ""},
       "------ x-- x--", "0 0 0 0 0 0", "650 600 50 60", "653 109", "Zelvik Defaul", true},
  };
  for (const auto& c : cases) {
    resetAppState();
    appState.options = c.before;
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", c.system);
    appState.swapSignals = !c.swap;
    StartOptionsForm f = startOptionsForm();
    const bool* i = f.intervalButtons;
    const bool* a = f.adhesionButtons;
    EXPECT_EQ(ticked({f.developerMode, f.randomTrackQuality, f.randomStationWait, f.randomStationJam,
                      f.randomStarterAspect, f.tiltingTrain}) + " " + ticked({i[0], i[1], i[2]}) + " " +
                  ticked({a[0], a[1], a[2]}), c.shown) << c.stored;
    f.intervalSpread = c.spreads[0], f.adhesionSpread = c.spreads[1], f.intervalRange = c.range, f.signalSystem = c.choice;
    confirmStartOptions(f);
    EXPECT_EQ(readBytes("klv.cfg"), configText(c.options, c.interval, c.adhesion, c.stored)) << c.stored;
    EXPECT_EQ(appState.swapSignals, c.swap) << c.stored;
  }
}

// Info takes the choice and shows the system's description, but nothing for the simulator's own.
TEST_F(StartOptionsTest, InfoShowsTheChosenSystemsDescription) {
  resetAppState();
  writeBytes("alpine/sigsys.txt", "Alpine\r\nMountain signals\r\nwith $chr(44) three aspects\r\n#end#\r\n");
  MessageRecorder boxes;
  showSignalSystemInfo(nullptr, {true, "Zelvik Default"});
  showSignalSystemInfo(&boxes, {true, "Alpine"});
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].owner, &boxes);
  EXPECT_EQ(boxes.calls[0].caption + "|" + boxes.calls[0].text, "Alpine|Mountain signals\r\nwith , three aspects\r\n");
  EXPECT_EQ(boxes.calls[0].style, static_cast<unsigned>(mbOk | mbIconInformation));
  EXPECT_STREQ(appState.signalSystem, "Alpine");
  EXPECT_FALSE(exists("klv.cfg"));
}

}  // namespace
