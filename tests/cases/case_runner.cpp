// Runs the case files tests/cases/*.txt: each case lays out its files in a fresh folder, runs
// klevane-prepare in-process with its arguments, and compares the exit status, what was printed,
// the progress reports and the files afterwards, byte for byte. A file the case wrote and does not
// expect to change must keep its bytes.
//
// A case file is a list of cases; a line beginning with "//" is a comment. A case begins with
// "== title" and has one field a line, "key: value" or "key NAME: value"; a line beginning with
// "| " continues the value before it. Values are bytes with escapes: \r, \n, \t, \\, \xHH, and
// \{N:TEXT} for TEXT written N times, where \# in TEXT stands for the round, 0 to N - 1 (\} is a
// brace in TEXT). Paths are relative to the case's folder and use '/'.
//   file NAME      a file to lay out before the run
//   route NAME     the same, and NAME goes last on the command line
//   copy NAME      a folder of the repository (examples/routes), copied to the same path
//   options        klv.cfg in the folder the tool runs in, from its option lines and signal system:
//                  "1 0 0 0 0 0 | 651 30 30 240 | 654 20 | Semaphores"
//   args           the arguments before the routes (default "--seed 1 --train New")
//   dir            the folder the tool runs in, the program folder (default: the case's folder)
//   exit           the exit status (default 0)
//   stderr         everything on standard error, "Error: " and a message a line (default: nothing)
//   stdout         everything on standard output (not checked when not given)
// A stdout or stderr ending in "..." gives only the beginning of what was printed.
//   progress       the progress reports, runs of consecutive percentages as "first-last"
//   passes         how many passes reported progress (each starts lower than the one before ended)
//   expect NAME    the exact bytes of a file afterwards ("<missing>": no such file)
//   expect-file NAME  the same, the bytes given by a file of the repository
//   files          every file under the case's folder afterwards, sorted, blank between
// In stdout and stderr a backslash counts as a slash, for the paths of either platform.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "klevane-prepare/prepare.h"
#include "macro/symbol_stores.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct Field {
  std::string key;   // "route", "expect", "stderr", ...
  std::string name;  // the file a field names, if any
  std::string value;
};

struct Case {
  std::string where;  // file:line of its heading
  std::string title;
  std::vector<Field> fields;
};

// The index of the section \{N:TEXT} being repeated, put where TEXT holds \#.
std::string decode(const std::string& text, std::size_t& i, char end, int index) {
  std::string out;
  while (i < text.size() && text[i] != end) {
    char c = text[i++];
    if (c != '\\' || i == text.size()) {
      out += c;
      continue;
    }
    char e = text[i++];
    if (e == 'r') out += '\r';
    else if (e == 'n') out += '\n';
    else if (e == 't') out += '\t';
    else if (e == '#') out += std::to_string(index);
    else if (e == 'x') {
      out += static_cast<char>(std::strtol(text.substr(i, 2).c_str(), nullptr, 16));
      i += 2;
    } else if (e == '{') {
      std::size_t colon = text.find(':', i);
      int count = std::atoi(text.substr(i, colon - i).c_str());
      std::size_t start = colon + 1, stop = start;
      for (int n = 0; n < count; ++n) {
        stop = start;
        out += decode(text, stop, '}', n);
      }
      if (count == 0) decode(text, stop, '}', 0);
      i = stop + 1;
    } else {
      out += e;  // \\ and \} stand for themselves
    }
  }
  return out;
}

std::string decode(const std::string& text) {
  std::size_t i = 0;
  return decode(text, i, '\0', 0);
}

// The bytes with CR, LF, tab, backslash and bytes outside ASCII written as escapes.
std::string visible(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\\') out += "\\\\";
    else if (c < 0x20 || c > 0x7E) {
      const char digits[] = "0123456789ABCDEF";
      out += std::string("\\x") + digits[c >> 4] + digits[c & 15];
    } else out += static_cast<char>(c);
  }
  return out;
}

std::vector<Case> readCases(const std::string& path) {
  std::vector<Case> cases;
  std::istringstream in(readBytes(path));
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.rfind("//", 0) == 0) continue;
    if (line.rfind("== ", 0) == 0) {
      cases.push_back({path + ":" + std::to_string(number), line.substr(3), {}});
    } else if (line.rfind("| ", 0) == 0 && !cases.empty() && !cases.back().fields.empty()) {
      cases.back().fields.back().value += line.substr(2);
    } else {
      std::size_t colon = line.find(": ");
      if (colon == std::string::npos) colon = line.size() - (line.back() == ':' ? 1 : 0);
      std::string head = line.substr(0, colon);
      std::size_t blank = head.find(' ');
      Field field{head.substr(0, blank), blank == std::string::npos ? "" : head.substr(blank + 1),
                  colon + 2 <= line.size() ? line.substr(colon + 2) : ""};
      if (cases.empty()) ADD_FAILURE() << path << ":" << number << ": a field before the first case";
      else cases.back().fields.push_back(field);
    }
  }
  return cases;
}

// Splits arguments at blanks; double quotes keep blanks inside an argument.
std::vector<std::string> splitArguments(const std::string& text) {
  std::vector<std::string> arguments;
  std::string current;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted, any = true;
    else if (c == ' ' && !quoted) {
      if (any) arguments.push_back(current);
      current.clear();
      any = false;
    } else current += c, any = true;
  }
  if (any) arguments.push_back(current);
  return arguments;
}

