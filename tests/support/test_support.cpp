#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testing_support {

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

MessageRecorder::MessageRecorder(int answer) {
  setMessageHandler([this, answer](const MessageBoxCall& call) {
    recorded.push_back(call);
    return answer;
  });
}

MessageRecorder::~MessageRecorder() { setMessageHandler(nullptr); }

std::vector<std::string> MessageRecorder::texts() const {
  std::vector<std::string> result;
  for (const MessageBoxCall& call : recorded) result.push_back(call.text);
  return result;
}

void WorkFolderTest::SetUp() {
  static std::atomic<int> counter{0};
  previous = std::filesystem::current_path();
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "klevane-test-" << stamp << "-" << counter++;
  folder = std::filesystem::temp_directory_path() / name.str();
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
}

void WorkFolderTest::TearDown() {
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace testing_support
