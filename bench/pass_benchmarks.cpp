// Benchmarks of the route passes, each through its public operation, over the generated routes
// (about 1 MB each; --route-bytes=N chooses another size), and of whole builds of each kind of
// route with and without a signal system. Throughput is counted in bytes of the route file. The
// routes and their program folder are written once into a temporary folder, which is the current
// directory while the benchmarks run, as the program's folder is for the program.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "route/build_driver.h"
#include "route/csv_rewrite.h"
#include "route/rw_rewrite.h"
#include "route_generator.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/random.h"

namespace {

namespace fs = std::filesystem;

int routeBytes = bench::defaultRouteBytes;
std::vector<std::string> messages;  // what the passes showed; a sound run shows nothing

// The starting options of bench.cfg, the train "Local", the prepared routes in "out", and with
// `signals` the signal system Semaphores engaged.
void setUpBuild(bool signals) {
  initAppState();
  loadConfig("bench.cfg");
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "out%cklvtemp.csv", pathSeparator);
  std::snprintf(appState.rwOutPath, sizeof appState.rwOutPath, "out%cklvtemp.rw", pathSeparator);
  std::snprintf(appState.browseFolder, sizeof appState.browseFolder, ".");
  std::snprintf(appState.trainName, sizeof appState.trainName, "Local");
  std::snprintf(appState.signalSystem, sizeof appState.signalSystem, signals ? "Semaphores" : "Zelvik default");
  appState.swapSignals = signals;
  speeds[0] = signaldef[0] = relaydef[0] = '\0';
  if (signals) loadSignalSystemDefs();
  messages.clear();
}

// Runs `pass` once per iteration with the same random draws each time, and counts the bytes of
// `route` as the work done.
template <typename Pass>
void measure(benchmark::State& state, const char* route, Pass pass) {
  for (auto _ : state) {
    seedRandom(1);
    if (!pass()) {
      state.SkipWithError("the pass failed");
      break;
    }
  }
  if (!messages.empty()) state.SkipWithError(messages.front().c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(route)));
}

void csvRewriting(benchmark::State& state) {
  setUpBuild(false);
  measure(state, "bench.csv", [] { return rewriteCsvRoute("bench.csv", nullptr); });
}
BENCHMARK(csvRewriting)->Unit(benchmark::kMillisecond);

void rwRewriting(benchmark::State& state) {
  setUpBuild(false);
  measure(state, "bench.rw", [] { return rewriteRwRoute("bench.rw", nullptr); });
}
BENCHMARK(rwRewriting)->Unit(benchmark::kMillisecond);

// Every expansion cycle of one macro run: two passes over bench.klf, whose includes and macro
// definitions ask for a second one.
void preprocessing(benchmark::State& state) {
  setUpBuild(false);
  measure(state, "bench.klf", [] {
    resetSymbolStores();
    return preprocessRoute("bench.klf", nullptr);
  });
}
BENCHMARK(preprocessing)->Unit(benchmark::kMillisecond);

// One pass over the expanded bench.klf ("klv.tmp", made once beforehand).
void processing(benchmark::State& state) {
  setUpBuild(false);
  resetSymbolStores();
  if (!preprocessRoute("bench.klf", nullptr)) {
    state.SkipWithError("bench.klf could not be preprocessed");
    return;
  }
  measure(state, "bench.klf", [] { return processRoute(appState.csvOutPath, nullptr); });
}
BENCHMARK(processing)->Unit(benchmark::kMillisecond);

// buildRoute of bench.rw (kind 1), bench.csv (2) or bench.klf (3), without or with a signal
// system.
void wholeBuild(benchmark::State& state) {
  static const char* const routes[] = {"", "bench.rw", "bench.csv", "bench.klf"};
  const int kind = static_cast<int>(state.range(0));
  setUpBuild(state.range(1) != 0);
  std::snprintf(appState.routeFile, sizeof appState.routeFile, "%s", routes[kind]);
  appState.routeKind = static_cast<std::int8_t>(kind);
  measure(state, routes[kind], [] {
    buildRoute(nullptr);
    return !appState.buildFailed;
  });
}
BENCHMARK(wholeBuild)->ArgNames({"kind", "signals"})->ArgsProduct({{1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

// Takes --route-bytes=N out of the arguments.
void readRouteBytes(int& argc, char** argv) {
  const char option[] = "--route-bytes=";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], option, sizeof option - 1) == 0) {
      routeBytes = std::atoi(argv[i] + sizeof option - 1);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
}

}  // namespace

int main(int argc, char** argv) {
  readRouteBytes(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv) || routeBytes <= 0) return 1;

  const fs::path previous = fs::current_path();
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path folder = fs::temp_directory_path() / ("klevane-bench-" + std::to_string(stamp));
  fs::create_directories(folder / "out");
  fs::current_path(folder);
  keepReleasedMemory();  // as klevane-prepare does
  setMessageHandler([](const MessageBoxCall& call) {
    messages.push_back(call.text);
    return static_cast<int>(answerNo);
  });
  int status = 0;
  if (bench::writeBenchFolder(".", routeBytes)) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    std::fprintf(stderr, "klv-benchmarks: cannot write the routes into %s\n", folder.string().c_str());
    status = 1;
  }
  benchmark::Shutdown();
  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return status;
}
