#include "route/route_rules.h"

#include <climits>
#include <limits>

#include "signals/signal_rewrite.h"
#include "state/app_state.h"
#include "text/numbers.h"
#include "text/random.h"

namespace {

inline int clampInt(long long value, int low, int high) {
  return static_cast<int>(value < low ? low : value > high ? high : value);
}

// A number read as double, held in single precision: a value beyond its range becomes infinite.
float toSingle(double value) {
  const double largest = std::numeric_limits<float>::max();
  if (value > largest) return std::numeric_limits<float>::infinity();
  if (value < -largest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// Reads one field of a command in the route's own form.
int readRouteField(TextBuffer& source, char* dest, int size, bool csvForm) {
  return csvForm ? readCsvField(source, dest, size) : readRwField(source, dest, size);
}

}  // namespace

bool beginRewritePass(RewritePass& pass, const char* sourcePath, const char* outputPath, WindowHandle progressBar) {
  deleteFile(outputPath);  // no stale prepared route may outlive a failed pass
  pass.source = std::make_unique<TextBuffer>(sourcePath);
  if (!pass.source->isValid()) {
    pass.source.reset();
    showError("Unable to open source file for rewriting.", sourcePath);
    return false;
  }
  if (pass.source->endsEarly()) {
    pass.source.reset();
    showError(sourceEndsEarlyText, sourcePath);
    return false;
  }
  pass.output = std::make_unique<TextBuffer>(passOutputSize);
  if (!pass.output->isValid()) {
    pass.source.reset();
    pass.output.reset();
    showError("Unable to write the prepared route.", outputPath);
    return false;
  }
  pass.progress.bar = progressBar;
  return true;
}

bool finishRewritePass(RewritePass& pass, const char* outputPath) {
  pass.source.reset();
  bool ok = true;
  if (pass.output->wasCut()) {
    showError("The prepared route would be longer than 1048576 characters.", outputPath);
    ok = false;
  } else if (takeRightsRefused(), !pass.output->saveAs(outputPath)) {  // a refusal of this save only
    const bool refused = takeRightsRefused();
    deleteFile(outputPath);  // a partly written route must not be started
    const std::string path(outputPath), folder = path.substr(0, path.find_last_of("\\/") + 1);
    if (refused) showError(rightsRefusedText, folder.empty() ? "." : folder.substr(0, folder.size() - 1).c_str());
    else showError("Unable to write the prepared route.", outputPath);
    ok = false;
  }
  pass.output.reset();
  return ok;
}

void putTerminator(TextBuffer& out, int terminator) {
  if (terminator != 0 && !isEndOfText(terminator)) out.putChar(terminator);
}

void putField(TextBuffer& out, const char* field, int terminator) {
  out.putText(field);
  putTerminator(out, terminator);
}

void putNumber(TextBuffer& out, int value) {
  char digits[16];
  char* first = digits + sizeof digits - 1;
  *first = '\0';
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  out.putText(first);
}

int drawBelow(int n) {
  int draw = drawRandom();
  return n > 0 ? draw % n : 0;
}

long long drawShift(int spread) {
  return drawBelow(clampInt(2LL * spread + 1, 0, INT_MAX)) - static_cast<long long>(spread);
}

int intervalPlusOrMinus(const char* field) {
  return clampInt(parseWholeNumber(field) + drawShift(appState.options.intervalSpread), 20, 600);
}

int forcedInterval() {
  const StartOptions& o = appState.options;
  long long span = static_cast<long long>(o.intervalMax) - o.intervalMin + 1;
  return o.intervalMin + drawBelow(clampInt(span, 0, INT_MAX));  // stays at most intervalMax
}

int cantForRadius(int radius) {
  int r = clampInt(radius, -400000, 400000);
  if (r == 0) return 0;
  return clampInt(400000 / r, -160, 160);
}

int randomStarterAspect() { return drawBelow(2); }

void rewriteSignalCommand(TextBuffer& source, TextBuffer& out, bool csvForm) {
  const int commandEnd = csvForm ? ',' : ')';
  char field[routeFieldSize];
  char label[signalLabelSize] = "";
  float x = 0, y = 0;
  int type = 1;
  int t = readRouteField(source, field, sizeof field, csvForm);
  int number = parseWholeNumber(field);
  if (t != commandEnd) t = readRouteField(source, label, sizeof label, csvForm);
  if (t != commandEnd) {
    t = readRouteField(source, field, sizeof field, csvForm);
    x = toSingle(parseNumber(field));
  }
  if (t != commandEnd) {
    t = readRouteField(source, field, sizeof field, csvForm);
    y = toSingle(parseNumber(field));
  }
  if (t != commandEnd) {
    readRouteField(source, field, sizeof field, csvForm);
    type = parseWholeNumber(field);
  }
  rewriteSignal(out, number, label, x, y, type, true, csvForm);
}

void rewriteRelayCommand(TextBuffer& source, TextBuffer& out, bool csvForm) {
  const int commandEnd = csvForm ? ',' : ')';
  char field[routeFieldSize];
  float y = 0;
  int t = readRouteField(source, field, sizeof field, csvForm);
  float x = toSingle(parseNumber(field));
  if (t != commandEnd) {
    readRouteField(source, field, sizeof field, csvForm);
    y = toSingle(parseNumber(field));
  }
  rewriteSignal(out, 0, "", x, y, 0, false, csvForm);
}
