// What every test program shares: the helpers of support/files.h, the standard headers the tests
// use, and a fresh working folder per test (the passes work in the current directory, as the
// program does in its own folder).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/files.h"

namespace testing_support {

// Runs each test in a new empty folder that is the current directory, removed afterwards.
class WorkFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path folder;

 private:
  std::filesystem::path previous;
};

}  // namespace testing_support
