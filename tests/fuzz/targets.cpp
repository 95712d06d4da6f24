// The fuzz targets, one per entry point that reads outside text. Each gets its option bytes and the
// text of an input, works in the current folder and checks properties besides survival.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <tuple>

#include "fuzz/fuzz_support.h"
#include "macro/inline_eval.h"
#include "macro/keyword_table.h"
#include "macro/symbol_stores.h"
#include "route/build_driver.h"
#include "route/csv_rewrite.h"
#include "route/route_info.h"
#include "route/rw_rewrite.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/info_text.h"
#include "text/random.h"
#include "text/text_buffer.h"

namespace fuzzing {

using namespace testing_support;
using namespace std::string_literals;
using Outcome = std::tuple<bool, std::string, std::vector<std::string>>;  // success, output, messages

const std::size_t outputLimit = passOutputSize;  // of a prepared route, and of klv.tmp
const char generalFailure[] =
    "An error occured during the (pre-)processing of the route. The route will not be playable.";

// The text as the passes read it: up to the first NUL, or the 0xFF byte that reads as the end.
static std::string readable(const std::string& text) { return std::string(text.c_str()).substr(0, text.find('\xFF')); }

// The text as the line-break rule of every written route leaves it: after a CR LF pair, further
// CR, LF and tab characters are dropped until another character comes.
static std::string collapseLineBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0 || !std::memchr("\r\n\t", c, 3)) out += c;
  }
  return out;
}

// Whether the text in the buffer ends within it and breaks its lines with CR LF.
static bool keepsToBufferWithCrLf(const std::vector<char>& buffer) {
  std::size_t length = strnlen(buffer.data(), buffer.size()), i = 0;
  while (i < length && (buffer[i] != '\n' || (i > 0 && buffer[i - 1] == '\r'))) ++i;
  return i == length && length < buffer.size();
}

static std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

static void nameRunFiles() {
  std::strcpy(appState.trainName, "Local");
  std::strcpy(appState.csvOutPath, "out.csv");
  std::strcpy(appState.rwOutPath, "out.rw");
}

// Fills the stack that the next call will use with `byte`: a pass that reads memory it never wrote
// then differs between two runs with different bytes, natively too.
static void scribbleStack(char byte) {
  volatile char below[1 << 16];
  for (volatile char& c : below) c = byte;
}

// Runs a pass over the source twice with the same seed and checks what every pass keeps to: the
// source stays as it was; the prepared route is there, within passOutputSize characters, exactly
// when the pass succeeds; a source that would be read only in part (a NUL or 0xFF byte) is refused
// with `refusal`; the same seed gives the same bytes and messages. Gives the first outcome.
static Outcome runPassTwice(const char* path, const std::string& source, const char* output, std::uint32_t seed,
                            int answer, const std::vector<std::string>& refusal, const std::function<bool()>& pass) {
  const auto run = [&](char scribble) {
    writeBytes(path, source);
    scribbleStack(scribble);
    seedRandom(seed);
    MessageRecorder recorder(answer);
    const bool ok = pass();
    const std::string route = ok ? readBytes(output) : "";
    check(readBytes(path) == source && exists(output) == ok && route.size() <= outputLimit,
          "the source stays; the prepared route, within the limit, exactly when the pass succeeds");
    return Outcome{ok, route, recorder.texts()};
  };
  const Outcome first = run(1);
  check(readable(source) == source || first == Outcome{false, "", refusal}, "a route read only in part is refused");
  check(run(2) == first, "the same seed gives the same route twice");
  return first;
}

