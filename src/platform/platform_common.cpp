// The parts of the platform layer that are the same everywhere: the handlers that tests and the
// command-line tool install, the fault hook in front of the file operations that change the disk,
// and the text-file line-end rules built on the whole-file operations.
#include "platform/platform.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>

// Defined in platform_win32.cpp and platform_posix.cpp: the box or line shown without a handler,
// and the progress bar message sent without a handler.
int showDefaultMessageBox(const MessageBoxCall& call);
void sendProgressToBar(WindowHandle bar, int percent);
// ... and the file operations that change the disk, behind the fault hook below.
bool saveWholeFileOs(const char* path, const char* data, std::size_t length);
bool deleteFileOs(const char* path);
bool renameFileOs(const char* from, const char* to);
bool replaceFileOs(const char* from, const char* to);
// ... and whether the system's last failure, of an operation on `path`, was a refusal of rights.
bool lastOsFailureRefused(const char* path);

namespace {

MessageHandler& messageHandler() {
  static MessageHandler handler;
  return handler;
}

ProgressHandler& progressHandler() {
  static ProgressHandler handler;
  return handler;
}

struct FaultState {
  FileFault fault{0, false};
  int count = 0;
  bool refused = false;
};

FaultState& faultState() {
  static FaultState state;
  return state;
}

// Counts one operation that changes the disk; false when the fault hook makes it fail.
bool fileOperationAllowed() {
  FaultState& state = faultState();
  if (state.count < INT_MAX) ++state.count;
  int number = state.count;
  if (state.fault.failAt <= 0) return true;
  if (number < state.fault.failAt) return true;
  return !state.fault.kill && number - state.fault.failAt >= state.fault.count;
}

// Runs an operation behind the fault hook, and notes a refusal of rights until it is taken.
template <typename Operation>
bool counted(const char* path, Operation operation) {
  FaultState& state = faultState();
  const bool allowed = fileOperationAllowed(), ok = allowed && operation();
  if (!ok && (allowed ? lastOsFailureRefused(path) : state.fault.denied)) state.refused = true;
  return ok;
}

}  // namespace

void noteRightsRefused() { faultState().refused = true; }

bool takeRightsRefused() {
  const bool refused = faultState().refused;
  faultState().refused = false;
  return refused;
}

void setFileFaultHook(FileFault fault) {
  faultState().fault = fault;
  faultState().count = 0;
}

int fileOperationCount() { return faultState().count; }

bool saveWholeFile(const char* path, const char* data, std::size_t length) {
  const FaultState& state = faultState();
  if (state.fault.keep >= 0 && state.count + 1 == state.fault.failAt) {  // this write is cut short
    saveWholeFileOs(path, data, std::min(length, static_cast<std::size_t>(state.fault.keep)));
  }
  return counted(path, [&] { return saveWholeFileOs(path, data, length); });
}

bool saveFileInOneStep(const char* path, const char* data, std::size_t length) {
  const std::string fresh = std::string(path) + ".new";
  if (saveWholeFile(fresh.c_str(), data, length) && replaceFile(fresh.c_str(), path)) return true;
  deleteFile(fresh.c_str());
  return false;
}

bool deleteFile(const char* path) {
  return counted(path, [&] { return deleteFileOs(path); });
}

bool renameFile(const char* from, const char* to) {
  return counted(from, [&] { return renameFileOs(from, to); });
}

bool replaceFile(const char* from, const char* to) {
  return counted(from, [&] { return replaceFileOs(from, to); });
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }

int showMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style) {
  MessageBoxCall call{owner, caption ? caption : "", text ? text : "", style};
  if (messageHandler()) return messageHandler()(call);
  return showDefaultMessageBox(call);
}

void setProgressHandler(ProgressHandler handler) { progressHandler() = std::move(handler); }

void setProgressPosition(WindowHandle bar, int percent) {
  if (progressHandler()) {
    progressHandler()(bar, percent);
    return;
  }
  sendProgressToBar(bar, percent);
}

void ProgressReporter::send(int position, int length) {
  // An empty source is read completely before anything is handled. The quotient of two whole
  // numbers is never so close below a whole number that floating point would round it up to it,
  // so whole-number division truncates exactly as the division in floating point would.
  long long percent = 100;
  long long from = INT_MIN, until = INT_MAX;
  if (length > 0) {
    percent = static_cast<long long>(position) * 100 / length;
    from = until = 0;  // a position before the start (there is none) is always sent for
    if (percent >= 0) {
      from = (percent * length + 99) / 100;  // the first position of the percentage
      until = ((percent + 1) * length + 99) / 100;
    }
  }
  samePercentFrom = static_cast<int>(from);
  samePercentUntil = static_cast<int>(until > INT_MAX ? INT_MAX : until);
  lengthSent = length;
  if (percent == lastPercent) return;
  lastPercent = static_cast<int>(percent);
  setProgressPosition(bar, lastPercent);
}

bool readTextFile(const char* path, std::string& text) {
  int size = 0;
  char* block = loadWholeFile(path, 1, &size);
  if (!block) return false;
  text.clear();
  text.reserve(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) {
    if (block[i] == '\r' && i + 1 < size && block[i + 1] == '\n') continue;  // CR LF reads as LF
    text.push_back(block[i]);
  }
  std::free(block);
  return true;
}

bool writeTextFile(const char* path, const std::string& text) {
#ifdef _WIN32
  std::string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') lines.push_back('\r');
    lines.push_back(c);
  }
  return saveWholeFile(path, lines.data(), lines.size());
#else
  return saveWholeFile(path, text.data(), text.size());
#endif
}
