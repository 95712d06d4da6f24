#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <string>

namespace testing_support {

void WorkFolderTest::SetUp() {
  static std::atomic<int> counter{0};
  previous = std::filesystem::current_path();
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::string name = "klevane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++);
  folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
}

void WorkFolderTest::TearDown() {
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace testing_support