// The inline evaluator over any text, with stores that hold a few names of each kind. Options: the
// output capacity, the seed, the answer to "choice<".
// Properties: the output keeps to its capacity and the rest of the buffer is cleared; no consumed
// mark reaches the output; a text without '#' comes back as it was, cut to the capacity; the same
// seed gives the same output and the same messages.
static void fillStores() {
  resetSymbolStores();
  const ValueSlot values[] = {{"a", 2.5f}, {"x", 0}, {"big", 3.4e38f}, {"neg", -1}};
  std::copy(values, values + 4, symbolStores.values);
  symbolStores.words[0] = {"w", "word"};
  symbolStores.words[1] = {"long", "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"};  // as long as a word can be
  RndsetSlot& set = symbolStores.rndsets[0];
  std::strcpy(set.name, "s");
  for (; set.count < maxRndsetItems; ++set.count) std::snprintf(set.items[set.count], 16, "item%d", set.count);
  std::strcpy(symbolStores.rndsets[1].name, "empty");
}

int fuzzInlineEval(const std::uint8_t* option, const std::string& input) {
  const std::size_t capacities[] = {1, 2, 32, 260, 1040}, capacity = capacities[option[0] % 5];
  const std::string text = input.c_str();
  nameRunFiles();
  const auto evaluate = [&](char scribble) {
    fillStores();
    scribbleStack(scribble);
    seedRandom(option[1]);
    MessageRecorder recorder(option[2] & 1 ? answerYes : answerNo);
    std::vector<char> in(text.c_str(), text.c_str() + text.size() + 1), out(capacity, 'Z');  // no slack to hide in
    evaluateInline(out.data(), in.data(), static_cast<int>(capacity));
    const std::size_t length = strnlen(out.data(), capacity);
    check(length < capacity && std::string(out.begin() + length, out.end()) == std::string(capacity - length, '\0'),
          "the output keeps to its capacity, the rest cleared");
    return Outcome{true, std::string(out.data(), length), recorder.texts()};
  };
  const Outcome first = evaluate(1);
  const std::string& output = std::get<1>(first);
  check(output.find(consumedMark) == std::string::npos, "no consumed mark reaches the output");
  check(text.find_first_of("#\1") != std::string::npos || output == text.substr(0, capacity - 1), "plain text stays");
  check(evaluate(2) == first, "the same seed gives the same output");
  return 0;
}

// A whole macro run (preprocessing and processing) over a route that may include "part.txt", a
// small file of commands, or itself. Options: the seed; the csv output and the answer to "choice<".
// Properties: those of every pass (runPassTwice); part.txt stays as it was; a run that succeeds
// leaves no temporary file, one that fails says so last; klv.tmp keeps to passOutputSize
// characters; a route without '#' comes back as the documented copy.
int fuzzMacroRun(const std::uint8_t* option, const std::string& route) {
  const char part[] =
      "#definemacro<pm>body #rnd<1,6>#endmacro<>part #if<#value<p>>kept#else<>dropped#endif<>\r\n#macro<pm>\r\n";
  const bool toCsv = option[1] & 1;
  nameRunFiles();
  writeBytes("part.txt", part);
  const Outcome first =
      runPassTwice("route.klf", route, toCsv ? "out.csv" : "out.rw", option[0], option[1] & 2 ? answerYes : answerNo,
                   {sourceEndsEarlyText + "\n\nroute.klf"s, generalFailure}, [&] {
                     for (const char* file : {"klv.tmp", "klv2.tmp", "out.csv", "out.rw"}) deleteFile(file);
                     return runMacroPasses("route.klf", nullptr, toCsv);
                   });
  const auto& [ok, prepared, said] = first;
  check(readBytes("part.txt") == part && readBytes("klv.tmp").size() <= outputLimit, "part.txt stays, klv.tmp fits");
  check(ok ? !exists("klv.tmp") && !exists("klv2.tmp") : !said.empty() && said.back() == generalFailure,
        "a run that succeeds leaves no temporary file, one that fails says so last");
  check(readable(route) != route || route.find('#') != std::string::npos ||
            first == Outcome{true, collapseLineBreaks(route), {}},
        "a route without commands comes back as its copy");
  for (const char* file : {"klv.tmp", "klv2.tmp", "out.csv", "out.rw", "route.klf", "part.txt"}) deleteFile(file);
  return 0;
}

