// The fuzz targets, one per entry point that reads outside text. Each gets its option bytes and the
// text of an input, works in the current folder and checks properties besides survival.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>
#include <set>
#include <tuple>

#include "fuzz/fuzz_support.h"
#include "route/build_driver.h"
#include "route/csv_rewrite.h"
#include "route/rw_rewrite.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/cases.h"
#include "support/files.h"
#include "text/random.h"
#include "text/text_buffer.h"

namespace fuzzing {

using namespace testing_support;
using namespace std::string_literals;
using std::string;

const char failedRun[] = "An error occured during the (pre-)processing of the route. The route will not be playable.";

// Stops the run with the property that failed: under libFuzzer the input is saved as a crash.
static void check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

// The text as the passes read it: up to the first NUL, or the 0xFF byte that reads as the end.
static string readable(const string& text) { return string(text.c_str()).substr(0, text.find('\xFF')); }

// The text as the line-break rule of every written route leaves it: after a CR LF pair, further
// CR, LF and tab characters are dropped until another character comes.
static string collapseLineBreaks(string text) {
  for (std::size_t at = text.find("\r\n"); at != string::npos; at = text.find("\r\n", at + 2))
    text.erase(at + 2, text.find_first_not_of("\r\n\t", at + 2) - at - 2);
  return text;
}

// Fills the stack that the next call will use with `byte`: a pass that reads memory it never wrote
// then differs between two runs with different bytes, natively too. Never inlined: its frame must
// lie where the next call's will.
[[gnu::noinline]] static void scribbleStack(char byte) {
  volatile char below[1 << 14];
  for (volatile char& c : below) c = byte;
}

// Runs `run` (success and output) twice with the same seed and answer to questions, over other
// bytes on the stack each time; checks that both give the same outcome, messages and all, and
// gives it.
static auto runTwice(std::uint32_t seed, int answer, const std::function<std::pair<bool, string>()>& run) {
  std::tuple<bool, string, std::vector<string>> outcomes[2];  // success, output, messages
  for (int byte : {0, 1}) {
    scribbleStack(byte);
    seedRandom(seed);
    MessageRecorder recorder(answer);
    const auto [ok, output] = run();
    outcomes[byte] = {ok, output, recorder.texts()};
  }
  check(outcomes[0] == outcomes[1], "the same seed gives the same outcome");
  return outcomes[0];
}

// A pass over the source file (runTwice), and what every pass keeps to: the source stays as it
// was; the prepared route is there, within passOutputSize characters, exactly when the pass
// succeeds; a source that would be read only in part (a NUL or 0xFF byte) is refused with
// `refusal`. The files are those the second run leaves, its outcome the same as the first's; the
// output of a pass that fails is "<missing>".
static auto runPass(const char* path, const string& source, const char* output, std::uint32_t seed, int answer,
                    const std::vector<string>& refusal, const std::function<bool()>& pass) {
  writeBytes(path, source);
  const auto outcome = runTwice(seed, answer, [&] {
    for (const char* file : {"klv.tmp", "klv2.tmp", "out.csv", "out.rw"}) deleteFile(file);
    return std::pair<bool, string>{pass(), readBytes(output)};  // a braced list: the route read after the pass
  });
  const auto& [ok, route, said] = outcome;
  check(readBytes(path) == source && exists(output) == ok && route.size() <= passOutputSize,
        "the source stays; a prepared route within the limit exactly when the pass succeeds");
  check(readable(source) == source || (!ok && said == refusal), "a route read only in part is refused");
  return outcome;
}

// A whole macro run (preprocessing and processing) over a route that may include "part.txt", a
// small file of commands, or itself. Options: the seed; the csv output and the answer to "choice<".
// Properties: those of every pass (runPass); a run that succeeds leaves no temporary file, one
// that fails says so last; a plain route (read whole, without '#') comes back as the documented
// copy (or is refused when it would pass the output limit).
static void fuzzMacroRun(const std::uint8_t* option, const string& route) {
  const char part[] =
      "#definemacro<pm>body #rnd<1,6>#endmacro<>part #if<#value<p>>kept#else<>dropped#endif<>\r\n#macro<pm>\r\n";
  const bool toCsv = option[1] & 1;
  writeBytes("part.txt", part);
  const auto [ok, prepared, said] = runPass(
      "route.klf", route, toCsv ? "out.csv" : "out.rw", option[0], option[1] & 2 ? answerYes : answerNo,
      {sourceEndsEarlyText + "\n\nroute.klf"s, failedRun}, [&] { return runMacroPasses("route.klf", nullptr, toCsv); });
  const bool plain = readable(route) == route && route.find('#') == string::npos;
  check(ok ? !exists("klv.tmp") && !exists("klv2.tmp") && (!plain || prepared == collapseLineBreaks(route))
           : !said.empty() && said.back() == failedRun && (!plain || route.size() > passOutputSize),
        "a success leaves no temporary file, a failure says so last; a plain route comes back as its copy");
}

// The csv and the rw rewriting with any starting options, and a signal system whose templates use
// every escape code (and bytes that are none). Options: flags (rw, signal system, the five option
// flags), the two modes, the seed, four numbers as a hand-edited klv.cfg may give them (the
// spreads and the interval bounds, in the machine's byte order).
// Properties: those of every pass (runPass); a pass shows a message exactly when it fails; with
// every option off a plain route (read whole, without commands) comes back as the documented copy
// (or is refused when the copy would pass the output limit).
static void fuzzRouteRewrite(const std::uint8_t* option, const string& source) {
  const bool rw = option[0] & 1;
  StartOptions& o = appState.options;
  std::int32_t* const fields[] = {&o.randomTrackQuality,  &o.randomStationWait, &o.randomStationJam,
                                  &o.randomStarterAspect, &o.tiltingTrain,      &o.adhesionSpread,
                                  &o.intervalSpread,      &o.intervalMin,       &o.intervalMax};
  for (int i = 0; i < 5; ++i) *fields[i] = option[0] >> (i + 2) & 1;
  for (int i = 0; i < 4; ++i) std::memcpy(fields[5 + i], option + 3 + 4 * i, 4);
  o.intervalMode = intervalNoEffect + option[1] % 3;
  o.adhesionMode = adhesionNoEffect + option[1] / 3 % 3;
  appState.swapSignals = option[0] & 2;
  for (char* text : {speeds, signaldef, relaydef})
    std::strcpy(text, "\247s\247a\247p\247n\247x\247y\247t\247e\247r\247A\247\247z\r\n\2479");
  const auto [ok, prepared, said] = runPass(
      "source.txt", source, rw ? "out.rw" : "out.csv", option[2], answerNo, {sourceEndsEarlyText + "\n\nsource.txt"s},
      [rw] { return rw ? rewriteRwRoute("source.txt", nullptr) : rewriteCsvRoute("source.txt", nullptr); });
  check(ok == said.empty(), "a pass shows a message exactly when it fails");
  // Every keyword of csv follows a '.', every one of rw holds '=', '[' or '@'; ';' begins an rw comment.
  const bool plain = readable(source) == source && !(option[0] & 0x7E) && option[1] % 9 == 0 &&
                     source.find_first_of(rw ? "=[@;" : ".") == string::npos;
  const string copy = collapseLineBreaks(rw ? source : source + "\r\n,\r\nRoute.DeveloperId 40752918\r\n,");
  check(!plain || (ok ? prepared == copy : copy.size() > passOutputSize), "a plain route comes back as its copy");
}

// A LF without a CR before it; a section keyword of sigsys.txt, in any case.
static const std::regex loneLf("(^|[^\r])\n"), keyword("#(end|speeds|signaldef|relaydef)#", std::regex::icase);

// The signal-system catalogue over a sigsys.txt of any content, beside a well-formed system.
// Options: the system asked for (the one listed first or second, or none), the size of the
// description buffer.
// Properties: names and folders keep to 15 characters; the description keeps to its buffer and
// breaks its lines with CR LF; the folder found is the last one listed with the name; loading
// succeeds exactly when a system carries the name and its file reads whole, says why otherwise,
// keeps each text within 2047 characters and lets no section keyword into a text; loading twice
// gives the same texts.
static void fuzzSignalSystem(const std::uint8_t* option, const string& file) {
  writeBytes("sys/sigsys.txt", file);
  writeBytes("std/sigsys.txt", "Std\r\nStandard signals.\r\n#end#\r\n#speeds#\r\n.Limit 40\r\n#end#\r\n");
  const std::vector<SignalSystemEntry> entries = scanSignalSystems();
  const string chosen = option[0] % 3 < entries.size() ? entries[option[0] % 3].name : "nosuch";
  const auto last = std::find_if(entries.rbegin(), entries.rend(), [&](auto& e) { return e.name == chosen; });
  const string lastFolder = last == entries.rend() ? "" : last->folder;
  for (const auto& e : entries) check(e.name.size() <= 15 && e.folder.size() <= 15, "names and folders within 15");
  std::strcpy(appState.signalSystem, chosen.c_str());
  std::vector<char> buffer(option[1] + 1u, 'Z');  // for the description, to be cleared
  describeSignalSystem(buffer.data(), static_cast<int>(buffer.size()));
  check(std::memchr(buffer.data(), 0, buffer.size()) && !std::regex_search(buffer.data(), loneLf),
        "the description keeps to its buffer, CR LF breaks");
  const bool found = findSignalSystemFolder(), whole = found && (lastFolder != "sys" || readable(file) == file);
  check(found == !lastFolder.empty() && lastFolder == signalSystemFolder, "the folder found is the last one listed");
  const auto [ok, texts, said] = runTwice(0, answerNo, [] {  // a braced list: the texts read after loading
    return std::pair<bool, string>{loadSignalSystemDefs(), speeds + "\0"s + signaldef + "\0"s + relaydef};
  });
  check(!speeds[2047] && !signaldef[2047] && !relaydef[2047], "a definition text holds at most 2047 characters");
  check(!std::regex_search(texts, keyword), "no section keyword, in any case, stands in a definition text");
  check(ok == whole && said == std::vector<string>(!whole, "Could not load signal system:\n\n" + chosen),
        "loading succeeds exactly when a system has the name and a whole file, says why otherwise");
}

// klv.cfg of any content: loaded, saved (with a file operation failing, when the input asks for
// it), saved again whole in the place of a removed file, and loaded again. Options: the failing
// operation of the first save (0 none) and whether the process dies there.
// Properties: every text field stays terminated within its size; the route browser and the output
// paths follow the route folder; a save leaves the old file or the new one, whole, and nothing
// beside it; what was saved loads back to the same options, signal system and folders (but for
// folders that saving cannot keep: an empty one, or one ending in a character that loading takes
// as part of the line end).
static std::vector<string> loadChecked() {  // the options as bytes, the signal system, the folders
  initAppState();
  loadConfig();
  const AppState& a = appState;
  check(!a.signalSystem[15] && !a.simFolder[260] && !a.routeFolder[260] && !a.trainFolder[260], "fields terminated");
  check(a.routeFolder == string(a.browseFolder) && a.csvOutPath == (a.routeFolder + "\\klvtemp.csv"s).substr(0, 276) &&
            a.rwOutPath == (a.routeFolder + "\\klvtemp.rw"s).substr(0, 276),
        "the route browser and the output paths follow the route folder");
  return {string(reinterpret_cast<const char*>(&a.options), sizeof a.options), a.signalSystem, a.simFolder,
          a.routeFolder, a.trainFolder};
}

static void fuzzConfig(const std::uint8_t* option, const string& file) {
  writeBytes("klv.cfg", file);
  const std::vector<string> first = loadChecked();
  setFileFaultHook({option[0] % 5, (option[0] & 0x80) != 0});
  saveConfig();
  setFileFaultHook({0, false});
  const string faulted = readBytes("klv.cfg");
  deleteFile("klv.cfg");
  saveConfig();
  const string saved = readBytes("klv.cfg");
  check((faulted == saved || (option[0] % 5 && faulted == file)) && saved != "<missing>" && !exists("klv.cfg.new"),
        "a save leaves the old file or the new one, whole, and nothing beside it");
  const std::vector<string> second = loadChecked();
  for (std::size_t i = 0; i < first.size(); ++i)
    check(first[i] == second[i] || (i > 1 && (first[i].empty() || std::strchr("\\\r", first[i].back()))),
          "the options, the signal system and the folders come back");
}

// The targets with their option bytes, -max_len and seeds. A seed is each text behind each header
// of option bytes (filled up with 0). The texts are the files that the case files of tests/cases
// lay out: routes and files whose names hold the target's `files`, and for klv.cfg the file an
// options field makes; and the few kept here that no case holds: a repeat section whose output
// comes to this build's output limit (the fuzzing build's is smaller than the cases'), and one
// more; fields of 1022 characters; a klv.cfg with a
// folder of 260 characters, the longest that saving writes; description lines around the
// 128-character pieces they are put together from.
static const string limit = R"(#setvalue<i,0>#repeat<>\{)" + std::to_string(passOutputSize / 2) +
                            R"(:h}#if<#value<i>>#breakrepeat<>#endif<>#setvalue<i,1>#endrepeat<>)",
                    fields = R"(.adhesion \{1022:9},.sta \{1022:s},\r\n[Railway]\r\n@curve(\{1022:6},50))",
                    folder = R"(\{260:f}\nr\nt\n0 0 0 0 0 0\n650 0 30 240\n653 0\nName)",
                    pieces = R"(S\r\n\{127:d}\r\n\{128:e})";
static const std::vector<string> rewriting = {"\0\0\1"s, "\1\0\1"s, "\x7E\4\1\x1E\0\0\0\x1E\0\0\0\x0A\0\0\0\xF0"s,
                                              "\xFF\x08\1\xFF\xFF\xFF\x7F\0\0\0\x80"s};
const std::vector<FuzzTarget> fuzzTargets = {
    {"macro_run", "", fuzzMacroRun, 2, 12288, {"\1"s, "\2\3"}, {limit, limit + "x"}},
    {"route_rewrite", "", fuzzRouteRewrite, 19, 4096, rewriting, {fields}},
    {"signal_system", "sigsys.txt", fuzzSignalSystem, 2, 4096, {"\0\x7F"s, "\1\x0F", "\2"}, {pieces}},
    {"config", "klv.cfg", fuzzConfig, 1, 4096, {""s, "\2", "\x81"}, {folder}}};

int runTarget(const string& name, const std::uint8_t* data, std::size_t size) {
  const auto target = std::find_if(fuzzTargets.begin(), fuzzTargets.end(), [&](auto& t) { return name == t.name; });
  check(target != fuzzTargets.end(), "a fuzz target of that name exists");
  // The option bytes the input lacks are 0.
  const string input = string(data, data + size) + string(size < target->options ? target->options - size : 0, '\0');
  std::strcpy(appState.trainName, "Local");  // the run's train and prepared routes
  std::strcpy(appState.csvOutPath, "out.csv");
  std::strcpy(appState.rwOutPath, "out.rw");
  target->run(reinterpret_cast<const std::uint8_t*>(input.data()), input.substr(target->options));
  return 0;
}

std::vector<string> seedInputs(const FuzzTarget& target, const string& sourceDir) {
  std::set<string> texts;
  for (const string& text : target.texts) texts.insert(decodeCaseValue(text));
  for (const TestCase& c : readCaseFiles(sourceDir))
    for (const CaseField& f : c.fields) {
      const string text = decodeCaseValue(f.value);
      if (f.key == "options" && target.files == "klv.cfg") texts.insert(optionsConfig(text));
      if ((f.key == "route" || f.key == "file") && f.name.find(target.files) != string::npos) texts.insert(text);
    }
  std::vector<string> seeds;
  for (const string& text : texts)
    if (target.options + text.size() <= target.maxLength)
      for (const string& h : target.headers) seeds.push_back(h + string(target.options - h.size(), '\0') + text);
  return seeds;
}

}  // namespace fuzzing
