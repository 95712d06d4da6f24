#include "app/start_options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const std::string defaultFolders = "c:\\program files\\zelvik" + eol + "c:\\program files\\zelvik\\railway\\route" +
                                   eol + "c:\\program files\\zelvik\\train" + eol;

class StartOptionsTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    appState.swapSignals = false;
    initAppState();
    loadConfig();  // no file: the default folders
  }

  static void chooseSystem(const char* name) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", name);
  }

  // The form of the opening dialog with the list's entry `choice` selected.
  static StartOptionsForm openedWith(const char* choice) {
    StartOptionsForm form = startOptionsForm();
    form.signalSystem = {true, choice};
    return form;
  }
};

TEST_F(StartOptionsTest, StartValuesOpenAndConfirmUnchanged) {
  StartOptionsForm form = startOptionsForm();
  EXPECT_FALSE(form.developerMode || form.randomTrackQuality || form.randomStationWait || form.randomStationJam ||
               form.randomStarterAspect || form.tiltingTrain);
  EXPECT_TRUE(form.intervalButtons[0] && !form.intervalButtons[1] && !form.intervalButtons[2]);
  EXPECT_TRUE(form.adhesionButtons[0] && !form.adhesionButtons[1] && !form.adhesionButtons[2]);
  EXPECT_EQ(form.intervalSpread, "0");
  EXPECT_EQ(form.adhesionSpread, "0");
  EXPECT_EQ(form.intervalRange, "30-240");

  form.signalSystem = {true, "Zelvik Default"};
  confirmStartOptions(form);
  EXPECT_EQ(readBytes("klv.cfg"), defaultFolders + "0 0 0 0 0 0" + eol + "650 0 30 240" + eol + "653 0" + eol +
                                      "Zelvik Default");
  EXPECT_STREQ(appState.signalSystem, "Zelvik Default");
  EXPECT_FALSE(appState.swapSignals);
}

// Each check box belongs to its own flag: one pattern that no swap of two boxes keeps.
TEST_F(StartOptionsTest, CheckBoxesAndTheirFlags) {
  StartOptions& o = appState.options;
  o.developerMode = 1;
  o.randomTrackQuality = 0;
  o.randomStationWait = 1;
  o.randomStationJam = 0;
  o.randomStarterAspect = 2;  // only 1 ticks a box
  o.tiltingTrain = 1;
  StartOptionsForm form = startOptionsForm();
  EXPECT_TRUE(form.developerMode);
  EXPECT_FALSE(form.randomTrackQuality);
  EXPECT_TRUE(form.randomStationWait);
  EXPECT_FALSE(form.randomStationJam);
  EXPECT_FALSE(form.randomStarterAspect);
  EXPECT_TRUE(form.tiltingTrain);

  form = openedWith("Zelvik Default");
  form.developerMode = false;
  form.randomTrackQuality = true;
  form.randomStationWait = false;
  form.randomStationJam = true;
  form.randomStarterAspect = true;
  form.tiltingTrain = false;
  confirmStartOptions(form);
  EXPECT_EQ(readBytes("klv.cfg"), defaultFolders + "0 1 0 1 1 0" + eol + "650 0 30 240" + eol + "653 0" + eol +
                                      "Zelvik Default");
}

TEST_F(StartOptionsTest, RadioGroups) {
  struct Case {
    int intervalMode, adhesionMode;        // before opening
    bool interval[3], adhesion[3];         // buttons checked on opening
    int storedInterval, storedAdhesion;    // after confirming unchanged
  } cases[] = {
      {650, 653, {true, false, false}, {true, false, false}, 650, 653},
      {651, 655, {false, true, false}, {false, false, true}, 651, 655},
      {652, 654, {false, false, true}, {false, true, false}, 652, 654},
      // Hand-edited modes that are no button of their group: none checked, "no effect" stored.
      {0, 0, {false, false, false}, {false, false, false}, 650, 653},
      {653, 650, {false, false, false}, {false, false, false}, 650, 653},
      {-1, 656, {false, false, false}, {false, false, false}, 650, 653},
  };
  for (const Case& c : cases) {
    appState.options.intervalMode = c.intervalMode;
    appState.options.adhesionMode = c.adhesionMode;
    StartOptionsForm form = openedWith("Zelvik Default");
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(form.intervalButtons[i], c.interval[i]) << "interval mode " << c.intervalMode << " button " << i;
      EXPECT_EQ(form.adhesionButtons[i], c.adhesion[i]) << "adhesion mode " << c.adhesionMode << " button " << i;
    }
    confirmStartOptions(form);
    EXPECT_EQ(appState.options.intervalMode, c.storedInterval) << c.intervalMode;
    EXPECT_EQ(appState.options.adhesionMode, c.storedAdhesion) << c.adhesionMode;
  }
}

