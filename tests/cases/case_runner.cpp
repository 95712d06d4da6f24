// Runs the case files tests/cases/*.txt (their format: support/cases.h): each case lays out its
// files in a fresh folder, runs klevane-prepare in-process with its arguments, and compares the
// exit status, what was printed, the progress reports and the files afterwards, byte for byte. A
// file the case wrote and does not expect to change must keep its bytes. The fields:
//   file NAME      a file to lay out before the run (paths relative to the case's folder, with '/')
//   route NAME     the same, and NAME goes last on the command line
//   copy NAME      a folder of the repository (examples/routes), copied to the same path
//   options        klv.cfg in the folder the tool runs in, from its option lines and signal system:
//                  "1 0 0 0 0 0 | 651 30 30 240 | 654 20 | Semaphores"
//   args           the arguments before the routes (default "--seed 1 --train New"); double
//                  quotes keep blanks inside an argument
//   dir            the folder the tool runs in, the program folder (default: the case's folder)
//   exit           the exit status (default 0)
//   stderr         everything on standard error, "Error: " and a message a line (default: nothing)
//   stdout         everything on standard output (not checked when not given)
//   progress       the progress reports, runs of consecutive percentages as "first-last"
//   passes         how many passes reported progress (each starts lower than the one before ended)
//   expect NAME    the exact bytes of a file afterwards ("<missing>": no such file)
//   expect-file NAME  the same, the bytes given by a file of the repository
//   files          every file under the case's folder afterwards, sorted, blank between
// A stdout or stderr ending in "..." gives only the beginning of what was printed. In stdout and
// stderr a backslash counts as a slash, for the paths of either platform.
#include <sstream>

#include "klevane-prepare/prepare.h"
#include "macro/symbol_stores.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/cases.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// What was printed as a case gives it: visible, with slashes, cut after a given beginning ("...").
std::string printed(std::string text, const std::string& wanted = "") {
  for (char& c : text) c = c == '\\' ? '/' : c;
  const bool beginning = wanted.size() >= 3 && wanted.compare(wanted.size() - 3, 3, "...") == 0;
  return visible(beginning ? text.substr(0, wanted.size() - 3) + "..." : text);
}

class CaseRunner : public WorkFolderTest {
 protected:
  std::map<std::string, std::string> values;  // the last value of each key, decoded
  std::map<std::string, std::string> unchanged;  // the files written that no expect names

  void layOut(const TestCase& c, const fs::path& root, std::vector<std::string>& argv) {
    values = {{"dir", "."}, {"args", "--seed 1 --train New"}, {"exit", "0"}, {"stderr", ""}};
    for (const CaseField& f : c.fields) values[f.key] = decodeCaseValue(f.value);
    const fs::path runIn = root / values["dir"];
    std::string argument;
    bool quoted = false, any = false;  // blanks split, double quotes keep them
    for (const char c : values["args"] + " ") {
      if (c == '"') quoted = !quoted, any = true;
      else if (c != ' ' || quoted) argument += c, any = true;
      else if (any) argv.push_back(argument), argument.clear(), any = false;
    }
    for (const CaseField& f : c.fields) {
      const std::string bytes = decodeCaseValue(f.value);
      std::string path = f.name;
      if (f.key == "copy") {
        fs::create_directories(root / f.name);
        fs::copy(fs::path(KLV_SOURCE_DIR) / f.name, root / f.name, fs::copy_options::recursive);
      } else if (f.key == "file" || f.key == "route" || f.key == "options") {
        const std::string text = f.key == "options" ? optionsConfig(bytes) : bytes;
        if (f.key == "options") path = fs::relative(runIn / "klv.cfg", root).generic_string();
        writeBytes((root / path).string(), text);
        unchanged[path] = text;
        if (f.key == "route") argv.push_back(fs::relative(root / path, runIn).generic_string());
      }
    }
  }

  void run(const TestCase& c, const fs::path& root) {
    SCOPED_TRACE(c.where + ": " + c.title);
    fs::create_directories(root);
    unchanged.clear();
    std::vector<std::string> argv = {"klevane-prepare"};
    layOut(c, root, argv);
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(&a[0]);
    appState = AppState();  // as a fresh process has them
    speeds[0] = signaldef[0] = relaydef[0] = signalSystemFolder[0] = '\0';
    resetSymbolStores();
    fs::current_path(root / values["dir"]);
    std::ostringstream out, err;
    ProgressRecorder progress;
    const int status = runPrepare(static_cast<int>(pointers.size()), pointers.data(), out, err);
    setMessageHandler(nullptr);
    fs::current_path(folder);

    EXPECT_EQ(status, std::atoi(values["exit"].c_str())) << "standard error: " << visible(err.str());
    if (values.count("stdout")) { EXPECT_EQ(printed(out.str(), values["stdout"]), printed(values["stdout"])); }
    EXPECT_EQ(printed(err.str(), values["stderr"]), printed(values["stderr"]));
    if (values.count("progress")) { EXPECT_EQ(progress.summary(), values["progress"]); }
    int passes = 0;
    for (std::size_t i = 0; i < progress.percents.size(); ++i)
      passes += i == 0 || progress.percents[i] < progress.percents[i - 1];
    if (values.count("passes")) { EXPECT_EQ(std::to_string(passes), values["passes"]) << progress.summary(); }
    for (const CaseField& f : c.fields) {
      if (f.key.rfind("expect", 0) != 0) continue;
      const std::string wanted = f.key == "expect" ? decodeCaseValue(f.value) : readBytes(KLV_SOURCE_DIR "/" + f.value);
      EXPECT_EQ(visible(readBytes((root / f.name).string())), visible(wanted)) << f.name;
      unchanged.erase(f.name);
    }
    if (values.count("files")) {
      std::string listing;
      for (const auto& entry : snapshot(root.string())) listing += (listing.empty() ? "" : " ") + entry.first;
      EXPECT_EQ(listing, values["files"]) << "the files afterwards";
    }
    for (const auto& [name, bytes] : unchanged) EXPECT_EQ(visible(readBytes((root / name).string())), visible(bytes)) << name;
  }
};

TEST_F(CaseRunner, EveryCaseFile) {
  const std::vector<TestCase> cases = readCaseFiles(KLV_SOURCE_DIR);
  for (std::size_t i = 0; i < cases.size(); ++i) run(cases[i], folder / ("case" + std::to_string(i + 1)));
  EXPECT_GT(cases.size(), 100u) << "the cases under " KLV_SOURCE_DIR "/tests/cases";
}

}  // namespace
