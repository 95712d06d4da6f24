// The keywords of every text scanner of Klevane, and the lexical layer of the macro language:
// recognising a command keyword after a '#', and reading a command's arguments.
//
// A command is '#' followed at once by a keyword, letters in either case, '{' standing for '<'
// and '}' for '>'. A keyword ending in "<>" is a whole command; one ending in "<" is followed by
// its arguments: at bracket depth 1 a ',' separates them and '>' or '}' closes the command, '<'
// and '{' open a nested level, and a line feed or NUL ends an argument at any depth.
#pragma once

class TextBuffer;

// The four groups of the keyword table, each a list of lower-case keywords addressed by index.
enum class KeywordGroup : int { CsvKeyword = 0, RwKeyword = 1, CommandKeyword = 2, SignalKeyword = 3 };

constexpr int keywordLength = 32;  // each keyword is held in a 32-character field

// The number of entries of a group, and entry `index` of it (its lower-case text).
int keywordCount(KeywordGroup group);
const char* keyword(KeywordGroup group, int index);

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