// The csv and the rw rewriting with any starting options, in range or not, and a signal system
// whose templates use every escape code (and bytes that are none). Options: flags (rw, signal
// system, the five option flags, numbers out of range), the two modes, the seed, four big-endian
// numbers (the spreads and the interval bounds).
// Properties: those of every pass (runPassTwice); a pass shows a message exactly when it fails;
// with every option off a route without commands (no keyword that the pass rewrites, and in rw no
// comment) comes back as the documented copy.
static bool holdsNoCommand(const std::string& route, bool rw) {
  const std::string text = lower(route);
  const KeywordGroup group = rw ? KeywordGroup::RwKeyword : KeywordGroup::CsvKeyword;
  for (int i = 0; i < keywordCount(group); ++i) {
    if (text.find((rw ? "" : ".") + std::string(keyword(group, i))) != std::string::npos) return false;
  }
  return !rw || text.find(';') == std::string::npos;
}

static void setStartOptions(const std::uint8_t* option) {
  initAppState();
  StartOptions& o = appState.options;
  std::int32_t* const flags[] = {&o.randomTrackQuality, &o.randomStationWait, &o.randomStationJam,
                                 &o.randomStarterAspect, &o.tiltingTrain};
  for (int i = 0; i < 5; ++i) *flags[i] = option[0] >> (i + 2) & 1;
  o.intervalMode = intervalNoEffect + option[1] % 3;
  o.adhesionMode = adhesionNoEffect + option[1] / 3 % 3;
  // As a hand-edited klv.cfg may give them, or as the Starting options dialog keeps them.
  std::int32_t* const numbers[] = {&o.adhesionSpread, &o.intervalSpread, &o.intervalMin, &o.intervalMax};
  const std::int32_t lows[] = {0, 0, 10, 0}, highs[] = {200, 600, 600, 600};
  for (int i = 0; i < 4; ++i) {
    std::uint32_t n = 0;
    for (int b = 3 + 4 * i; b < 7 + 4 * i; ++b) n = n << 8 | option[b];
    const std::int32_t low = i == 3 ? o.intervalMin : lows[i];
    *numbers[i] =
        option[0] & 0x80 ? static_cast<std::int32_t>(n) : low + static_cast<std::int32_t>(n % (highs[i] - low + 1));
  }
  nameRunFiles();
  appState.swapSignals = option[0] & 2;
  if (appState.swapSignals) {
    std::strcpy(speeds, "\r\n.Speeds 40;0;0,\r\n");
    std::strcpy(signaldef,
                "\247s\247a\247p\247n\247p\247x\247p\247y\247p\247t\247e #rnd<1,2>\247A\247\247\247z\r\n\247");
    std::strcpy(relaydef, "\247r\247x\247p\247y\247e\2479");
  }
}

int fuzzRouteRewrite(const std::uint8_t* option, const std::string& source) {
  const bool rw = option[0] & 1;
  setStartOptions(option);
  const Outcome first = runPassTwice(
      "source.txt", source, rw ? "out.rw" : "out.csv", option[2], answerNo, {sourceEndsEarlyText + "\n\nsource.txt"s},
      [rw] { return rw ? rewriteRwRoute("source.txt", nullptr) : rewriteCsvRoute("source.txt", nullptr); });
  check(std::get<0>(first) == std::get<2>(first).empty(), "a pass shows a message exactly when it fails");
  if (readable(source) == source && (option[0] & 0x7E) == 0 && option[1] % 9 == 0 && holdsNoCommand(source, rw)) {
    const std::string copy = collapseLineBreaks(rw ? source : source + "\r\n,\r\nRoute.DeveloperId 40752918\r\n,");
    check(first == Outcome{true, copy, {}}, "with every option off a route without commands comes back as its copy");
  }
  for (const char* file : {"source.txt", "out.csv", "out.rw"}) deleteFile(file);
  return 0;
}

