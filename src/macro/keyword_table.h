// The keywords of every text scanner of Klevane, and the lexical layer of the macro language:
// recognising a command keyword after a '#', and reading a command's arguments.
//
// A command is '#' followed at once by a keyword, letters in either case, '{' standing for '<'
// and '}' for '>'. A keyword ending in "<>" is a whole command; one ending in "<" is followed by
// its arguments: at bracket depth 1 a ',' separates them and '>' or '}' closes the command, '<'
// and '{' open a nested level, and a line feed or NUL ends an argument at any depth.
#pragma once

#include <cstdint>
#include <string>

class RunStops;
class TextBuffer;

// The four groups of the keyword table, each a list of lower-case keywords addressed by index.
enum class KeywordGroup : int { CsvKeyword = 0, RwKeyword = 1, CommandKeyword = 2, SignalKeyword = 3 };

constexpr int keywordLength = 32;  // each keyword is held in a 32-character field

// The number of entries of a group, and entry `index` of it (its lower-case text).
int keywordCount(KeywordGroup group);
const char* keyword(KeywordGroup group, int index);

// The entries of a group by their first character: for each byte, the entries that begin with it
// (letters in either case), as bits in index order. A scanner tries only the entries that can
// match at a place, and for most characters there are none.
class KeywordStarts {
 public:
  explicit KeywordStarts(KeywordGroup group);
  std::uint64_t entriesStartingWith(int c) const { return startingWith[c & 0xFF]; }
  // The characters `offset` and `offset` + 1 of every entry from `firstEntry` on, one pair after
  // the other (the follower pairs of RunStops).
  std::string pairsAt(int offset, int firstEntry = 0) const;
  // Entry `index` of the group and its length.
  const char* entry(int index) const { return texts[index]; }
  int entryLength(int index) const { return lengths[index]; }

  // Whether entry `index`, whose first character is known to stand at `at`, stands there whole,
  // letters in either case, within the `available` characters from `at` on.
  bool standsAt(int index, const char* at, int available) const {
    if (lengths[index] > available) return false;
    const char* k = texts[index];
    for (int i = 1; k[i] != '\0'; ++i) {
      const unsigned c = static_cast<unsigned char>(at[i]);
      if ((c - 'A' < 26u ? c + ('a' - 'A') : c) != static_cast<unsigned char>(k[i])) return false;
    }
    return true;
  }

 private:
  std::uint64_t startingWith[256] = {};
  const char* texts[64] = {};
  int lengths[64] = {};
};

// The index of the lowest entry in a set of entries (not empty), and the set without it.
inline int lowestEntry(std::uint64_t set) { return __builtin_ctzll(set); }
inline std::uint64_t withoutLowestEntry(std::uint64_t set) { return set & (set - 1); }

// The index of a command keyword: 0 to 39, -1 for none.
enum CommandId : int {
  noCommand = -1,
  cmdVersion = 0,
  cmdNotes,
  cmdEndNotes,
  cmdPlayerSelectsTrain,
  cmdSelectedTrain,
  cmdIf,
  cmdElseIf,
  cmdElse,
  cmdEndIf,
  cmdRnd,
  cmdRnd25,
  cmdChance,
  cmdTrain,
  cmdSetValue,
  cmdValue,
  cmdSetWord,
  cmdWord,
  cmdInclude,
  cmdDv,
  cmdTime,
  cmdRepeat,
  cmdEndRepeat,
  cmdBreakRepeat,
  cmdDefineRndset,
  cmdRndset,
  cmdAdd,
  cmdSub,
  cmdMul,
  cmdDiv,
  cmdEqual,
  cmdGreater,
  cmdLess,
  cmdNot,
  cmdDefineMacro,
  cmdEndMacro,
  cmdMacro,
  cmdCustomFile,
  cmdChoice,
  cmdMessage,
  cmdAnnMaker,
};
constexpr int commandCount = 40;

// The text of a command keyword, as written back in canonical form ("if<", "else<>").
inline const char* commandKeyword(int id) { return keyword(KeywordGroup::CommandKeyword, id); }

// The in-memory scanners overwrite every character they have consumed with this byte.
constexpr char consumedMark = 1;

// Where the macro passes end a run of plain text: at a '#' that a command keyword can follow.
const RunStops& commandRunStops();

// Recognises a command keyword at the read position (just after a '#'). `only` from 0 to 39
// makes that command the only candidate; any other value makes all 40 candidates. On success the
// position is just after the keyword. On failure -1 is returned and, with keepOnFail false, the
// position returns to where it was; with keepOnFail true the characters read stay consumed: those
// up to the one at which the last candidate died, and one more.
int matchCommand(TextBuffer& source, int only, bool keepOnFail);

// Recognises a command keyword at the start of an in-memory command text, skipping leading
// consumed marks and '#' characters and marking each character it reads consumed. When no
// keyword is recognised the whole rest of the text is marked and -1 returned.
int matchInlineCommand(char* text);

// Reads one argument of a command, evaluates the inline commands in it into `output` (at most
// size - 1 characters) and returns the character that ended it: ',' when more arguments follow,
// '>' or '}' when the command is closed, a line feed, NUL, -1 at the end of the input, or the
// character lost when size - 1 characters were already stored.
int readArgument(TextBuffer& source, char* output, int size);

// Reads the rest of a command up to its closing bracket (consumed, not stored), unevaluated;
// commas and line feeds are part of the text; a NUL or the end stops it. At most size - 1
// characters are stored: the character read at that moment is lost.
void readRawArgument(TextBuffer& source, char* output, int size);
