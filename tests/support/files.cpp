#include "support/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace testing_support {

std::string readBytes(const std::string& path) {
  std::ifstream in(nativePath(path.c_str()), std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  fs::path target(nativePath(path.c_str()));
  std::error_code ignored;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ignored);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool exists(const std::string& path) { return fs::exists(nativePath(path.c_str())); }

std::map<std::string, std::string> snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file()) files[fs::relative(it->path(), folder).generic_string()] = readBytes(it->path().string());
  }
  return files;
}

std::string configText(const std::string& options, const std::string& interval, const std::string& adhesion,
                       const std::string& signalSystem, const std::string& folders) {
  std::string text;
  for (char c : folders) text += c == '|' ? eol : std::string(1, c);
  return text + eol + options + eol + interval + eol + adhesion + eol + signalSystem;
}

MessageRecorder::MessageRecorder(int answer) {
  setMessageHandler([this, answer](const MessageBoxCall& call) {
    calls.push_back(call);
    return (call.style & 0xF) == mbYesNo ? answer : static_cast<int>(answerOk);
  });
}

MessageRecorder::~MessageRecorder() { setMessageHandler(nullptr); }

std::vector<std::string> MessageRecorder::texts() const {
  std::vector<std::string> result;
  for (const MessageBoxCall& call : calls) result.push_back(call.text);
  return result;
}

ProgressRecorder::ProgressRecorder() {
  setProgressHandler([this](WindowHandle, int percent) { percents.push_back(percent); });
}

ProgressRecorder::~ProgressRecorder() { setProgressHandler(nullptr); }

std::string ProgressRecorder::summary() const {
  std::string text;
  for (std::size_t i = 0; i < percents.size();) {
    std::size_t j = i;
    while (j + 1 < percents.size() && percents[j + 1] == percents[j] + 1) ++j;
    if (!text.empty()) text += ' ';
    text += std::to_string(percents[i]);
    if (j > i) text += '-' + std::to_string(percents[j]);
    i = j + 1;
  }
  return text;
}

}  // namespace testing_support
