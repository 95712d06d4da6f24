// What the fuzz targets share: reading option bytes from the front of an input, whole files in the
// current folder, a log of the message boxes, and the check that stops a run when a property of
// the code under test does not hold. The targets are plain functions: libFuzzer calls them through
// fuzz_entry.cpp, and the replay test calls them on the saved regression inputs on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// One fuzz target: its name (the folder of its regression inputs) and its entry.
using FuzzFunction = int (*)(const std::uint8_t* data, std::size_t size);
struct FuzzTarget {
  const char* name;
  FuzzFunction run;
  std::size_t maxLength;  // the -max_len its runs use: room for every limit of its seeds
};
const std::vector<FuzzTarget>& fuzzTargets();

int fuzzInlineEval(const std::uint8_t* data, std::size_t size);
int fuzzMacroRun(const std::uint8_t* data, std::size_t size);
int fuzzRouteRewrite(const std::uint8_t* data, std::size_t size);
int fuzzSignalSystem(const std::uint8_t* data, std::size_t size);
int fuzzConfig(const std::uint8_t* data, std::size_t size);
int fuzzRouteInfo(const std::uint8_t* data, std::size_t size);

// The seed inputs of a target: the examples and test inputs in its input form, and texts of
// N - 1, N and N + 1 characters around every fixed limit that it reads. `sourceDir` is the
// repository, where the examples are.
std::vector<std::string> seedInputs(const std::string& target, const std::string& sourceDir);

// Stops the run with the property that failed: under libFuzzer the input is saved as a crash.
void check(bool holds, const char* property);

// Option bytes taken from the front of an input; 0 once they run out. The rest is the text.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
  unsigned byte() { return used < size ? data[used++] : 0u; }
  bool flag() { return (byte() & 1u) != 0; }
  std::int32_t number() {
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i) n = n << 8 | byte();
    return static_cast<std::int32_t>(n);
  }
  std::string rest() const {
    return used < size ? std::string(reinterpret_cast<const char*>(data + used), size - used) : std::string();
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t used = 0;
};

// Files of the current folder, byte for byte. readFile gives "<missing>" for a file that cannot
// be read.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileIsThere(const std::string& path);
void removeFile(const std::string& path);

// Records the texts of every message box from its creation until it ends; a question gets the
// answer given.
class MessageLog {
 public:
  explicit MessageLog(bool answerYes = false);
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;
  std::vector<std::string> texts;
};

// The text as a TextBuffer reads it: up to its first NUL byte.
std::string upToNul(const std::string& text);

// The text as the line-break rule of every written route leaves it: after a CR LF pair, further
// CR, LF and tab characters are dropped until another character comes.
std::string collapseLineBreaks(const std::string& text);

}  // namespace fuzzing