// The signal-system catalogue over a sigsys.txt of any content, beside a well-formed system.
// Options: the system asked for (the fuzzed one, the well-formed one, none, or the 16 bytes of a
// name that follow), the size of the description buffer, the 16 bytes.
// Properties: names and folders keep to 15 characters; the description keeps to its buffer and
// breaks its lines with CR LF; the folder found is the last one listed with the name; loading
// succeeds exactly when a system carries the name and its file reads whole, says why otherwise,
// keeps each text within 2047 characters and lets no section keyword into a text; loading twice
// gives the same texts.
static Outcome loadSignals(const std::string& name) {
  MessageRecorder recorder;
  const bool ok = loadSignalSystemDefs();
  for (const char* text : {speeds, signaldef, relaydef}) {
    check(text[signalTextSize - 1] == '\0', "a definition text holds at most 2047 characters");
    const std::string lowered = lower(text);
    for (const char* keyword : {"#end#", "#speeds#", "#signaldef#", "#relaydef#"}) {
      check(lowered.find(keyword) == std::string::npos, "no section keyword stands in a definition text");
    }
  }
  check(recorder.texts() == std::vector<std::string>(!ok, "Could not load signal system:\n\n" + name),
        "loading fails exactly with its message");
  return {ok, speeds + "\0"s + signaldef + "\0"s + relaydef, recorder.texts()};
}

int fuzzSignalSystem(const std::uint8_t* option, const std::string& file) {
  const std::size_t describeSizes[] = {1, 2, 3, 4, 16, 128, 512, 513};
  writeBytes("sys/sigsys.txt", file);
  writeBytes("std/sigsys.txt", "Std\r\nStandard signals.\r\n#end#\r\n#speeds#\r\n.Limit 40\r\n#end#\r\n");
  const std::vector<SignalSystemEntry> entries = scanSignalSystems();
  std::string names[] = {"", "Std", "nosuch", std::string(option + 2, option + 18)}, lastFolder;
  for (const SignalSystemEntry& entry : entries) {
    check(entry.name.size() <= 15 && entry.folder.size() <= 15, "names and folders keep to 15 characters");
    if (entry.folder == "sys") names[0] = entry.name;
  }
  const std::string& asked = names[option[0] % 4];  // 16 bytes of a name need not end in a NUL
  std::memcpy(appState.signalSystem, (asked + std::string(16, '\0')).data(), sizeof appState.signalSystem);
  const std::string chosen(appState.signalSystem, strnlen(appState.signalSystem, sizeof appState.signalSystem));
  std::vector<char> description(describeSizes[option[1] % 8], 'Z');  // to be cleared
  describeSignalSystem(description.data(), static_cast<int>(description.size()));
  check(keepsToBufferWithCrLf(description), "the description keeps to its buffer, CR LF breaks");
  for (const SignalSystemEntry& entry : entries) {
    if (entry.name == chosen) lastFolder = entry.folder;
  }
  const bool found = findSignalSystemFolder();
  check(!signalSystemFolder[signalNameSize - 1] && found == !lastFolder.empty() && lastFolder == signalSystemFolder,
        "the folder found is the last one listed");
  const Outcome first = loadSignals(chosen);
  const bool cut = lastFolder == "sys" && file.find_first_of("\0\xFF"s) != std::string::npos;
  check(std::get<0>(first) == (found && !cut), "loading succeeds exactly when a system has the name and a whole file");
  check(loadSignals(chosen) == first, "loading twice gives the same texts");
  return 0;
}

