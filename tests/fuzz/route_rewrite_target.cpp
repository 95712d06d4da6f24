// The csv and the rw rewriting with any starting options, in range or not, and a signal system
// whose templates use every escape code (and bytes that are none). Input: a byte of flags (rw,
// signal system, the five option flags, numbers out of range), a byte of the two modes, a seed
// byte, four numbers of four bytes (the spreads and the interval bounds), then the route.
// Properties: the source stays as it was; a pass that succeeds leaves the prepared route of at
// most 1048576 characters and shows nothing, one that fails says so and leaves none; a route with
// a NUL or 0xFF byte is refused; with every option off a route without commands comes back as the
// documented copy; the same seed gives the same bytes twice.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "macro/keyword_table.h"
#include "route/csv_rewrite.h"
#include "route/rw_rewrite.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/random.h"
#include "text/text_buffer.h"

namespace fuzzing {

namespace {

const char csvDeveloperBlock[] = "\r\n,\r\nRoute.DeveloperId 40752918\r\n,";

void engageTemplates() {
  std::snprintf(speeds, sizeof speeds, "\r\n.Speeds 40;0;0,\r\n");
  std::snprintf(signaldef, sizeof signaldef, "%s",
                "\xA7s\xA7"
                "a\xA7p\xA7n\xA7p\xA7x\xA7p\xA7y\xA7p\xA7t\xA7"
                "e #rnd<1,2>\xA7"
                "A\xA7\xA7\xA7z\r\n\xA7");
  std::snprintf(relaydef, sizeof relaydef, "%s",
                "\xA7r\xA7x\xA7p\xA7y\xA7"
                "e\xA7"
                "9");
}

// Whether a keyword of the group begins at `at`, letters in either case.
bool keywordAt(const std::string& text, std::size_t at, KeywordGroup group) {
  for (int i = 0; i < keywordCount(group); ++i) {
    const char* k = keyword(group, i);
    std::size_t n = std::strlen(k), j = 0;
    while (j < n && at + j < text.size() && std::tolower(static_cast<unsigned char>(text[at + j])) == k[j]) ++j;
    if (j == n) return true;
  }
  return false;
}

// Whether the options leave every character of the route as it is: no keyword that the pass
// rewrites (csv: after a '.'; rw: anywhere) and, in rw, no comment.
bool holdsNoCommand(const std::string& text, bool rw) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (rw ? text[i] == ';' || keywordAt(text, i, KeywordGroup::RwKeyword)
           : text[i] == '.' && keywordAt(text, i + 1, KeywordGroup::CsvKeyword)) {
      return false;
    }
  }
  return true;
}

struct Outcome {
  bool ok;
  std::string route;
  std::vector<std::string> messages;
};

Outcome rewriteOnce(const std::string& source, bool rw, std::uint32_t seed) {
  const char* output = rw ? "out.rw" : "out.csv";
  writeFile("source.txt", source);
  seedRandom(seed);
  MessageLog log;
  bool ok = rw ? rewriteRwRoute("source.txt", nullptr) : rewriteCsvRoute("source.txt", nullptr);
  check(readFile("source.txt") == source, "the source stays as it was");
  check(ok == fileIsThere(output), "a prepared route exists exactly when the pass succeeds");
  check(ok == log.texts.empty(), "a pass says something exactly when it fails");
  std::string route = ok ? readFile(output) : "";
  check(route.size() <= static_cast<std::size_t>(passOutputSize), "the prepared route fits the output");
  return {ok, route, log.texts};
}

}  // namespace

int fuzzRouteRewrite(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const unsigned flags = in.byte(), modes = in.byte();
  const std::uint32_t seed = in.byte();
  std::int32_t numbers[4];
  for (std::int32_t& n : numbers) n = in.number();
  const std::string source = in.rest();

  initAppState();
  const bool rw = (flags & 1) != 0;
  appState.swapSignals = (flags & 2) != 0;
  StartOptions& o = appState.options;
  o.randomTrackQuality = (flags >> 2) & 1;
  o.randomStationWait = (flags >> 3) & 1;
  o.randomStationJam = (flags >> 4) & 1;
  o.randomStarterAspect = (flags >> 5) & 1;
  o.tiltingTrain = (flags >> 6) & 1;
  o.intervalMode = intervalNoEffect + static_cast<int>(modes % 3);
  o.adhesionMode = adhesionNoEffect + static_cast<int>(modes / 3 % 3);
  if (flags & 0x80) {  // as a hand-edited klv.cfg may give them
    o.adhesionSpread = numbers[0];
    o.intervalSpread = numbers[1];
    o.intervalMin = numbers[2];
    o.intervalMax = numbers[3];
  } else {  // as the Starting options dialog keeps them
    auto within = [](std::int32_t n, int low, int high) {
      return low + static_cast<int>(static_cast<std::uint32_t>(n) % static_cast<std::uint32_t>(high - low + 1));
    };
    o.adhesionSpread = within(numbers[0], 0, 200);
    o.intervalSpread = within(numbers[1], 0, 600);
    o.intervalMin = within(numbers[2], 10, 600);
    o.intervalMax = within(numbers[3], o.intervalMin, 600);
  }
  std::snprintf(appState.trainName, sizeof appState.trainName, "Local");
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "out.csv");
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "out.rw");
  if (appState.swapSignals) engageTemplates();

  Outcome first = rewriteOnce(source, rw, seed);
  const bool optionsOff =
      (flags & 0x7E) == 0 && o.intervalMode == intervalNoEffect && o.adhesionMode == adhesionNoEffect;
  std::string text = upToNul(source);
  text = text.substr(0, text.find('\xFF'));
  if (text != source) {
    std::vector<std::string> refusal = {std::string(sourceEndsEarlyText) + "\n\nsource.txt"};
    check(!first.ok && first.messages == refusal, "a route that would be read only in part is refused");
  } else if (optionsOff && holdsNoCommand(text, rw)) {
    check(first.ok, "a route without commands is prepared");
    std::string copy = collapseLineBreaks(rw ? text : text + csvDeveloperBlock);
    check(first.route == copy, "with every option off a route without commands comes back as its copy");
  }
  Outcome second = rewriteOnce(source, rw, seed);
  check(first.ok == second.ok && first.route == second.route && first.messages == second.messages,
        "the same seed gives the same route twice");
  for (const char* file : {"source.txt", "out.csv", "out.rw"}) removeFile(file);
  return 0;
}

}  // namespace fuzzing
