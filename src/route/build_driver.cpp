#include "route/build_driver.h"

#include <cstdio>
#include <string>

#include "macro/keyword_table.h"
#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "route/csv_rewrite.h"
#include "route/rw_rewrite.h"
#include "state/app_state.h"
#include "text/text_buffer.h"

namespace {

// Moves a pass's output aside under a temporary name, replacing an older file of that name.
bool moveAside(const char* from, const char* to) {
  deleteFile(to);
  if (renameFile(from, to)) return true;
  showError("Unable to move the prepared route aside.", from);
  return false;
}

// The rewriting by the starting options, then the macro run for the signal templates.
bool rewriteRoute(const char* source, WindowHandle progressBar, bool isCsv) {
  bool rewritten = isCsv ? rewriteCsvRoute(source, progressBar) : rewriteRwRoute(source, progressBar);
  if (!rewritten) return false;
  if (!appState.swapSignals) return true;
  const char* output = isCsv ? appState.csvOutPath : appState.rwOutPath;
  return moveAside(output, intermediateFile) && runMacroPasses(intermediateFile, progressBar, isCsv);
}

}  // namespace

bool hasFolderCommand(const char* path) {
  FILE* file = openFile(path, "rt");
  if (!file) return true;
  std::string pattern = std::string(".") + keyword(KeywordGroup::CsvKeyword, 0);
  bool found = findTextInFile(pattern.c_str(), file);
  std::fclose(file);
  return found;
}

bool runMacroPasses(const char* sourcePath, WindowHandle progressBar, bool toCsv) {
  resetSymbolStores();
  if (preprocessRoute(sourcePath, progressBar) &&
      processRoute(toCsv ? appState.csvOutPath : appState.rwOutPath, progressBar)) {
    deleteFile(preprocessedFile);
    deleteFile(intermediateFile);
    return true;
  }
  showError("An error occured during the (pre-)processing of the route. The route will not be playable.");
  return false;
}

void buildRoute(WindowHandle progressBar) {
  if (appState.routeKind < 1 || appState.routeKind > 3) return;
  std::string source = std::string(appState.browseFolder) + pathSeparator + appState.routeFile;
  bool isCsv = appState.routeKind == 2;
  if (appState.routeKind == 3) {
    isCsv = hasFolderCommand(source.c_str());
    if (!runMacroPasses(source.c_str(), progressBar, isCsv) ||
        !moveAside(isCsv ? appState.csvOutPath : appState.rwOutPath, preprocessedFile)) {
      appState.buildFailed = true;
      return;
    }
    source = preprocessedFile;  // the expanded route is the source of the rewriting
  }
  if (!rewriteRoute(source.c_str(), progressBar, isCsv)) {
    appState.buildFailed = true;
    return;
  }
  appState.outputIsCsv = isCsv;
}