// klv.cfg of any content: loaded, saved (with a file operation failing, when the input asks for
// it), saved again whole in the place of a removed file, and loaded again. Options: the failing
// operation of the first save (0 none) and whether the process dies there.
// Properties: every text field stays terminated within its size; the route browser and the output
// paths follow the route folder; a save leaves the old file or the new one, whole; what was saved
// loads back to the same options, signal system and folders (but for folders that saving cannot
// keep: an empty one, or one ending in a character that loading takes as part of the line end).
static std::vector<std::string> loadChecked() {  // the options as bytes, the signal system, the folders
  initAppState();
  std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
  loadConfig();
  const AppState& a = appState;
  for (const char* folder : {a.simFolder, a.routeFolder, a.trainFolder, a.browseFolder}) {
    check(std::memchr(folder, 0, 261), "a folder stays within 260 characters");
  }
  check(std::memchr(a.signalSystem, 0, 16), "the signal system keeps to 15 characters");
  const std::string route = a.routeFolder;
  check(route == a.browseFolder && a.csvOutPath == (route + "\\klvtemp.csv").substr(0, 276) &&
            a.rwOutPath == (route + "\\klvtemp.rw").substr(0, 276),
        "the route browser and the output paths follow the route folder");
  return {std::string(reinterpret_cast<const char*>(&a.options), sizeof a.options), a.signalSystem, a.simFolder,
          a.routeFolder, a.trainFolder};
}

int fuzzConfig(const std::uint8_t* option, const std::string& file) {
  deleteFile("klv.cfg.new");
  writeBytes("klv.cfg", file);
  const std::vector<std::string> first = loadChecked();
  setFileFaultHook({option[0] % 5, (option[0] & 0x80) != 0});
  saveConfig();
  setFileFaultHook({0, false});
  const std::string afterFault = readBytes("klv.cfg");
  deleteFile("klv.cfg");
  saveConfig();
  const std::string saved = readBytes("klv.cfg");
  check(afterFault == saved || (option[0] % 5 && afterFault == file),
        "a save leaves the old file or the new one, whole");
  check(saved != "<missing>" && !exists("klv.cfg.new"), "a save leaves klv.cfg and nothing beside it");
  const std::vector<std::string> second = loadChecked();
  for (std::size_t i = 0; i < first.size(); ++i) {
    const std::string& field = first[i];
    check(field == second[i] || (i > 1 && (field.empty() || std::strchr("\\\r", field.back()))),
          "the options, the signal system and the folders come back");
  }
  deleteFile("klv.cfg");
  return 0;
}

// The cleaning of description texts and the route information of a route file of any content.
// Options: the route kind, whether line breaks are kept and the spare room of the cleaned text's
// buffer.
// Properties: the cleaned text keeps to its buffer, breaks its lines with CR LF, and a text without
// '$' and line breaks stays as it was; the route information keeps to its line and description
// limits.
int fuzzRouteInfo(const std::uint8_t* option, const std::string& file) {
  const char* const routeFiles[] = {"route.rw", "route.csv", "route.klf"};
  const std::size_t descriptionLimits[] = {4091, 1022, 4090};
  const std::string text = file.c_str();
  std::vector<char> buffer(text.size() + 1 + (option[0] >> 3), 'Z');  // no slack to hide in
  std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer.begin());
  cleanInfoText(buffer.data(), static_cast<int>(buffer.size()), option[0] & 4);
  check(keepsToBufferWithCrLf(buffer), "the cleaned text keeps to its buffer, CR LF breaks");
  check(text.find_first_of("$\r\n") != std::string::npos || text == buffer.data(), "a plain text stays as it was");
  const unsigned kind = option[0] % 3;
  writeBytes(routeFiles[kind], file);
  std::strcpy(appState.browseFolder, ".");
  std::strcpy(appState.routeFile, routeFiles[kind]);
  appState.routeKind = static_cast<std::int8_t>(kind + 1);
  const RouteInfo info = showRouteInfo();
  check(info.fileRead && info.routeName.size() <= 1022 && info.defaultTrain.size() <= 1021 &&
            info.description.size() <= descriptionLimits[kind],
        "the route information keeps to its line and description limits");
  deleteFile(routeFiles[kind]);
  return 0;
}

}  // namespace fuzzing