TEST_F(StartOptionsTest, Spreads) {
  struct Case {
    const char* interval;
    const char* adhesion;
    int storedInterval, storedAdhesion;
  } cases[] = {
      {"900", "0", 600, 0},
      {"45", "250", 45, 200},
      {"600", "200", 600, 200},
      {"601", "201", 600, 200},
      {"abc", "x1", 0, 0},        // letters are no number
      {"12abc", "7 7", 0, 0},     // nor is a number followed by more
      {" 42 ", "\t3", 42, 3},     // blanks around a number are allowed
      {"-5", "+5", 0, 0},         // no sign: the numbers are unsigned
      {"", "", 0, 0},
      {"99999999999", "4294967296", 600, 200},  // beyond 32 bits: still above the cap
  };
  for (const Case& c : cases) {
    StartOptionsForm form = openedWith("Zelvik Default");
    form.intervalSpread = c.interval;
    form.adhesionSpread = c.adhesion;
    confirmStartOptions(form);
    EXPECT_EQ(appState.options.intervalSpread, c.storedInterval) << '"' << c.interval << '"';
    EXPECT_EQ(appState.options.adhesionSpread, c.storedAdhesion) << '"' << c.adhesion << '"';
  }
}

TEST_F(StartOptionsTest, SpreadsShowAsUnsignedNumbers) {
  appState.options.intervalSpread = 900;  // from a hand-edited file: shown as it is
  appState.options.adhesionSpread = -1;
  appState.options.intervalMin = -5;
  appState.options.intervalMax = 700;
  StartOptionsForm form = startOptionsForm();
  EXPECT_EQ(form.intervalSpread, "900");
  EXPECT_EQ(form.adhesionSpread, "4294967295");
  EXPECT_EQ(form.intervalRange, "-5-700");
}

TEST_F(StartOptionsTest, IntervalRange) {
  struct Case {
    const char* text;
    int previousMin, previousMax;
    int min, max;
  } cases[] = {
      {"30-240", 30, 240, 30, 240},
      {"5-700", 30, 240, 10, 600},
      {"300-100", 30, 240, 100, 300},
      {"600-9", 30, 240, 10, 600},
      {"100-1000", 30, 240, 100, 100},    // cut to "100-100"
      {"1234567-9", 30, 240, 240, 600},   // cut to "1234567": min 600, then put in order
      {"45", 30, 240, 45, 240},           // no second number: max unchanged
      {"45", 30, 20, 20, 45},             // ... and then the order rule
      {"", 30, 240, 30, 240},
      {"", 700, 5, 10, 600},              // values of a hand-edited file come into range too
      {"abc", 50, 60, 50, 60},
      {"-5-20", 30, 240, 10, 20},
      {"30 - 40", 50, 60, 30, 60},        // the dash must follow the number at once
      {" 50- 60", 30, 240, 50, 60},       // blanks before a number are skipped
      {"50-x", 30, 240, 50, 240},
      {"10-10", 30, 240, 10, 10},
  };
  for (const Case& c : cases) {
    appState.options.intervalMin = c.previousMin;
    appState.options.intervalMax = c.previousMax;
    StartOptionsForm form = openedWith("Zelvik Default");
    form.intervalRange = c.text;
    confirmStartOptions(form);
    std::string what = '"' + std::string(c.text) + "\" after " + std::to_string(c.previousMin) + '-' +
                       std::to_string(c.previousMax);
    EXPECT_EQ(appState.options.intervalMin, c.min) << what;
    EXPECT_EQ(appState.options.intervalMax, c.max) << what;
  }
}

