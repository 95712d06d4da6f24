#include "macro/keyword_table.h"

#include <cstring>

#include "macro/inline_eval.h"
#include "text/text_buffer.h"

namespace {

constexpr char csvKeywords[][keywordLength] = {"folder",      "accuracy", "adhesion", "sta ", "station ", "runinterval",
                                               "developerid", "curve",    "signal ",  "sig ", "relay",    "signal("};
constexpr char rwKeywords[][keywordLength] = {"file=",        "velocity=", "interval=", "[railway]",
                                              "developerid=", "@station(", "@sta(",     "@curve(",
                                              "@signal(",     "@sig(",     "@relay("};
constexpr char commandKeywords[][keywordLength] = {
    "version<", "notes<>",  "endnotes<>", "playerselectstrain<", "selectedtrain<>", "if<",          "elseif<",
    "else<>",   "endif<>",  "rnd<",       "rnd25<",              "chance<",         "train<",       "setvalue<",
    "value<",   "setword<", "word<",      "include<",            "dv<",             "time<",        "repeat<>",
    "endrepeat<>", "breakrepeat<>", "definerndset<", "rndset<", "add<", "sub<", "mul<", "div<", "equal<",
    "greater<", "less<", "not<", "definemacro<", "endmacro<>", "macro<", "customfile<", "choice<", "message<",
    "annmaker<"};
constexpr char signalKeywords[][keywordLength] = {"end#", "speeds#", "signaldef#", "relaydef#"};

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

// The command keywords of each length, as bits in index order.
struct CommandLengths {
  std::uint64_t ofLength[keywordLength + 1] = {};
  constexpr CommandLengths() {
    for (int i = 0; i < commandCount; ++i) {
      int length = 0;
      while (commandKeywords[i][length]) ++length;
      ofLength[length] |= std::uint64_t{1} << i;
    }
  }
};
constexpr CommandLengths commandLengths;

// No command keyword begins another: a match ends at the first keyword completed.
constexpr bool noCommandKeywordBeginsAnother() {
  for (int i = 0; i < commandCount; ++i) {
    for (int j = 0; j < commandCount; ++j) {
      int k = 0;
      while (commandKeywords[i][k] && commandKeywords[i][k] == commandKeywords[j][k]) ++k;
      if (i != j && commandKeywords[i][k] == '\0') return false;
    }
  }
  return true;
}
static_assert(noCommandKeywordBeginsAnother(), "a command keyword begins another");
constexpr std::uint64_t allCommands = (std::uint64_t{1} << commandCount) - 1;

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// The keyword character that an input character stands for: letters in lower case, '{' for '<'
// and '}' for '>'.
inline int keywordCharacter(int c) {
  c = lowerAscii(c);
  return c == '{' ? '<' : c == '}' ? '>' : c;
}

// All candidates compared in one forward pass, each character with every live candidate. So the
// live candidates have all matched the same number of characters, and as no keyword begins
// another, at most one of them can be complete.
struct CommandMatch {
  std::uint64_t alive;
  int matched = 0;

  explicit CommandMatch(int only) : alive(only >= 0 && only < commandCount ? std::uint64_t{1} << only : allCommands) {}

  bool dead() const { return alive == 0; }

  // Offers the next character; returns the CommandId of a keyword it completes, else -1.
  int offer(int c) {
    if (alive == 0) return noCommand;
    if (matched == 0) {
      alive &= commandStarts().entriesStartingWith(c);
    } else {
      c = keywordCharacter(c);
      for (std::uint64_t rest = alive; rest != 0; rest = withoutLowestEntry(rest)) {
        int i = lowestEntry(rest);
        if (commandKeywords[i][matched] != c) alive &= ~(std::uint64_t{1} << i);
      }
    }
    std::uint64_t complete = alive & commandLengths.ofLength[++matched];
    return complete != 0 ? lowestEntry(complete) : noCommand;
  }

  static const KeywordStarts& commandStarts() {
    static const KeywordStarts starts(KeywordGroup::CommandKeyword);
    return starts;
  }
};

}  // namespace

int keywordCount(KeywordGroup group) { return groups[static_cast<int>(group)].count; }

KeywordStarts::KeywordStarts(KeywordGroup group) {
  for (int i = 0; i < keywordCount(group); ++i) {
    texts[i] = keyword(group, i);
    lengths[i] = static_cast<int>(std::strlen(texts[i]));
    int c = static_cast<unsigned char>(texts[i][0]);
    startingWith[c] |= std::uint64_t{1} << i;
    if (c >= 'a' && c <= 'z') startingWith[c - 'a' + 'A'] |= std::uint64_t{1} << i;
  }
}

std::string KeywordStarts::pairsAt(int offset, int firstEntry) const {
  std::string pairs;
  for (int i = firstEntry; i < 64 && texts[i]; ++i) {
    if (lengths[i] >= offset + 2) pairs.append(texts[i] + offset, 2);
  }
  return pairs;
}

const RunStops& commandRunStops() {
  static const RunStops stops("", "#", CommandMatch::commandStarts().pairsAt(0).c_str());
  return stops;
}

const char* keyword(KeywordGroup group, int index) {
  const Group& g = groups[static_cast<int>(group)];
  return index >= 0 && index < g.count ? g.entries[index] : "";
}

int matchCommand(TextBuffer& source, int only, bool keepOnFail) {
  int start = source.getPosition();
  CommandMatch match(only);
  for (;;) {
    int c = source.getChar();
    if (c == -1 || match.dead()) break;  // one more character is read after the last candidate died
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
