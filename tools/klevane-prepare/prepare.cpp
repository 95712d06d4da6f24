// klevane-prepare: prepares a route exactly as Klevane does once the starting options are
// confirmed, without starting the simulator, for route authors who want to see what a route
// becomes, and for scripts. The current directory is the program folder: "klv.cfg", the signal
// system folders and the temporary files are there, as for the program.
#include "klevane-prepare/prepare.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/route_browser.h"
#include "macro/route_check.h"
#include "route/build_driver.h"
#include "route/route_info.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "state/start_log.h"
#include "text/random.h"

namespace {

const char usage[] =
    "Usage: klevane-prepare [OPTIONS] ROUTE\n"
    "       klevane-prepare --info ROUTE\n"
    "       klevane-prepare --list-signal-systems\n"
    "       klevane-prepare --replay [N] [OPTIONS]\n"
    "       klevane-prepare --check ROUTE\n"
    "\n"
    "Prepares ROUTE (.rw, .csv or .klf, by the last letter of its name) as Klevane does before it\n"
    "starts the simulator, and prints the path of the prepared route. The current directory is\n"
    "the program folder, with klv.cfg and the signal systems.\n"
    "\n"
    "  --train NAME           the selected train (default: none)\n"
    "  --seed N               seed of the random choices (default: the time)\n"
    "  --answer yes|no        the answer to every #choice question (default: ask on the\n"
    "                         terminal, or no when standard input is not one)\n"
    "  --config FILE          starting options and signal system from FILE (default: ./klv.cfg)\n"
    "  --signal-system NAME   use this signal system instead of the configured one\n"
    "  --out-dir DIR          where klvtemp.csv or klvtemp.rw is written (default: ROUTE's folder)\n"
    "  --replay [N]           prepare again the route of the Nth newest start in klevane.log (default\n"
    "                         1): its route, train, options, signal system, seed and answers\n"
    "  --info ROUTE           show the route's name, default train and description\n"
    "  --check ROUTE          report the mistakes of ROUTE and the files it includes, each as\n"
    "                         FILE:LINE:COLUMN: warning: TEXT (or error:), without preparing it\n"
    "  --list-signal-systems  list the signal systems: name, a tab, folder\n"
    "  --help                 show this text\n"
    "\n"
    "Exit status: 0 prepared, 1 the preparation failed, 2 wrong usage.\n";

struct Arguments {
  std::string route;
  std::string train;
  std::string config = "klv.cfg";
  std::string signalSystem;
  std::string outDir;
  std::string answer;
  bool seedGiven = false;
  unsigned long seed = 0;
  bool info = false;
  bool check = false;
  bool list = false;
  bool help = false;
  bool signalSystemGiven = false;
  int replay = 0;  // the start of klevane.log to prepare again, counted from the newest
  std::string answers;  // of a replayed start, in order: 'y' or 'n' each
};

int usageError(std::ostream& err, const std::string& problem) {
  err << "klevane-prepare: " << problem << "\n\n" << usage;
  return 2;
}

// Reads the options; an empty result means they are sound, otherwise it says what is wrong.
std::string parseArguments(int argc, char** argv, Arguments& a) {
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string seedText;
    if (option == "--help" || option == "-h") {
      a.help = true;
    } else if (option == "--list-signal-systems") {
      a.list = true;
    } else if (option == "--info") {
      a.info = true;
    } else if (option == "--check") {
      a.check = true;
    } else if (option == "--train") {
      if (!value(a.train)) return "--train needs a value";
    } else if (option == "--config") {
      if (!value(a.config)) return "--config needs a value";
    } else if (option == "--signal-system") {
      if (!value(a.signalSystem)) return "--signal-system needs a value";
      a.signalSystemGiven = true;
    } else if (option == "--out-dir") {
      if (!value(a.outDir)) return "--out-dir needs a value";
    } else if (option == "--answer") {
      if (!value(a.answer)) return "--answer needs a value";
      if (a.answer != "yes" && a.answer != "no") return "--answer takes yes or no";
    } else if (option == "--seed") {
      if (!value(seedText)) return "--seed needs a value";
      char* end = nullptr;
      a.seed = std::strtoul(seedText.c_str(), &end, 10);
      if (seedText.empty() || *end != '\0' || seedText[0] == '-') return "--seed takes a whole number";
      a.seedGiven = true;
    } else if (option == "--replay") {
      a.replay = 1;
      if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9') {
        char* end = nullptr;
        a.replay = static_cast<int>(std::strtol(argv[++i], &end, 10));
        if (*end != '\0' || a.replay < 1) return "--replay takes a whole number from 1";
      }
    } else if (option.size() > 1 && option[0] == '-') {
      return "unknown option " + option;
    } else if (a.route.empty()) {
      a.route = option;
    } else {
      return "more than one route given";
    }
  }
  if (a.help || a.list) return "";
  if (a.replay && !a.route.empty()) return "--replay takes no route";
  if (a.route.empty() && !a.replay) return "no route given";
  return "";
}