TEST_F(StartOptionsTest, SignalSystemChoice) {
  struct Case {
    const char* previous;
    ComboChoice choice;
    const char* stored;
    bool swap;
  } cases[] = {
      {"", {true, "Zelvik Default"}, "Zelvik Default", false},
      {"Zelvik Default", {true, "Alpine"}, "Alpine", true},
      {"Alpine", {false, ""}, "Alpine", true},                            // nothing selected: kept
      {"Alpine", {true, "Sixteen chars ok"}, "Alpine", true},             // 16 characters: not taken
      {"Alpine", {true, "Fifteen chars!!"}, "Fifteen chars!!", true},
      {"ZELVIK default", {false, ""}, "ZELVIK default", false},           // the default in any case
      {"zelvik defaults", {false, ""}, "zelvik defaults", true},
      {"Zelvik Defaul", {false, ""}, "Zelvik Defaul", true},
  };
  for (const Case& c : cases) {
    chooseSystem(c.previous);
    appState.swapSignals = !c.swap;
    StartOptionsForm form = startOptionsForm();
    form.signalSystem = c.choice;
    confirmStartOptions(form);
    EXPECT_STREQ(appState.signalSystem, c.stored) << c.previous << " / " << c.choice.text;
    EXPECT_EQ(appState.swapSignals, c.swap) << c.previous << " / " << c.choice.text;
    EXPECT_EQ(readBytes("klv.cfg"), defaultFolders + "0 0 0 0 0 0" + eol + "650 0 30 240" + eol + "653 0" + eol +
                                        c.stored);
  }
}

class SignalInfoTest : public StartOptionsTest {
 protected:
  void SetUp() override {
    StartOptionsTest::SetUp();
    std::filesystem::create_directories("alpine");
    writeBytes("alpine/sigsys.txt", "Alpine\r\nMountain signals\r\nwith $chr(44) three aspects\r\n#end#\r\n");
  }
};

TEST_F(SignalInfoTest, InfoShowsTheChosenSystemsDescription) {
  MessageRecorder boxes;
  WindowHandle owner = reinterpret_cast<WindowHandle>(0x1234);
  chooseSystem("Zelvik Default");
  showSignalSystemInfo(owner, {true, "Alpine"});
  ASSERT_EQ(boxes.calls().size(), 1u);
  EXPECT_EQ(boxes.calls()[0].owner, owner);
  EXPECT_EQ(boxes.calls()[0].caption, "Alpine");
  EXPECT_EQ(boxes.calls()[0].text, "Mountain signals\r\nwith , three aspects\r\n");
  EXPECT_EQ(boxes.calls()[0].style, static_cast<unsigned>(mbOk | mbIconInformation));
  // The choice stays in appState, whatever the dialog does next; nothing is written or engaged.
  EXPECT_STREQ(appState.signalSystem, "Alpine");
  EXPECT_FALSE(appState.swapSignals);
  EXPECT_FALSE(exists("klv.cfg"));
}

TEST_F(SignalInfoTest, InfoShowsNothingForTheSimulatorsOwnSignals) {
  struct Case {
    const char* previous;
    ComboChoice choice;
    const char* after;
  } cases[] = {
      {"Alpine", {true, "Zelvik Default"}, "Zelvik Default"},
      {"zelvik DEFAULT", {false, ""}, "zelvik DEFAULT"},
      {"zelvik DEFAULT", {true, "Sixteen chars ok"}, "zelvik DEFAULT"},
  };
  for (const Case& c : cases) {
    MessageRecorder boxes;
    chooseSystem(c.previous);
    showSignalSystemInfo(nullptr, c.choice);
    EXPECT_TRUE(boxes.calls().empty()) << c.previous << " / " << c.choice.text;
    EXPECT_STREQ(appState.signalSystem, c.after);
  }
}

}  // namespace
