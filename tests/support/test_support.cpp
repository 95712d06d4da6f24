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
  // Natively, a folder in memory where the machine has one: the suites write, flush and rename
  // thousands of small files, and a disk makes them wait for every flush.
  std::error_code error;
  const bool inMemory = !onWindows && std::filesystem::is_directory("/dev/shm", error);
  folder = (inMemory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) / name;
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
}

void WorkFolderTest::TearDown() {
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace testing_support
