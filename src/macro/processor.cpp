// The processor: one forward scan of "klv.tmp" (with jumps back for repeat sections) that keeps
// the branches of conditional chains whose condition holds, runs repeat sections until they are
// left with "breakrepeat<>", defines values, words and rndsets, drops the commands that only carry
// information, and replaces every inline command by its result.
#include <cstring>
#include <memory>

#include "macro/inline_eval.h"
#include "macro/keyword_table.h"
#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "text/numbers.h"
#include "text/text_buffer.h"

namespace {

constexpr int argumentSize = 260;
constexpr int rawSize = 1040;
constexpr int maxRepeatDepth = 8;

struct ProcessPass {
  TextBuffer& source;
  TextBuffer& output;
  bool failed = false;

  // Conditional chains: the chain depth, the depth at which skipping began, and whether a branch
  // of the current chain has been kept.
  int ifDepth = 0;
  int skipLevel = 0;
  bool skipping = false;
  bool branchTaken = false;

  // Open repeat sections: the source position of each one's '#'.
  int repeatDepth = 0;
  int repeatStarts[maxRepeatDepth] = {};
  long long repeatJumps = 0;
  long long charactersReread = 0;  // characters passed over again after the jumps back, and the
                                   // cost of the commands run again
  int furthestRead = 0;            // the furthest source position reached so far

