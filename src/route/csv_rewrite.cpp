#include "route/csv_rewrite.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "macro/keyword_table.h"
#include "route/route_rules.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"
#include "text/numbers.h"
#include "text/text_buffer.h"

namespace {

// Indices of the csv keyword group.
enum CsvCommand : int {
  csvFolder = 0,
  csvAccuracy,
  csvAdhesion,
  csvSta,
  csvStation,
  csvRunInterval,
  csvDeveloperId,
  csvCurve,
  csvSignal,
  csvSig,
  csvRelay,
  csvSignalIndex,
};

constexpr int stationFieldCount = 11;

const KeywordStarts csvStarts(KeywordGroup::CsvKeyword);

// A '.' begins a command wherever a keyword follows it, even inside a number or a file name.
const RunStops commandStart("", ".", csvStarts.pairsAt(0).c_str());

// The state of one csv rewriting.
struct CsvRewrite {
  TextBuffer& source;
  TextBuffer& out;
  const StartOptions& options;
  char field[routeFieldSize];
  bool needDeveloperId;
  bool needRunInterval;
};

// Writes '.' and a keyword of the group, in the table's lower case.
void putCommand(CsvRewrite& r, int command) {
  r.out.putChar('.');
  r.out.putText(csvStarts.entry(command));
}

// The route's train folder gives way to the selected train's; a custom signal system's speeds
// text follows it.
void rewriteFolder(CsvRewrite& r) {
  int t = skipField(r.source, false);
  putCommand(r, csvFolder);
  r.out.putChar(' ');
  r.out.putText(appState.trainName);
  r.out.putChar('\r');
  putTerminator(r.out, t);
  if (appState.swapSignals) {
    r.out.putText("\r\n");
    r.out.putText(speeds);
    r.out.putText("\r\n");
  }
}

void rewriteAccuracy(CsvRewrite& r) {
  putCommand(r, csvAccuracy);
  r.out.putChar(' ');
  if (!r.options.randomTrackQuality) return;
  int t = skipField(r.source, false);
  putNumber(r.out, drawBelow(3) + 1);
  putTerminator(r.out, t);
}

void rewriteAdhesion(CsvRewrite& r) {
  putCommand(r, csvAdhesion);
  r.out.putChar(' ');
  int t = readCsvField(r.source, r.field, routeFieldSize);
  if (r.options.adhesionMode == adhesionRandomize) {
    long long value = parseWholeNumber(r.field) + drawShift(r.options.adhesionSpread);
    putNumber(r.out, value > 250 ? 250 : value < 50 ? 50 : static_cast<int>(value));
    putTerminator(r.out, t);
  } else if (r.options.adhesionMode == adhesionSuper) {
    putField(r.out, "250", t);
  } else {
    putField(r.out, r.field, t);
  }
}

// The minimum waiting time moved by -20..+20 seconds, at least 5.
int stationWait(const char* field) {
  long long value = static_cast<long long>(parseWholeNumber(field)) - 20 + drawBelow(41);
  return value < 5 ? 5 : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// The fields of a station command, up to the ',' that ends it. A line end does not end the list,
// so a short station command lends its remaining field places to the text that follows.
void rewriteStationFields(CsvRewrite& r) {
  bool keepStarterAspect = false;
  for (int i = 0; i < stationFieldCount; ++i) {
    int t = readCsvField(r.source, r.field, routeFieldSize);
    if (i == 1) {
      keepStarterAspect = std::strpbrk(r.field, "pP") != nullptr;
      putField(r.out, r.field, t);
    } else if (i == 5 && !keepStarterAspect && r.options.randomStarterAspect) {
      putNumber(r.out, randomStarterAspect());
      putTerminator(r.out, t);
    } else if (i == 8 && r.options.randomStationWait) {
      putNumber(r.out, stationWait(r.field));
      putTerminator(r.out, t);
    } else if (i == 9 && r.options.randomStationJam) {
      putNumber(r.out, drawBelow(240) + 10);
      putTerminator(r.out, t);
    } else {
      putField(r.out, r.field, t);
    }
    if (t == ',' || isEndOfText(t)) return;
  }
}

// Both forms become "sta " and a blank.
void rewriteStation(CsvRewrite& r) {
  putCommand(r, csvSta);
  r.out.putChar(' ');
  const StartOptions& o = r.options;
  if (o.randomStationJam || o.randomStationWait || o.randomStarterAspect) rewriteStationFields(r);
}

void rewriteRunInterval(CsvRewrite& r) {
  int t = readCsvField(r.source, r.field, routeFieldSize);
  putCommand(r, csvRunInterval);
  r.out.putChar(' ');
  if (r.options.intervalMode == intervalRandomize) {
    putNumber(r.out, intervalPlusOrMinus(r.field));
  } else if (r.options.intervalMode == intervalForce) {
    putNumber(r.out, forcedInterval());
    r.needRunInterval = false;
  } else {
    r.out.putText(r.field);
  }
  r.out.putChar('\r');
  putTerminator(r.out, t);
}

void rewriteDeveloperId(CsvRewrite& r) {
  int t = skipField(r.source, false);
  putCommand(r, csvDeveloperId);
  r.out.putText(" 40752918\r");
  putTerminator(r.out, t);
  r.needDeveloperId = false;
}

// For a tilting train the cant follows from the radius; the route's own cant is dropped.
void rewriteCurve(CsvRewrite& r) {
  putCommand(r, csvCurve);
  if (!r.options.tiltingTrain) return;
  int t = readCsvField(r.source, r.field, routeFieldSize);
  r.out.putText(r.field);
  r.out.putChar(';');
  putNumber(r.out, cantForRadius(parseWholeNumber(r.field)));
  r.out.putChar(',');
  if (t != ',') skipField(r.source, false);
}

void rewriteCommand(CsvRewrite& r, int command) {
  switch (command) {
    case csvFolder: return rewriteFolder(r);
    case csvAccuracy: return rewriteAccuracy(r);
    case csvAdhesion: return rewriteAdhesion(r);
    case csvSta:
    case csvStation: return rewriteStation(r);
    case csvRunInterval: return rewriteRunInterval(r);
    case csvDeveloperId: return rewriteDeveloperId(r);
    case csvCurve: return rewriteCurve(r);
    case csvSignal:
    case csvSig:
      if (appState.swapSignals) return rewriteSignalCommand(r.source, r.out, true);
      return putCommand(r, csvSignal);
    case csvRelay:
      if (appState.swapSignals) return rewriteRelayCommand(r.source, r.out, true);
      return putCommand(r, csvRelay);
    case csvSignalIndex:
      putCommand(r, csvSignalIndex);
      if (!appState.swapSignals) return;
      r.out.putText("-1) 210\r\n");  // the system's signals replace the route's own signal files
      skipField(r.source, false);
      return;
    default:
      r.out.putChar('.');  // a '.' that begins no command
      return;
  }
}

// Every prepared route carries the developer id, and a forced interval needs a run interval.
void appendMissingBlocks(CsvRewrite& r) {
  if (r.needDeveloperId) r.out.putText("\r\n,\r\nRoute.DeveloperId 40752918\r\n,");
  if (r.options.intervalMode == intervalForce && r.needRunInterval) {
    r.out.putText("\r\n,\r\nRoute.RunInterval ");
    putNumber(r.out, forcedInterval());
    r.out.putText("\r\n,");
  }
}

}  // namespace

int matchCsvKeyword(TextBuffer& source) {
  const int start = source.getPosition();
  const int available = source.getLength() - start;
  if (available <= 0) return -1;
  const char* at = source.getText() + start;
  for (std::uint64_t candidates = csvStarts.entriesStartingWith(at[0]); candidates != 0;
       candidates = withoutLowestEntry(candidates)) {
    const int i = lowestEntry(candidates);
    if (csvStarts.standsAt(i, at, available)) {
      source.setPosition(start + csvStarts.entryLength(i), FromStart);
      return i;
    }
  }
  return -1;
}

bool rewriteCsvRoute(const char* sourcePath, WindowHandle progressBar) {
  RewritePass pass;
  if (!beginRewritePass(pass, sourcePath, appState.csvOutPath, progressBar)) return false;
  CsvRewrite r{*pass.source, *pass.output, appState.options, {}, true, true};
  for (;;) {
    r.out.copyRun(r.source, commandStart, pass.runLimit());
    int c = r.source.getChar();
    if (c == -1) break;
    if (c == '.') {
      rewriteCommand(r, matchCsvKeyword(r.source));
    } else {
      r.out.putChar(c);
    }
    pass.reportProgress();
  }
  appendMissingBlocks(r);
  return finishRewritePass(pass, appState.csvOutPath);
}