// browseFolder and routeFile from the route as given.
void selectRoute(const std::string& route) {
  std::size_t cut = route.find_last_of("/\\");
  std::string folder = cut == std::string::npos ? "." : route.substr(0, cut);
  if (cut == 0) folder = route.substr(0, 1);  // a file in the root folder
  std::string file = cut == std::string::npos ? route : route.substr(cut + 1);
  std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "%s", folder.c_str());
  std::snprintf(appState.routeFile, sizeof appState.routeFile, "%s", file.c_str());
  appState.routeKind = static_cast<std::int8_t>(routeKindOf(file.c_str()));
}

// Messages go to standard error; a #choice question is answered as the options say, or as a
// replayed start's answers do, in order (no once they run out).
void installMessageHandler(const Arguments& a, std::ostream& err) {
  auto next = std::make_shared<std::size_t>(0);
  const std::string answer = a.answer, answers = a.answers;
  const int replay = a.replay;
  setMessageHandler([answer, answers, replay, next, &err](const MessageBoxCall& call) {
    if ((call.style & 0xF) != mbYesNo) {
      err << "Error: " << call.text << "\n";
      return static_cast<int>(answerOk);
    }
    if (replay) return static_cast<int>(*next < answers.size() && answers[(*next)++] == 'y' ? answerYes : answerNo);
    if (!answer.empty()) return static_cast<int>(answer == "yes" ? answerYes : answerNo);
    if (!standardInputIsTerminal()) return static_cast<int>(answerNo);
    err << call.text << " [y/n] " << std::flush;
    std::string reply;
    std::getline(std::cin, reply);
    return static_cast<int>(!reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? answerYes : answerNo);
  });
}

bool isDefaultSystem(const std::string& name) {
  const char defaultName[] = "zelvik default";
  if (name.size() != sizeof defaultName - 1) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != defaultName[i]) return false;
  }
  return true;
}

void printRouteInfo(std::ostream& out) {
  RouteInfo info = showRouteInfo();
  std::string description;
  for (char c : info.description) {
    if (c != '\r') description += c;  // the dialog's CR LF breaks as plain lines
  }
  out << "Route name: " << info.routeName << "\n"
            << "Default train: " << info.defaultTrain << "\n"
            << "Description:\n"
            << description << "\n";
}

int prepare(const Arguments& a, std::ostream& out) {
  std::string outDir = a.outDir.empty() ? appState.browseFolder : a.outDir;
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "%s%cklvtemp.csv", outDir.c_str(), pathSeparator);
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "%s%cklvtemp.rw", outDir.c_str(), pathSeparator);
  std::snprintf(appState.trainName, sizeof appState.trainName, "%s", a.train.c_str());
  std::string system = a.signalSystemGiven ? a.signalSystem : appState.signalSystem;
  appState.swapSignals = !system.empty() && !isDefaultSystem(system);
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", system.c_str());
  if (appState.swapSignals) loadSignalSystemDefs();  // a failure has shown its message; templates stay empty
  seedRandom(a.seedGiven ? static_cast<std::uint32_t>(a.seed) : timeSeed());
  buildRoute(nullptr);
  if (appState.buildFailed) return 1;
  out << (appState.outputIsCsv ? appState.csvOutPath : appState.rwOutPath) << "\n";
  return 0;
}

}  // namespace

int runPrepare(int argc, char** argv, std::ostream& out, std::ostream& err) {
  Arguments a;
  std::string problem = parseArguments(argc, argv, a);
  if (!problem.empty()) return usageError(err, problem);
  if (a.help) {
    out << usage;
    return 0;
  }
  StartRecord start;
  if (a.replay) {
    if (!readStartLog(a.replay, start)) {
      return usageError(err, "klevane.log holds no start " + std::to_string(a.replay));
    }
    a.route = start.route, a.train = start.train, a.signalSystem = start.signalSystem, a.signalSystemGiven = true;
    a.seed = start.seed, a.seedGiven = true, a.answers = start.answers;
  }
  installMessageHandler(a, err);
  initAppState();
  if (a.list) {
    for (const SignalSystemEntry& entry : scanSignalSystems()) out << entry.name << "\t" << entry.folder << "\n";
    return 0;
  }
  selectRoute(a.route);
  if (appState.routeKind == 0) return usageError(err, "the route's name must end in w, v or f (.rw, .csv, .klf)");
  if (a.info) {
    printRouteInfo(out);
    return 0;
  }
  if (a.check) {
    const std::vector<RouteFinding> findings = checkRoute(a.route);
    for (const RouteFinding& f : findings) {
      err << f.file << ":" << f.line << ":" << f.column << (f.error ? ": error: " : ": warning: ") << f.text << "\n";
    }
    return findings.empty() ? 0 : 1;
  }
  if (a.config != "klv.cfg" && !fileExists(a.config.c_str())) return usageError(err, "cannot read " + a.config);
  loadConfig(a.config.c_str());
  if (a.replay) appState.options = start.options;
  selectRoute(a.route);  // the configuration's folders do not apply here
  return prepare(a, out);
}
