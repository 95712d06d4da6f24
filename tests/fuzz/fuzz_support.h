// The fuzz targets and their seeds. A target is a plain function over any bytes that stops the run
// with the name of a property of the code under test that does not hold: libFuzzer calls it
// through fuzz_entry.cpp, the replay test on its seeds and regression inputs on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/files.h"

namespace fuzzing {

// A target's entry: its option bytes (as many as it takes, 0 where the input ran out) and the text.
using FuzzFunction = int(const std::uint8_t* option, const std::string& text);
FuzzFunction fuzzInlineEval, fuzzMacroRun, fuzzRouteRewrite, fuzzSignalSystem, fuzzConfig, fuzzRouteInfo;

// A target and its seeds: every text behind each of the headers of option bytes. Headers, texts and
// files of the repository (that give further texts) are lists separated by '|'.
struct FuzzTarget {
  const char* name;  // the folder of its regression inputs
  FuzzFunction* run;
  std::size_t options, maxLength;  // its option bytes; the -max_len of its runs, room for every seed
  std::string headers, texts, files;
};
const std::vector<FuzzTarget>& fuzzTargets();

// Runs the target of that name over an input: its first option bytes, and the rest as the text.
int runTarget(const std::string& name, const std::uint8_t* data, std::size_t size);

// The seed inputs of a target, with its files read from the repository at `sourceDir`; a missing
// file stops the run.
std::vector<std::string> seedInputs(const FuzzTarget& target, const std::string& sourceDir);

// Stops the run with the property that failed: under libFuzzer the input is saved as a crash.
void check(bool holds, const char* property);

}  // namespace fuzzing
