// The parts of the platform layer that are the same everywhere: the handlers that tests and the
// command-line tool install, and the text-file line-end rules built on the whole-file operations.
#include "platform/platform.h"

#include <cstdlib>
#include <utility>

// Defined in platform_win32.cpp and platform_posix.cpp: the box or line shown without a handler,
// and the progress bar message sent without a handler.
int showDefaultMessageBox(const MessageBoxCall& call);
void sendProgressToBar(WindowHandle bar, int percent);

namespace {

MessageHandler& messageHandler() {
  static MessageHandler handler;
  return handler;
}

ProgressHandler& progressHandler() {
  static ProgressHandler handler;
  return handler;
}

}  // namespace

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

void ProgressReporter::update(int position, int length) {
  // An empty source is read completely before anything is handled.
  int percent = length > 0 ? static_cast<int>(static_cast<double>(position) * 100.0 / length) : 100;
  if (percent == lastPercent) return;
  lastPercent = percent;
  setProgressPosition(bar, percent);
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
