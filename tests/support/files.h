// What the tests, the case runner and the fuzz targets share, none of it tied to a test framework:
// whole files byte for byte, snapshots of a folder, the text of a klv.cfg, and recorders that take
// the place of the message box and of the progress bar.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testing_support {

// Whether this is a Windows build (under wine here), and its text line end, as klv.cfg and other
// text files are written.
#ifdef _WIN32
constexpr bool onWindows = true;
inline const std::string eol = "\r\n";
#else
constexpr bool onWindows = false;
inline const std::string eol = "\n";
#endif

// A file's exact bytes; "<missing>" when it cannot be read. writeBytes makes the folders it needs.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);

// Every file under `folder`, by its path relative to it with '/' between names, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& folder = ".");

// The text of a klv.cfg as the program writes it: the three folders, the option lines ("1 0 0 0 0 0",
// "650 0 30 240", "653 0") and the signal system, with the platform's line ends.
std::string configText(const std::string& options = "0 0 0 0 0 0", const std::string& interval = "650 0 30 240",
                       const std::string& adhesion = "653 0", const std::string& signalSystem = "Zelvik Default",
                       const std::string& folders = "sim|routes|trains");

// Records every message box from its creation until it ends; a question gets `answer`.
class MessageRecorder {
 public:
  explicit MessageRecorder(int answer = answerNo);
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  std::vector<std::string> texts() const;
  std::vector<MessageBoxCall> calls;
};

// Records every progress report from its creation until it ends.
class ProgressRecorder {
 public:
  ProgressRecorder();
  ~ProgressRecorder();
  ProgressRecorder(const ProgressRecorder&) = delete;
  ProgressRecorder& operator=(const ProgressRecorder&) = delete;
  // The reports as text, a run of consecutive percentages shortened to "first-last": "0-100".
  std::string summary() const;
  std::vector<int> percents;
};

}  // namespace testing_support
