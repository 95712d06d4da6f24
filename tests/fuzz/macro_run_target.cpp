// A whole macro run (preprocessing and processing) over a route that may include "part.txt", a
// small file of commands, or itself. Input: a seed byte, a byte whose bits choose the csv output
// and the answer to "choice<", then the route.
// Properties: the user's files stay as they were; a run that succeeds leaves the prepared route
// (at most 1048576 characters) and no temporary file, and a run that fails says so last and leaves
// no prepared route; a route with a NUL or 0xFF byte is refused, one without '#' comes back as
// the documented copy; the same seed gives the same bytes and messages twice.
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "macro/passes.h"
#include "route/build_driver.h"
#include "state/app_state.h"
#include "text/random.h"
#include "text/text_buffer.h"

namespace fuzzing {

namespace {

const char partText[] =
    "#definemacro<pm>body #rnd<1,6>#endmacro<>part #if<#value<p>>kept#else<>dropped#endif<>\r\n#macro<pm>\r\n";
const char generalFailure[] =
    "An error occured during the (pre-)processing of the route. The route will not be playable.";

struct Outcome {
  bool ok;
  std::string route;
  std::vector<std::string> messages;
};

Outcome runOnce(const std::string& route, std::uint32_t seed, bool toCsv, bool answerYes) {
  for (const char* file : {"klv.tmp", "klv2.tmp", "out.csv", "out.rw"}) removeFile(file);
  writeFile("route.klf", route);
  writeFile("part.txt", partText);
  seedRandom(seed);
  MessageLog log(answerYes);
  bool ok = runMacroPasses("route.klf", nullptr, toCsv);
  const char* destination = toCsv ? "out.csv" : "out.rw";
  check(readFile("route.klf") == route && readFile("part.txt") == partText, "the user's files stay as they were");
  if (ok) {
    check(fileIsThere(destination), "a successful run leaves the prepared route");
    check(!fileIsThere(preprocessedFile) && !fileIsThere(intermediateFile),
          "a successful run leaves no temporary file");
  } else {
    check(!fileIsThere(destination), "a failed run leaves no prepared route");
    check(!log.texts.empty() && log.texts.back() == generalFailure, "a failed run ends with the general message");
  }
  std::string prepared = ok ? readFile(destination) : "";
  check(prepared.size() <= static_cast<std::size_t>(passOutputSize), "the prepared route fits the output");
  if (fileIsThere(preprocessedFile)) {
    check(readFile(preprocessedFile).size() <= static_cast<std::size_t>(passOutputSize), "klv.tmp fits the output");
  }
  return {ok, prepared, log.texts};
}

// The route text that the passes see: up to the first NUL, or the 0xFF byte that reads as the end.
std::string readableText(const std::string& route) {
  std::string text = upToNul(route);
  return text.substr(0, text.find('\xFF'));
}

}  // namespace

int fuzzMacroRun(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::uint32_t seed = in.byte();
  const unsigned choices = in.byte();
  const bool toCsv = (choices & 1) != 0, answerYes = (choices & 2) != 0;
  const std::string route = in.rest();
  std::snprintf(appState.trainName, sizeof appState.trainName, "Local");
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "out.csv");
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "out.rw");

  Outcome first = runOnce(route, seed, toCsv, answerYes);
  if (readableText(route) != route) {
    std::vector<std::string> refusal = {std::string(sourceEndsEarlyText) + "\n\nroute.klf", generalFailure};
    check(!first.ok && first.messages == refusal, "a route that would be read only in part is refused");
  } else if (route.find('#') == std::string::npos) {
    check(first.ok && first.messages.empty(), "a route without commands is prepared without a word");
    check(first.route == collapseLineBreaks(readableText(route)), "a route without commands comes back as its copy");
  }
  Outcome second = runOnce(route, seed, toCsv, answerYes);
  check(first.ok == second.ok && first.route == second.route && first.messages == second.messages,
        "the same seed gives the same route twice");
  for (const char* file : {"klv.tmp", "klv2.tmp", "out.csv", "out.rw", "route.klf", "part.txt"}) removeFile(file);
  return 0;
}

}  // namespace fuzzing