std::string withSlashes(std::string text) {
  for (char& c : text) if (c == '\\') c = '/';
  return text;
}

// What was printed, as a case gives it: with slashes, and cut after the length of a given
// beginning ("...").
std::string printed(const std::string& actual, const std::string& wanted) {
  bool beginning = wanted.size() >= 3 && wanted.compare(wanted.size() - 3, 3, "...") == 0;
  return visible(withSlashes(beginning ? actual.substr(0, wanted.size() - 3) + "..." : actual));
}

// A fresh process: no signal system, no symbols, nothing selected.
void freshProcess() {
  appState = AppState();
  speeds[0] = signaldef[0] = relaydef[0] = signalSystemFolder[0] = '\0';
  resetSymbolStores();
}

class CaseRunner : public WorkFolderTest {
 protected:
  void run(const Case& c, const fs::path& root) {
    SCOPED_TRACE(c.where + ": " + c.title);
    fs::create_directories(root);
    std::string arguments = "--seed 1 --train New", runIn = ".", stdoutWanted, stderrWanted, progressWanted;
    int exitWanted = 0, passesWanted = -1;
    bool checkStdout = false, checkProgress = false;
    std::vector<std::string> routes;
    std::map<std::string, std::string> written;
    for (const Field& f : c.fields) {
      if (f.key == "dir") runIn = f.value;
    }
    for (const Field& f : c.fields) {
      std::string value = decode(f.value);
      if (f.key == "copy") {
        fs::create_directories(root / f.name);
        fs::copy(fs::path(KLV_SOURCE_DIR) / f.name, root / f.name, fs::copy_options::recursive);
      } else if (f.key == "file" || f.key == "route") {
        writeBytes((root / f.name).string(), value);
        written[f.name] = value;
        if (f.key == "route") routes.push_back(f.name);
      } else if (f.key == "options") {
        std::string text = "sim\nroutes\ntrains\n" + value;
        for (std::size_t at; (at = text.find(" | ")) != std::string::npos;) text.replace(at, 3, "\n");
        fs::path config = root / runIn / "klv.cfg";
        writeBytes(config.string(), text);
        written[fs::relative(config, root).generic_string()] = text;
      } else if (f.key == "args") arguments = value;
      else if (f.key == "exit") exitWanted = std::atoi(value.c_str());
      else if (f.key == "stdout") stdoutWanted = value, checkStdout = true;
      else if (f.key == "stderr") stderrWanted = value;
      else if (f.key == "progress") progressWanted = value, checkProgress = true;
      else if (f.key == "passes") passesWanted = std::atoi(value.c_str());
    }
    std::vector<std::string> argv = {"klevane-prepare"};
    for (const std::string& a : splitArguments(arguments)) argv.push_back(a);
    for (const std::string& r : routes) argv.push_back(fs::relative(root / r, root / runIn).generic_string());
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(&a[0]);

    freshProcess();
    fs::path previous = fs::current_path();
    fs::current_path(root / runIn);
    std::ostringstream out, err;
    int status;
    {
      ProgressRecorder progress;
      status = runPrepare(static_cast<int>(pointers.size()), pointers.data(), out, err);
      setMessageHandler(nullptr);
      if (checkProgress) {
        EXPECT_EQ(progress.summary(), progressWanted) << "progress";
      }
      if (passesWanted >= 0) {
        int passes = 0;
        for (std::size_t i = 0; i < progress.percents.size(); ++i)
          passes += i == 0 || progress.percents[i] < progress.percents[i - 1];
        EXPECT_EQ(passes, passesWanted) << "passes: " << progress.summary();
      }
    }
    fs::current_path(previous);

    EXPECT_EQ(status, exitWanted) << "exit status; standard error: " << visible(err.str());
    if (checkStdout) {
      EXPECT_EQ(printed(out.str(), stdoutWanted), visible(withSlashes(stdoutWanted))) << "stdout";
    }
    EXPECT_EQ(printed(err.str(), stderrWanted), visible(withSlashes(stderrWanted))) << "stderr";
    checkFiles(c, root, written);
  }

  void checkFiles(const Case& c, const fs::path& root, std::map<std::string, std::string> unchanged) {
    for (const Field& f : c.fields) {
      if (f.key == "expect") {
        unchanged.erase(f.name);
        EXPECT_EQ(visible(readBytes((root / f.name).string())), visible(decode(f.value))) << f.name;
      } else if (f.key == "expect-file") {
        EXPECT_EQ(readBytes((root / f.name).string()), readBytes(KLV_SOURCE_DIR "/" + f.value)) << f.name;
      } else if (f.key == "files") {
        std::string listing;
        for (const auto& entry : snapshot(root.string())) listing += (listing.empty() ? "" : " ") + entry.first;
        EXPECT_EQ(listing, f.value) << "the files afterwards";
      }
    }
    for (const auto& [name, bytes] : unchanged) EXPECT_EQ(visible(readBytes((root / name).string())), visible(bytes)) << name;
  }
};

TEST_F(CaseRunner, EveryCaseFile) {
  int count = 0;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(KLV_SOURCE_DIR "/tests/cases")) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    for (const Case& c : readCases(file.string())) run(c, folder / ("case" + std::to_string(++count)));
  }
  EXPECT_GT(count, 0) << "no case found under " KLV_SOURCE_DIR "/tests/cases";
}

}  // namespace
