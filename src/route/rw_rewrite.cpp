#include "route/rw_rewrite.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "macro/keyword_table.h"
#include "route/route_rules.h"
#include "state/app_state.h"
#include "text/numbers.h"
#include "text/text_buffer.h"

namespace {

// Indices of the rw keyword group.
enum RwCommand : int {
  rwFile = 0,
  rwVelocity,
  rwInterval,
  rwRailway,
  rwDeveloperId,
  rwStation,
  rwSta,
  rwCurve,
  rwSignal,
  rwSig,
  rwRelay,
};

constexpr int firstRailwayCommand = rwStation;  // after [Railway] only the @-commands count
constexpr int stationFieldCount = 6;

// The state of one rw rewriting.
struct RwRewrite {
  TextBuffer& source;
  TextBuffer& out;
  const StartOptions& options;
  char field[routeFieldSize];
  bool inComment;
  bool railwayOnly;  // the [Railway] header has been passed
};

const KeywordStarts rwStarts(KeywordGroup::RwKeyword);

// Where a run of text outside comments ends: at the ';' of a comment, and at a character that
// begins a keyword of the group from `firstEntry` on, where the next two can continue one.
RunStops keywordStops(int firstEntry) {
  std::string firsts;
  for (int i = firstEntry; i < keywordCount(KeywordGroup::RwKeyword); ++i) {
    const char c = rwStarts.entry(i)[0];
    firsts += c;
    if (c >= 'a' && c <= 'z') firsts += static_cast<char>(c - 'a' + 'A');
  }
  return RunStops(";", firsts.c_str(), rwStarts.pairsAt(1, firstEntry).c_str());
}

const RunStops headerStops = keywordStops(0);
const RunStops railwayStops = keywordStops(firstRailwayCommand);
constexpr RunStops commentEnd("\r");  // a comment runs to the carriage return of its line

inline bool intervalRewritten(const StartOptions& o) {
  return o.intervalMode == intervalRandomize || o.intervalMode == intervalForce;
}

void putCommand(RwRewrite& r, int command) { r.out.putText(rwStarts.entry(command)); }

// The route's train file gives way to the selected train's folder.
void rewriteFile(RwRewrite& r) {
  int t = skipRwField(r.source);
  putCommand(r, rwFile);
  r.out.putChar(' ');
  r.out.putText(appState.trainName);
  r.out.putChar('\r');
  putTerminator(r.out, t);
}

// A changed interval goes with a velocity of 80..140.
void rewriteVelocity(RwRewrite& r) {
  putCommand(r, rwVelocity);
  r.out.putChar(' ');
  if (!intervalRewritten(r.options)) return;
  int t = skipRwField(r.source);
  putNumber(r.out, drawBelow(61) + 80);
  r.out.putChar('\r');
  putTerminator(r.out, t);
}

void rewriteInterval(RwRewrite& r) {
  putCommand(r, rwInterval);
  r.out.putChar(' ');
  int t = readRwField(r.source, r.field, routeFieldSize);
  if (r.options.intervalMode == intervalRandomize) {
    putNumber(r.out, intervalPlusOrMinus(r.field));
  } else if (r.options.intervalMode == intervalForce) {
    putNumber(r.out, forcedInterval());
  } else {
    r.out.putText(r.field);
  }
  r.out.putChar('\r');
  putTerminator(r.out, t);
}

// The developer id goes into a [Route] section of its own before the railway.
void rewriteRailway(RwRewrite& r) {
  r.out.putText("[Route]\r\nDeveloperID=40752918\r\n[Railway]\r\n");
  r.railwayOnly = true;
}

// Station fields are written back as read, but for the starter aspect (field 3) of a station
// whose field 1 holds none of l, L, p, P.
void rewriteStation(RwRewrite& r, int command) {
  putCommand(r, command);
  bool keepStarterAspect = false;
  for (int i = 0; i < stationFieldCount; ++i) {
    int t = readRwField(r.source, r.field, routeFieldSize);
    if (i == 1) keepStarterAspect = std::strpbrk(r.field, "lLpP") != nullptr;
    if (i == 3 && !keepStarterAspect && r.options.randomStarterAspect) {
      putNumber(r.out, randomStarterAspect());
      putTerminator(r.out, t);
    } else {
      putField(r.out, r.field, t);
    }
    if (t == ')' || isEndOfText(t)) return;
  }
}

// For a tilting train the cant follows from the radius; the route's own cant is dropped.
void rewriteCurve(RwRewrite& r) {
  putCommand(r, rwCurve);
  if (!r.options.tiltingTrain) return;
  int t = readRwField(r.source, r.field, routeFieldSize);
  r.out.putText(r.field);
  r.out.putChar(',');
  putNumber(r.out, cantForRadius(parseWholeNumber(r.field)));
  r.out.putChar(')');
  if (t != ')') skipRwField(r.source);
}

void rewriteCommand(RwRewrite& r, int command, int character) {
  switch (command) {
    case rwFile: return rewriteFile(r);
    case rwVelocity: return rewriteVelocity(r);
    case rwInterval: return rewriteInterval(r);
    case rwRailway: return rewriteRailway(r);
    case rwDeveloperId:
      skipRwField(r.source);  // key, value and line end vanish
      return;
    case rwStation:
    case rwSta: return rewriteStation(r, command);
    case rwCurve: return rewriteCurve(r);
    case rwSignal:
    case rwSig:
      if (appState.swapSignals) return rewriteSignalCommand(r.source, r.out, false);
      return putCommand(r, rwSignal);
    case rwRelay:
      if (appState.swapSignals) return rewriteRelayCommand(r.source, r.out, false);
      return putCommand(r, rwRelay);
    default:
      r.out.putChar(character);
      return;
  }
}

}  // namespace

int matchRwKeyword(TextBuffer& source, bool railwayOnly) {
  const int start = source.getPosition() - 1;  // the character in hand
  const int available = source.getLength() - start;
  const char* at = source.getText() + (start > 0 ? start : 0);
  std::uint64_t candidates = start >= 0 && available > 0 ? rwStarts.entriesStartingWith(at[0]) : 0;
  if (railwayOnly) candidates &= ~std::uint64_t{0} << firstRailwayCommand;
  for (; candidates != 0; candidates = withoutLowestEntry(candidates)) {
    const int i = lowestEntry(candidates);
    if (rwStarts.standsAt(i, at, available)) {
      source.setPosition(start + rwStarts.entryLength(i), FromStart);
      return i;
    }
  }
  source.setPosition(start + 1, FromStart);
  return -1;
}

bool rewriteRwRoute(const char* sourcePath, WindowHandle progressBar) {
  RewritePass pass;
  if (!beginRewritePass(pass, sourcePath, appState.rwOutPath, progressBar)) return false;
  RwRewrite r{*pass.source, *pass.output, appState.options, {}, false, false};
  for (;;) {
    if (r.inComment) {
      r.source.skipRun(commentEnd, INT_MAX);  // comments send no progress
    } else {
      r.out.copyRun(r.source, r.railwayOnly ? railwayStops : headerStops, pass.runLimit());
    }
    int c = r.source.getChar();
    if (c == -1) break;
    if (r.inComment) {
      if (c != '\r') continue;
      r.inComment = false;
    }
    if (c == ';') {
      r.inComment = true;
      continue;
    }
    rewriteCommand(r, matchRwKeyword(r.source, r.railwayOnly), c);
    pass.reportProgress();
  }
  return finishRewritePass(pass, appState.rwOutPath);
}
