#include "app/start_options.h"

#include <cstdio>
#include <cstring>

#include "signals/signal_catalog.h"
#include "state/app_state.h"

namespace {

constexpr int maxIntervalSpread = 600;  // seconds
constexpr int maxAdhesionSpread = 200;
constexpr int minInterval = 10;         // seconds, both ends of the forced range
constexpr int maxInterval = 600;
constexpr std::size_t rangeTextLimit = 7;  // characters of the range edit that are read
constexpr std::size_t signalNameLimit = sizeof appState.signalSystem - 1;
constexpr int descriptionSize = 512;

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The mode of a radio group: its third button when checked, else its second when checked, else
// the first, "no effect", which a mode from klv.cfg that is no button of the group thus becomes.
int modeFromButtons(const bool (&buttons)[3], int firstId) {
  if (buttons[2]) return firstId + 2;
  if (buttons[1]) return firstId + 1;
  return firstId;
}

void checkButtonOfMode(bool (&buttons)[3], int mode, int firstId) {
  for (int i = 0; i < 3; ++i) buttons[i] = mode == firstId + i;
}

int capAt(unsigned value, int cap) { return value > static_cast<unsigned>(cap) ? cap : static_cast<int>(value); }

int clampInterval(int seconds) {
  return seconds < minInterval ? minInterval : seconds > maxInterval ? maxInterval : seconds;
}

// The forced interval range: at most its first 7 characters read with "%d-%d"; a number that is
// not there leaves its end of the range as it was.
void readIntervalRange(const std::string& text, StartOptions& options) {
  std::string cut = text.substr(0, rangeTextLimit);
  int low = options.intervalMin;
  int high = options.intervalMax;
  std::sscanf(cut.c_str(), "%d-%d", &low, &high);
  low = clampInterval(low);
  high = clampInterval(high);
  options.intervalMin = low < high ? low : high;
  options.intervalMax = low < high ? high : low;
}

}  // namespace

unsigned readUnsignedNumber(const std::string& text) {
  std::size_t p = 0;
  while (p < text.size() && isBlank(text[p])) ++p;
  std::size_t digitsStart = p;
  unsigned long long value = 0;
  for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
    value = value * 10 + static_cast<unsigned>(text[p] - '0');
    if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
  }
  if (p == digitsStart) return 0;
  while (p < text.size() && isBlank(text[p])) ++p;
  return p == text.size() ? static_cast<unsigned>(value) : 0;
}

bool isDefaultSignalSystem(const char* name) {
  const char* expected = defaultSignalSystem;
  for (; *name && *expected; ++name, ++expected) {
    int a = lowerAscii(static_cast<unsigned char>(*name));
    if (a != lowerAscii(static_cast<unsigned char>(*expected))) return false;
  }
  return *name == '\0' && *expected == '\0';
}

StartOptionsForm startOptionsForm() {
  const StartOptions& o = appState.options;
  StartOptionsForm form;
  form.developerMode = o.developerMode == 1;
  form.randomTrackQuality = o.randomTrackQuality == 1;
  form.randomStationWait = o.randomStationWait == 1;
  form.randomStationJam = o.randomStationJam == 1;
  form.randomStarterAspect = o.randomStarterAspect == 1;
  form.tiltingTrain = o.tiltingTrain == 1;
  checkButtonOfMode(form.intervalButtons, o.intervalMode, intervalNoEffect);
  checkButtonOfMode(form.adhesionButtons, o.adhesionMode, adhesionNoEffect);
  form.intervalSpread = std::to_string(static_cast<unsigned>(o.intervalSpread));
  form.adhesionSpread = std::to_string(static_cast<unsigned>(o.adhesionSpread));
  char range[32];
  std::snprintf(range, sizeof range, "%d-%d", o.intervalMin, o.intervalMax);
  form.intervalRange = range;
  return form;
}

void takeSignalSystemChoice(const ComboChoice& choice) {
  if (!choice.selected || choice.text.size() > signalNameLimit) return;
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", choice.text.c_str());
}

void confirmStartOptions(const StartOptionsForm& form) {
  StartOptions& o = appState.options;
  o.developerMode = form.developerMode;
  o.randomTrackQuality = form.randomTrackQuality;
  o.randomStationJam = form.randomStationJam;
  o.randomStationWait = form.randomStationWait;
  o.randomStarterAspect = form.randomStarterAspect;
  o.tiltingTrain = form.tiltingTrain;
  o.intervalMode = modeFromButtons(form.intervalButtons, intervalNoEffect);
  o.adhesionMode = modeFromButtons(form.adhesionButtons, adhesionNoEffect);
  o.intervalSpread = capAt(readUnsignedNumber(form.intervalSpread), maxIntervalSpread);
  o.adhesionSpread = capAt(readUnsignedNumber(form.adhesionSpread), maxAdhesionSpread);
  readIntervalRange(form.intervalRange, o);
  takeSignalSystemChoice(form.signalSystem);
  appState.swapSignals = !isDefaultSignalSystem(appState.signalSystem);
  saveConfig();
}

void showSignalSystemInfo(WindowHandle owner, const ComboChoice& choice) {
  takeSignalSystemChoice(choice);
  if (isDefaultSignalSystem(appState.signalSystem)) return;
  char description[descriptionSize];
  describeSignalSystem(description, sizeof description);
  showMessageBox(owner, description, appState.signalSystem, mbOk | mbIconInformation);
}