  void fail(const char* message, const char* detail = nullptr) {
    showError(message, detail);
    failed = true;
  }
};

void dropArguments(ProcessPass& pass, int count) {
  char argument[argumentSize];
  for (int i = 0; i < count; ++i) readArgument(pass.source, argument, argumentSize);
}

// A condition holds when its text, read as a whole number, is not 0.
bool readCondition(ProcessPass& pass) {
  char condition[argumentSize];
  readArgument(pass.source, condition, argumentSize);
  return parseWholeNumber(condition) != 0;
}

// The conditional commands while their branch is kept.
void runConditional(ProcessPass& pass, int command) {
  switch (command) {
    case cmdIf:
      if (readCondition(pass)) {
        pass.branchTaken = true;
      } else {
        pass.skipLevel = pass.ifDepth;
        pass.skipping = true;
        pass.branchTaken = false;
      }
      pass.ifDepth++;
      break;
    case cmdElseIf: {
      bool condition = readCondition(pass);
      if (pass.branchTaken) {
        pass.skipLevel = pass.ifDepth;
        pass.skipping = true;
      } else if (!condition) {
        pass.skipLevel = pass.ifDepth;
        pass.skipping = true;
        pass.branchTaken = false;
      } else {
        pass.branchTaken = true;
      }
      pass.ifDepth++;
      break;
    }
    case cmdElse:
      if (pass.branchTaken) {
        pass.skipLevel = pass.ifDepth;
        pass.skipping = true;
      }
      pass.ifDepth++;
      break;
    default:  // "endif<>"
      pass.ifDepth--;
      pass.branchTaken = true;
      break;
  }
}

// The conditional commands while text is being dropped: only the depth is followed, until the
// chain whose branch is dropped comes to its next branch or its end.
void skipConditional(ProcessPass& pass, int command) {
  switch (command) {
    case cmdIf:
      pass.ifDepth++;
      break;
    case cmdElseIf:
    case cmdElse:
      if (!pass.branchTaken && pass.ifDepth - 1 == pass.skipLevel) {
        pass.skipping = false;
        runConditional(pass, command);
      }
      break;
    default:  // "endif<>"
      if (pass.ifDepth - 1 == pass.skipLevel) pass.skipping = false;
      pass.ifDepth--;
      if (!pass.skipping) runConditional(pass, command);
      break;
  }
}

// The name of a definition: at most 30 characters, in a slot of the store.
template <typename Slot>
int defineName(ProcessPass& pass, Slot (&store)[storeSlots], const char* tooLong, const char* noSlot) {
  char name[argumentSize];
  readArgument(pass.source, name, argumentSize);
  if (std::strlen(name) > maxNameLength) {
    pass.fail(tooLong, name);
    return -1;
  }
  int slot = findOrClaimSlot(store, name);
  if (slot < 0) pass.fail(noSlot, name);
  return slot;
}

void setValue(ProcessPass& pass) {
  int slot = defineName(pass, symbolStores.values, "#setvalue command, too long name.",
                        "#setvalue command, no value with specified name and all values already used.");
  if (slot < 0) return;
  char number[argumentSize];
  readArgument(pass.source, number, argumentSize);
  symbolStores.values[slot].value = static_cast<float>(parseNumber(number));
}

void setWord(ProcessPass& pass) {
  int slot = defineName(pass, symbolStores.words, "#setword command, too long name.",
                        "#setword command, no word with specified name and all words already used.");
  if (slot < 0) return;
  readArgument(pass.source, symbolStores.words[slot].text, sizeof symbolStores.words[slot].text);
}

// "definerndset<": items up to the closing bracket, at most 32 (a 33rd is read and dropped and
// the rest stays route text); a last item "endlisting" only marks the end.
void defineRndset(ProcessPass& pass) {
  int slot = defineName(pass, symbolStores.rndsets, "#definerndset command, too long name.",
                        "#definerndset command, no rndset with specified name and all rndsets already used.");
  if (slot < 0) return;
  RndsetSlot& set = symbolStores.rndsets[slot];
  int count = 0;
  for (;;) {
    char item[argumentSize];
    int end = readArgument(pass.source, item, argumentSize);
    if (count == maxRndsetItems) break;
    bool closed = end == '>' || end == '}';
    if (!(closed && std::strcmp(item, "endlisting") == 0)) {
      std::size_t kept = minInt(static_cast<int>(std::strlen(item)), sizeof set.items[count] - 1);  // cut to 15
      std::memcpy(set.items[count], item, kept);
      set.items[count][kept] = '\0';
      count++;
    }
    if (closed) break;
  }
  set.count = count;
}

void openRepeat(ProcessPass& pass) {
  if (pass.repeatDepth == maxRepeatDepth) {
    pass.fail("#repeat command, too many other repeat sections inside a repeat section.");
    return;
  }
  // The section starts again at the '#' of its "repeat<>".
  pass.repeatStarts[pass.repeatDepth++] =
      pass.source.getPosition() - static_cast<int>(std::strlen(commandKeyword(cmdRepeat))) - 1;
}

void closeRepeat(ProcessPass& pass) {
  if (pass.repeatDepth == 0) {
    pass.fail("#endrepeat command, excess endrepeats compared to repeat section starters.");
    return;
  }
  if (++pass.repeatJumps > maxRepeatJumps) {
    pass.fail("#repeat command, too many repetitions.");
    return;
  }
  int start = pass.repeatStarts[--pass.repeatDepth];
  pass.charactersReread += pass.source.getPosition() - start;
  pass.source.setPosition(start, FromStart);
}

// "breakrepeat<>": the rest of the innermost section is dropped up to its "endrepeat<>"; sections
// nested in that rest are counted so that their ends do not end the scan.
void breakRepeat(ProcessPass& pass) {
  if (pass.repeatDepth == 0) {
    pass.fail("#breakrepeat command, no repeat section to leave.");
    return;
  }
  int nested = 0;
  for (int c = pass.source.getChar(); c != -1; c = pass.source.getChar()) {
    if (c != '#') continue;
    int command = matchCommand(pass.source, -1, true);
    if (command == cmdRepeat) {
      nested++;
    } else if (command == cmdEndRepeat && nested-- == 0) {
      pass.repeatDepth--;
      return;
    }
  }
}

// An inline command in route text: rebuilt as one command text and replaced by its result.
void evaluateCommand(ProcessPass& pass, int command) {
  char text[rawSize + 32];  // '#', the keyword (at most 19 characters), the raw text and '>'
  const char* keyword = commandKeyword(command);
  std::size_t length = std::strlen(keyword);
  text[0] = '#';
  std::memcpy(text + 1, keyword, length + 1);
  if (command != cmdSelectedTrain) {
    char raw[rawSize];
    readRawArgument(pass.source, raw, rawSize);
    std::size_t rawLength = std::strlen(raw);
    std::memcpy(text + 1 + length, raw, rawLength);
    std::memcpy(text + 1 + length + rawLength, ">", 2);
  }
  char result[rawSize];
  evaluateInline(result, text, rawSize);
  pass.output.putText(result);
}

void runCommand(ProcessPass& pass, int command) {
  switch (command) {
    case cmdIf:
    case cmdElseIf:
    case cmdElse:
    case cmdEndIf: runConditional(pass, command); break;
    case cmdSetValue: setValue(pass); break;
    case cmdSetWord: setWord(pass); break;
    case cmdDefineRndset: defineRndset(pass); break;
    case cmdRepeat: openRepeat(pass); break;
    case cmdEndRepeat: closeRepeat(pass); break;
    case cmdBreakRepeat: breakRepeat(pass); break;
    case cmdVersion:
    case cmdPlayerSelectsTrain: dropArguments(pass, 1); break;
    case cmdCustomFile:
    case cmdMessage: dropArguments(pass, 2); break;
    case cmdAnnMaker: dropArguments(pass, 6); break;
    case noCommand: pass.output.putChar('#'); break;
    default: evaluateCommand(pass, command); break;
  }
}

bool isConditional(int command) {
  return command == cmdIf || command == cmdElseIf || command == cmdElse || command == cmdEndIf;
}

// The source position up to which plain text can be copied or dropped in one run: no new
// percentage is due before it, and it lies within the bound of characters read.
int runLimit(const ProcessPass& pass, const ProgressReporter& progress) {
  long long readable = maxCharactersRead - pass.charactersReread;
  return static_cast<int>(readable < progress.samePercentUntil - 1 ? readable : progress.samePercentUntil - 1);
}

void scan(ProcessPass& pass, WindowHandle progressBar) {
  const RunStops& commandStart = commandRunStops();
  ProgressReporter progress{progressBar};
  int length = pass.source.getLength();
  while (!pass.failed) {
    if (pass.charactersReread + pass.source.getPosition() > maxCharactersRead) {
      pass.fail("#repeat command, too many repetitions.");
      break;
    }
    if (pass.skipping) {
      pass.source.skipRun(commandStart, runLimit(pass, progress));
    } else {
      pass.output.copyRun(pass.source, commandStart, runLimit(pass, progress));
    }
    if (pass.output.wasCut()) break;  // the route can no longer be whole: reading on changes nothing
    int c = pass.source.getChar();
    if (c == -1) break;
    if (c != '#') {
      if (!pass.skipping) pass.output.putChar(c);
    } else {
      // A command read again in a repeat section costs more than its characters: its arguments
      // are evaluated anew, and so does every inline command in them (a number of 300 digits
      // takes microseconds to read and write).
      const bool readAgain = pass.source.getPosition() <= pass.furthestRead;
      const long long inlineBefore = inlineCommandsEvaluated();
      int command = matchCommand(pass.source, -1, false);
      if (pass.skipping && isConditional(command)) {
        skipConditional(pass, command);
      } else if (!pass.skipping) {
        runCommand(pass, command);
      }
      if (readAgain) pass.charactersReread += repeatedCommandCost * (1 + inlineCommandsEvaluated() - inlineBefore);
    }
    if (pass.source.getPosition() > pass.furthestRead) pass.furthestRead = pass.source.getPosition();
    progress.update(pass.source.getPosition(), length);
  }
}

}  // namespace

bool processRoute(const char* destinationPath, WindowHandle progressBar) {
  deleteFile(destinationPath);
  std::unique_ptr<TextBuffer> source(new TextBuffer(preprocessedFile));
  if (!source->isValid()) {
    showError("Unable to open source file for processing.", preprocessedFile);
    return false;
  }
  std::unique_ptr<TextBuffer> output(new TextBuffer(passOutputSize));
  if (!output->isValid()) {
    showError("Unable to open destination file for processing", destinationPath);
    return false;
  }
  ProcessPass pass{*source, *output};
  scan(pass, progressBar);
  source.reset();
  if (pass.failed) return false;
  if (output->wasCut()) {
    showError("Processing, the route is longer than 1048576 characters.", destinationPath);
    return false;
  }
  if (!output->saveAs(destinationPath)) {
    deleteFile(destinationPath);  // no half-written route is left behind
    showError("Unable to write destination file for processing.", destinationPath);
    return false;
  }
  return true;
}
