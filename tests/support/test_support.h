// What every test program shares: a fresh working folder per test (the passes work in the current
// directory, as the program does in its own folder), whole-file helpers, and a recorder that takes
// the place of the message box so that every message can be asserted and none ever blocks.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testing_support {

// The platform's text line end, as klv.cfg and other text files are written.
#ifdef _WIN32
inline const std::string eol = "\r\n";
#else
inline const std::string eol = "\n";
#endif

// Reads a file's exact bytes; "<missing>" when it cannot be read.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);

// Records every message box and answers with `answer`.
class MessageRecorder {
 public:
  explicit MessageRecorder(int answer = answerOk);
  ~MessageRecorder();
  const std::vector<MessageBoxCall>& calls() const { return recorded; }
  // The texts of the recorded boxes, one string each, for exact comparison.
  std::vector<std::string> texts() const;

 private:
  std::vector<MessageBoxCall> recorded;
};

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
