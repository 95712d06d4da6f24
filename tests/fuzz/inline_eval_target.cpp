// The inline evaluator over any text, with stores that hold a few names of each kind. Input: a
// byte choosing the output capacity, a seed byte, the answer to "choice<", then the text.
// Properties: the output stays within its capacity and the rest of the buffer is cleared; no
// consumed mark reaches the output; a text without '#' comes back as it was, cut to the capacity;
// the same seed gives the same output and the same messages.
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "macro/inline_eval.h"
#include "macro/keyword_table.h"
#include "macro/symbol_stores.h"
#include "state/app_state.h"
#include "text/random.h"

namespace fuzzing {

namespace {

const int capacities[] = {1, 2, 32, 260, 1040};

void fillStores() {
  resetSymbolStores();
  const struct {
    const char* name;
    float value;
  } values[] = {{"a", 2.5f}, {"x", 0}, {"big", 3.4e38f}, {"neg", -1}};
  for (int i = 0; i < 4; ++i) {
    std::strcpy(symbolStores.values[i].name, values[i].name);
    symbolStores.values[i].value = values[i].value;
  }
  std::strcpy(symbolStores.words[0].name, "w");
  std::strcpy(symbolStores.words[0].text, "word");
  std::strcpy(symbolStores.words[1].name, "long");
  std::memset(symbolStores.words[1].text, 'L', 31);
  std::strcpy(symbolStores.rndsets[0].name, "s");
  for (int i = 0; i < maxRndsetItems; ++i) std::snprintf(symbolStores.rndsets[0].items[i], 16, "item%d", i);
  symbolStores.rndsets[0].count = maxRndsetItems;
  std::strcpy(symbolStores.rndsets[1].name, "empty");
}

struct Outcome {
  std::string output;
  std::vector<std::string> messages;
};

Outcome evaluate(const std::string& text, int capacity, std::uint32_t seed, bool answerYes) {
  fillStores();
  seedRandom(seed);
  MessageLog log(answerYes);
  std::unique_ptr<char[]> input(new char[text.size() + 1]);
  std::memcpy(input.get(), text.c_str(), text.size() + 1);
  std::unique_ptr<char[]> output(new char[static_cast<std::size_t>(capacity)]);  // exactly: no slack to hide in
  std::memset(output.get(), 'Z', static_cast<std::size_t>(capacity));
  evaluateInline(output.get(), input.get(), capacity);
  std::size_t length = strnlen(output.get(), static_cast<std::size_t>(capacity));
  check(length <= static_cast<std::size_t>(capacity - 1), "the output holds at most capacity - 1 characters");
  for (int i = static_cast<int>(length); i < capacity; ++i) check(output[i] == 0, "the output buffer is cleared");
  return {std::string(output.get(), length), log.texts};
}

}  // namespace

int fuzzInlineEval(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const int capacity = capacities[in.byte() % 5];
  const std::uint32_t seed = in.byte();
  const bool answerYes = in.flag();
  const std::string text = upToNul(in.rest());
  std::snprintf(appState.trainName, sizeof appState.trainName, "Local");

  Outcome first = evaluate(text, capacity, seed, answerYes);
  check(first.output.find(consumedMark) == std::string::npos, "no consumed mark reaches the output");
  if (text.find('#') == std::string::npos && text.find(consumedMark) == std::string::npos) {
    check(first.output == text.substr(0, static_cast<std::size_t>(capacity - 1)), "plain text comes back as it was");
  }
  Outcome second = evaluate(text, capacity, seed, answerYes);
  check(first.output == second.output && first.messages == second.messages, "the same seed gives the same output");
  return 0;
}

}  // namespace fuzzing
