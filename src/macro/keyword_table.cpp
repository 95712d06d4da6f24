#include "macro/keyword_table.h"

#include <cstring>

#include "build/text_buffer.h"
#include "macro/inline_eval.h"

namespace {

const char csvKeywords[][keywordLength] = {"folder", "accuracy", "adhesion", "sta ",  "station ", "runinterval",
                                           "developerid", "curve", "signal ", "sig ", "relay",    "signal("};
const char rwKeywords[][keywordLength] = {"file=",  "velocity=", "interval=", "[railway]", "developerid=", "@station(",
                                          "@sta(", "@curve(",   "@signal(",  "@sig(",     "@relay("};
const char commandKeywords[][keywordLength] = {
    "version<", "notes<>",  "endnotes<>", "playerselectstrain<", "selectedtrain<>", "if<",          "elseif<",
    "else<>",   "endif<>",  "rnd<",       "rnd25<",              "chance<",         "train<",       "setvalue<",
    "value<",   "setword<", "word<",      "include<",            "dv<",             "time<",        "repeat<>",
    "endrepeat<>", "breakrepeat<>", "definerndset<", "rndset<", "add<", "sub<", "mul<", "div<", "equal<",
    "greater<", "less<", "not<", "definemacro<", "endmacro<>", "macro<", "customfile<", "choice<", "message<",
    "annmaker<"};
const char signalKeywords[][keywordLength] = {"end#", "speeds#", "signaldef#", "relaydef#"};

static_assert(sizeof commandKeywords / keywordLength == commandCount, "one keyword per CommandId");

struct Group {
  const char (*entries)[keywordLength];
  int count;
};

const Group groups[] = {
    {csvKeywords, static_cast<int>(sizeof csvKeywords / keywordLength)},
    {rwKeywords, static_cast<int>(sizeof rwKeywords / keywordLength)},
    {commandKeywords, commandCount},
    {signalKeywords, static_cast<int>(sizeof signalKeywords / keywordLength)},
};

// Lengths of the command keywords, computed once.
struct CommandLengths {
  int length[commandCount];
  CommandLengths() {
    for (int i = 0; i < commandCount; ++i) length[i] = static_cast<int>(std::strlen(commandKeywords[i]));
  }
};
const CommandLengths commandLengths;

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Whether an input character (already lower-cased) stands for a keyword character: itself, or
// '{' for '<' and '}' for '>'.
inline bool keywordCharMatches(int input, char expected) {
  return input == expected || (input == '{' && expected == '<') || (input == '}' && expected == '>');
}

// All candidates compared in one forward pass: per candidate a matched count and a live flag.
struct CommandMatch {
  int matched[commandCount];
  bool alive[commandCount];
  int liveCount = 0;

  explicit CommandMatch(int only) {
    bool single = only >= 0 && only < commandCount;
    for (int i = 0; i < commandCount; ++i) {
      matched[i] = 0;
      alive[i] = !single || i == only;
      if (alive[i]) ++liveCount;
    }
  }

  // Offers the next character; returns the CommandId of a keyword it completes, else -1.
  int offer(int c) {
    c = lowerAscii(c);
    for (int i = 0; i < commandCount; ++i) {
      if (!alive[i]) continue;
      if (keywordCharMatches(c, commandKeywords[i][matched[i]])) {
        if (++matched[i] == commandLengths.length[i]) return i;
      } else {
        alive[i] = false;
        --liveCount;
      }
    }
    return noCommand;
  }
};

}  // namespace

int keywordCount(KeywordGroup group) { return groups[static_cast<int>(group)].count; }

const char* keyword(KeywordGroup group, int index) {
  const Group& g = groups[static_cast<int>(group)];
  return index >= 0 && index < g.count ? g.entries[index] : "";
}

int matchCommand(TextBuffer& source, int only, bool keepOnFail) {
  int start = source.getPosition();
  CommandMatch match(only);
  for (;;) {
    int c = source.getChar();
    if (c == -1 || match.liveCount == 0) break;  // one more character is read after the last candidate died
    int id = match.offer(c);
    if (id != noCommand) return id;
  }
  if (!keepOnFail) source.setPosition(start, FromStart);
  return noCommand;
}

int matchInlineCommand(char* text) {
  char* p = text;
  while (*p == consumedMark || *p == '#') ++p;
  CommandMatch match(-1);
  for (; *p; ++p) {
    int c = static_cast<unsigned char>(*p);
    *p = consumedMark;
    int id = match.offer(c);
    if (id != noCommand) return id;
  }
  return noCommand;
}

int readArgument(TextBuffer& source, char* output, int size) {
  char scratch[1040];  // the largest argument size any caller asks for
  if (size > static_cast<int>(sizeof scratch)) size = sizeof scratch;
  int stored = 0;
  int depth = 1;
  int c;
  for (;;) {
    c = source.getChar();
    if (c == -1) break;
    if (stored >= size - 1) break;  // the character just read is lost
    if (c == '<' || c == '{') ++depth;
    if (depth == 1) {
      if (c == ',' || c == 0 || c == '\n' || c == '>' || c == '}') break;
    } else if (c == 0 || c == '\n') {
      break;
    } else if (c == '>' || c == '}') {
      --depth;
    }
    scratch[stored++] = static_cast<char>(c);
  }
  scratch[stored] = '\0';
  evaluateInline(output, scratch, size);
  return c;
}

void readRawArgument(TextBuffer& source, char* output, int size) {
  int stored = 0;
  int depth = 1;
  for (;;) {
    int c = source.getChar();
    if (c == -1 || stored >= size - 1 || c == 0) break;
    if (c == '<' || c == '{') {
      ++depth;
    } else if (c == '>' || c == '}') {
      if (--depth == 0) break;
    }
    output[stored++] = static_cast<char>(c);
  }
  output[stored] = '\0';
}
