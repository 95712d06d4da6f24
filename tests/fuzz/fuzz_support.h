// The fuzz targets and their seeds. A target is a plain function over any bytes that stops the run
// with the name of a property of the code under test that does not hold: libFuzzer calls it
// through fuzz_entry.cpp, the replay test on its seeds and regression inputs on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// A target, its option bytes (as many as it takes; those an input lacks are 0), the -max_len of its
// runs and its seeds: the texts of the case files' files whose names hold `files` ("" every one)
// and its own `texts` (written as case file values), each behind each header of option bytes.
struct FuzzTarget {
  std::string name, files;  // name: the folder of its regression inputs
  void (*run)(const std::uint8_t* option, const std::string& text);
  std::size_t options, maxLength;
  std::vector<std::string> headers, texts;
};
extern const std::vector<FuzzTarget> fuzzTargets;

// Runs the target of that name over an input: its first option bytes, and the rest as the text.
int runTarget(const std::string& name, const std::uint8_t* data, std::size_t size);

// The seed inputs of a target, from the repository at `sourceDir`.
std::vector<std::string> seedInputs(const FuzzTarget& target, const std::string& sourceDir);

}  // namespace fuzzing
