#include "macro/inline_eval.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "macro/keyword_table.h"
#include "macro/symbol_stores.h"
#include "state/app_state.h"
#include "text/numbers.h"
#include "text/random.h"
#include "text/text_buffer.h"

namespace {

constexpr int argumentSize = 260;  // every argument of an inline command: at most 259 characters
long long commandsEvaluated = 0;

// One call of the evaluator: the input being spent and the output being filled.
struct Evaluation {
  char* input;     // the unread part starts after the leading consumed marks
  char* output;
  int capacity;
  int length = 0;  // characters in the output

  bool full() const { return length >= capacity - 1; }

  // Appends text cut to the room left.
  void put(const char* text) {
    int room = capacity - 1 - length;
    int n = static_cast<int>(std::strlen(text));
    if (n > room) n = room;
    std::memcpy(output + length, text, static_cast<std::size_t>(n));
    length += n;
  }

  void putNumber(double number) {
    char text[numberTextSize];
    formatNumber(number, text, sizeof text);
    put(text);
  }

  void putWhole(long long number) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", number);
    put(text);
  }

  void putFlag(bool flag) { put(flag ? "1" : "0"); }

  // The next argument, evaluated.
  void argument(char* text) { nextInlineArgument(input, text, argumentSize); }
  int wholeArgument() {
    char text[argumentSize];
    argument(text);
    return parseWholeNumber(text);
  }
  double numberArgument() {
    char text[argumentSize];
    argument(text);
    return parseNumber(text);
  }
};

// A random whole number from min(a, b) to max(a, b), both included. The span is computed in 64
// bits, so any pair of 32-bit bounds works; a draw covers at most 32768 values from the low end.
long long randomBetween(int a, int b) {
  long long low = minInt(a, b), high = maxInt(a, b);
  return low + drawRandom() % (high - low + 1);
}

// "time<": seconds carry into minutes and minutes into hours, then the clock wraps at 24 hours.
void putTime(Evaluation& e) {
  long long hours = e.wholeArgument();
  long long minutes = e.wholeArgument();
  long long seconds = e.wholeArgument();
  minutes += seconds / 60;
  hours += minutes / 60;
  char text[48];
  std::snprintf(text, sizeof text, "%lld.%02lld%02lld", hours % 24, minutes % 60, seconds % 60);
  e.put(text);
}

// Looks a name up in a store; an unknown name shows the command's message with the name.
template <typename Slot>
int lookUp(const Slot (&store)[storeSlots], const char* name, const char* notFound) {
  int slot = findSlot(store, name);
  if (slot < 0) showError(notFound, name);
  return slot;
}

// Carries out one command; false when a lookup failed and the call must end.
bool runCommand(Evaluation& e, int command) {
  char name[argumentSize];
  switch (command) {
    case cmdSelectedTrain:
      e.put(appState.trainName);
      return true;
    case cmdRnd:
    case cmdRnd25: {
      int a = e.wholeArgument();
      int b = e.wholeArgument();
      long long number = randomBetween(a, b);
      e.putWhole(command == cmdRnd25 ? number / 25 * 25 : number);
      return true;
    }
    case cmdChance: {
      int percent = e.wholeArgument();
      e.putFlag(drawRandom() % 100 + 1 <= percent);
      return true;
    }
    case cmdTrain:
      e.argument(name);
      e.putFlag(std::strcmp(name, appState.trainName) == 0);
      return true;
    case cmdValue:
    case cmdDv: {
      e.argument(name);
      int slot = lookUp(symbolStores.values, name,
                        command == cmdValue ? "#value command, value not found." : "#dv command, value not found.");
      if (slot < 0) return false;
      double number = symbolStores.values[slot].value;
      if (command == cmdDv) number += e.numberArgument();
      e.putNumber(number);
      return true;
    }
    case cmdWord: {
      e.argument(name);
      int slot = lookUp(symbolStores.words, name, "#word command, word not found.");
      if (slot < 0) return false;
      e.put(symbolStores.words[slot].text);
      return true;
    }
    case cmdTime:
      putTime(e);
      return true;
    case cmdRndset: {
      e.argument(name);
      int slot = lookUp(symbolStores.rndsets, name, "#rndset command, rndset not found.");
      if (slot < 0) return false;
      const RndsetSlot& set = symbolStores.rndsets[slot];
      if (set.count > 0) e.put(set.items[drawRandom() % set.count]);  // an empty set gives nothing, draws nothing
      return true;
    }
    case cmdAdd:
    case cmdSub:
    case cmdMul:
    case cmdDiv:
    case cmdEqual:
    case cmdGreater:
    case cmdLess:
    case cmdNot: {
      double a = e.numberArgument();
      double b = e.numberArgument();
      switch (command) {
        case cmdAdd: e.putNumber(a + b); break;
        case cmdSub: e.putNumber(a - b); break;
        case cmdMul: e.putNumber(a * b); break;
        case cmdDiv: e.putNumber(a / b); break;
        case cmdEqual: e.putFlag(a == b); break;
        case cmdGreater: e.putFlag(a > b); break;
        case cmdLess: e.putFlag(a < b); break;
        default: e.putFlag(a != b); break;
      }
      return true;
    }
    case cmdChoice: {
      e.argument(name);
      std::string question = std::string(name) + "\n\n" + choiceSuffix;
      int answer = showMessageBox(nullptr, question.c_str(), "Choice", mbYesNo | mbIconQuestion | mbTaskModal);
      e.putFlag(answer == answerYes);
      return true;
    }
    default:
      // No inline command: a word that is no keyword has been consumed whole; a keyword of another
      // pass has been consumed and its arguments follow as ordinary text. Nothing stands for the '#'.
      return true;
  }
}

}  // namespace

long long inlineCommandsEvaluated() { return commandsEvaluated; }

void evaluateInline(char* output, char* input, int capacity) {
  std::memset(output, 0, static_cast<std::size_t>(capacity));
  Evaluation e{input, output, capacity};
  for (char* p = input; *p; ++p) {
    if (*p == consumedMark) continue;
    if (e.full()) return;
    if (*p != '#') {
      output[e.length++] = *p;
      *p = consumedMark;
      continue;
    }
    *p = consumedMark;
    e.input = p + 1;  // everything before is consumed
    ++commandsEvaluated;
    if (!runCommand(e, matchInlineCommand(p + 1))) return;
  }
}

void nextInlineArgument(char* input, char* destination, int capacity) {
  char scratch[1040];
  if (capacity > static_cast<int>(sizeof scratch)) capacity = sizeof scratch;
  int stored = 0;
  int depth = 1;
  char* p = input;
  while (*p == consumedMark) ++p;
  for (; *p; ++p) {
    if (stored >= capacity - 1) break;  // this character starts whatever is read next
    char c = *p;
    *p = consumedMark;
    if (c == '<' || c == '{') ++depth;
    if (depth == 1) {
      if (c == ',' || c == '>' || c == '}' || c == '\n') break;
    } else if (c == '\n') {
      break;
    } else if (c == '>' || c == '}') {
      --depth;
    }
    scratch[stored++] = c;
  }
  scratch[stored] = '\0';
  evaluateInline(destination, scratch, capacity);
}
