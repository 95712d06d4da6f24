// The rules of the Starting options dialog, apart from its window: what its controls show when it
// opens, and how their contents become the starting options, the signal system and klv.cfg when
// the user confirms. The dialog itself only copies values between its controls and a form.
#pragma once

#include <string>

#include "platform/platform.h"

// The simulator's own signals: the entry that is always in the list, and the name that engages
// no signal system.
constexpr char defaultSignalSystem[] = "Zelvik Default";

// The selected entry of a combo box.
struct ComboChoice {
  bool selected = false;
  std::string text;
};

// The contents of the dialog's controls.
struct StartOptionsForm {
  bool developerMode = false;        // check box 631
  bool randomTrackQuality = false;   // 637
  bool randomStationWait = false;    // 638
  bool randomStationJam = false;     // 639
  bool randomStarterAspect = false;  // 640
  bool tiltingTrain = false;         // 641
  bool intervalButtons[3] = {};      // radio buttons 650, 651, 652: checked
  bool adhesionButtons[3] = {};      // radio buttons 653, 654, 655: checked
  std::string intervalSpread;        // edit 633
  std::string intervalRange;         // edit 634, "min-max"
  std::string adhesionSpread;        // edit 636
  ComboChoice signalSystem;          // combo box 642
};

// The form for the opening dialog, from appState: a box is ticked when its flag is 1; a mode that
// is no button of its group checks none of them; the spreads as unsigned decimal numbers; the
// interval range as "%d-%d". The combo box is filled by the dialog (it needs the window).
StartOptionsForm startOptionsForm();

// "&Start Zelvik": stores the form into appState's starting options, bringing the numbers into
// their ranges (spreads capped at 600 and 200; the range cut to 7 characters, parsed as "%d-%d"
// into what it holds, limited to 10..600 and put in order), takes the signal system choice,
// decides swapSignals and writes klv.cfg.
void confirmStartOptions(const StartOptionsForm& form);

// A selected entry of at most 15 characters becomes appState.signalSystem; otherwise it stays.
void takeSignalSystemChoice(const ComboChoice& choice);

// "In&fo ->": takes the choice into appState.signalSystem (kept also when the dialog is then
// cancelled) and, unless it is the simulator's own signals, shows the system's description in an
// information box owned by `owner`, captioned with the system's name.
void showSignalSystemInfo(WindowHandle owner, const ComboChoice& choice);

// True when the name is "Zelvik Default" in any mix of letter case.
bool isDefaultSignalSystem(const char* name);

// A spread edit's text as an unsigned decimal number: digits with blanks around them allowed,
// saturating at the largest unsigned 32-bit value; any other text reads as 0.
unsigned readUnsignedNumber(const std::string& text);
