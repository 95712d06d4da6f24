#include "macro/inline_eval.h"

#include <cfloat>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "macro/keyword_table.h"
#include "macro/symbol_stores.h"
#include "state/app_state.h"
#include "support/test_support.h"
#include "text/random.h"

using namespace testing_support;

namespace {

const std::string choiceSentence = "Press \"Yes\" for the first option, and \"No\" for the second option:";

std::string marks(std::size_t n) { return std::string(n, consumedMark); }

struct Case {
  std::string input;
  std::string output;
};

class InlineEvalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSymbolStores();
    seedRandom(1);  // draws 41, 18467, 6334, 26500, ...
    std::strcpy(appState.trainName, "ICE 3");
    defineValue("x", 2.5f);
    defineValue("tenth", 0.1f);
    defineValue("big", FLT_MAX);
    symbolStores.values[3].value = 7;  // stored under the empty name: slot 3 stays free
    defineWord("w", "Hello, world");
    defineWord("n", "x");
    defineWord("code", "#add<1,2>");
    defineRndset("s", {"a", "b", "c"});
    defineRndset("e", {});
  }
  void TearDown() override { std::strcpy(appState.trainName, savedTrainName.c_str()); }
  std::string savedTrainName = appState.trainName;

  static void defineValue(const char* name, float value) {
    int slot = findOrClaimSlot(symbolStores.values, name);
    ASSERT_GE(slot, 0);
    symbolStores.values[slot].value = value;
  }
  static void defineWord(const char* name, const char* text) {
    int slot = findOrClaimSlot(symbolStores.words, name);
    ASSERT_GE(slot, 0);
    std::strcpy(symbolStores.words[slot].text, text);
  }
  static void defineRndset(const char* name, const std::vector<std::string>& items) {
    int slot = findOrClaimSlot(symbolStores.rndsets, name);
    ASSERT_GE(slot, 0);
    for (std::size_t i = 0; i < items.size(); ++i) std::strcpy(symbolStores.rndsets[slot].items[i], items[i].c_str());
    symbolStores.rndsets[slot].count = static_cast<int>(items.size());
  }

  // Evaluates a copy of the input; `input` receives what is left of it afterwards. Checks what
  // every call guarantees: the whole output buffer cleared, nothing written past it, and no
  // consumed mark in the text.
  static std::string evaluate(std::string& input, int capacity = 1040) {
    std::vector<char> output(static_cast<std::size_t>(capacity) + 8, 'Z');
    evaluateInline(output.data(), &input[0], capacity);
    std::string text(output.data());
    EXPECT_LT(text.size(), static_cast<std::size_t>(capacity));
    for (std::size_t i = text.size(); i < static_cast<std::size_t>(capacity); ++i) {
      if (output[i] != '\0') {
        ADD_FAILURE() << "byte " << i << " of the output not cleared";
        break;
      }
    }
    EXPECT_EQ(std::string(output.data() + capacity, 8), "ZZZZZZZZ") << "written past the capacity";
    EXPECT_EQ(text.find(consumedMark), std::string::npos) << "consumed mark in the output";
    return text;
  }
  static std::string evaluate(const char* input, int capacity = 1040) {
    std::string copy(input);
    return evaluate(copy, capacity);
  }

  // Each case from the same seed; the input must be spent afterwards.
  static void expectAll(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      seedRandom(1);
      std::string input = c.input;
      EXPECT_EQ(evaluate(input), c.output) << ::testing::PrintToString(c.input);
      EXPECT_EQ(input, marks(c.input.size())) << "input not spent: " << ::testing::PrintToString(c.input);
    }
  }
};

TEST_F(InlineEvalTest, TextAroundCommandsAndTextWithoutThem) {
  expectAll({
      {"", ""},
      {"plain text, with <brackets> and, commas}", "plain text, with <brackets> and, commas}"},
      {"abc#add<1,2>def", "abc3def"},
      {"\r\n#sub<5,1>\r\n", "\r\n4\r\n"},
      {"#add<1,2>#add<3,4>", "37"},
  });
}

TEST_F(InlineEvalTest, RandomNumbersOneDrawPerDecisionInScanOrder) {
  expectAll({
      {"#rnd<1,6> #rnd<6,1> #rnd<1,6>", "6 6 5"},
      {"#rnd<4,4>#rnd<0,99>", "467"},  // a fixed bound still takes its draw
      {"#rnd<0,32767>,#rnd<0,32767>,#rnd<0,32767>", "41,18467,6334"},
      {"#add<#rnd<0,32767>,#rnd<0,32767>>", "18508"},
      {"#rnd<-10,-20>", "-12"},
      {"#rnd25<0,100> #rnd25<0,100>", "25 75"},
      {"#rnd25<-100,0>", "-50"},  // truncated toward zero: -59 gives -50
      {"#rnd25<0,10>", "0"},
      // The span is computed in 64 bits, so the widest bounds work too.
      {"#rnd<-2147483648,2147483647>", "-2147483607"},
      {"#rnd<2147483647,-2147483648>", "-2147483607"},
      {"#rnd<0,2147483647>", "41"},
      {"#rnd<-2147483648,0>", "-2147483607"},
      {"#rnd25<-2147483648,2147483647>", "-2147483600"},
      {"#rnd<99999999999,99999999999>", "2147483647"},  // saturated bounds
      {"#rnd<-99999999999,5>", "-2147483607"},
      {"#rnd<2.9,2.9>", "2"},
      {"#chance<42>", "1"},  // 41 mod 100 + 1 = 42
      {"#chance<41>", "0"},
      {"#chance<-5>", "0"},
      {"#chance<150>", "1"},
  });
}

TEST_F(InlineEvalTest, RandomRangesOverManyDraws) {
  struct Range {
    const char* command;
    std::set<std::string> results;
  } ranges[] = {
      {"#rnd<6,1>", {"1", "2", "3", "4", "5", "6"}},
      {"#rnd<1,6>", {"1", "2", "3", "4", "5", "6"}},
      {"#RND{1,6}", {"1", "2", "3", "4", "5", "6"}},
      {"#rnd<4,4>", {"4"}},
      {"#rnd25<0,100>", {"0", "25", "50", "75", "100"}},
      {"#chance<0>", {"0"}},
      {"#chance<100>", {"1"}},
  };
  for (const Range& r : ranges) {
    std::set<std::string> seen;
    for (int i = 0; i < 3000; ++i) seen.insert(evaluate(r.command));
    EXPECT_EQ(seen, r.results) << r.command;
  }
}

TEST_F(InlineEvalTest, StoredValuesWordsAndRndsets) {
  expectAll({
      {"#value<x>", "2.5"},
      {"#value<tenth>", "0.1"},
      {"#value<big>", "340282346638528859811704183484516925440"},
      {"#dv<x,1>", "3.5"},
      {"#dv<x,-0.25>", "2.25"},
      {"#value<>", "7"},  // the empty name finds the first free slot
      {"#value<#word<n>>", "2.5"},
      {"#word<w>", "Hello, world"},
      {"#word<code>", "#add<1,2>"},  // a result is not evaluated again
      {"#word<>", ""},
      {"#add<#word<n>,1>", "1"},
      {"#rndset<s>#rndset<s>#rndset<s>", "ccb"},
      {"#rndset<e>#rnd<0,99>", "41"},  // an empty set gives nothing and draws nothing
      {"#rndset<>#rnd<0,99>", "41"},
      {"#selectedtrain<>", "ICE 3"},
      {"#SelectedTrain{}", "ICE 3"},
      {"#train<ICE 3>", "1"},
      {"#train<ice 3>", "0"},
      {"#train<ICE 3 >", "0"},
      {"#train<>", "0"},
  });
  EXPECT_EQ(symbolStores.values[0].value, 2.5f);  // "dv<" leaves the stored value alone
}

TEST_F(InlineEvalTest, OnlyTheFirstCountItemsOfAnRndsetAreDrawn) {
  symbolStores.rndsets[0].count = 2;  // redefined with two items: "c" is still held but no longer drawn
  EXPECT_EQ(evaluate("#rndset<s>#rndset<s>#rndset<s>"), "bba");
}

TEST_F(InlineEvalTest, ClockTimesCarryAndWrap) {
  expectAll({
      {"#time<7,65,30>", "8.0530"},
      {"#time<23,59,60>", "0.0000"},
      {"#time<0,0,3600>", "1.0000"},
      {"#time<25,0,0>", "1.0000"},
      {"#time<12,5,7>", "12.0507"},
      {"#time<0,0,0>", "0.0000"},
      {"#time<0,0,2147483647>", "3.1407"},
      {"#time<-1,0,0>", "-1.0000"},  // remainders truncate toward zero
      {"#time<1>", "1.0000"},
      {"#time<#add<1,1>,#rnd<0,59>,9>", "2.4109"},
  });
}

TEST_F(InlineEvalTest, ArithmeticAndComparisons) {
  const std::string largest =
      "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327668781715404"
      "5895351438246423432132688946418276846754670353751698604991057655128207624549009038932894407586850845513394"
      "2304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368";
  expectAll({
      {"#div<1,4>", "0.25"},
      {"#mul<2,1.5>", "3"},
      {"#sub<1,3>", "-2"},
      {"#add<0.1,0.2>", "0.3"},
      {"#div<1,3>", "0.333333"},
      {"#div<2,3>", "0.666667"},
      {"#add<0.0000001,0>", "0"},
      {"#add<1e3,2.5E-1>", "1000.25"},
      {"#add<-.5,+1e1>", "9.5"},
      {"#add< 2,3>", "5"},
      {"#add<0x10,1>", "1"},  // no hexadecimal,
      {"#add<inf,1>", "1"},   // no infinity
      {"#add<abc,2>", "2"},
      {"#div<1,0>", "inf"},
      {"#div<-1,0>", "-inf"},
      {"#div<0,0>", "nan"},
      {"#mul<1e300,1e300>", "inf"},
      {"#add<1e400,0>", "inf"},
      {"#mul<-1.7976931348623157e308,1>", "-" + largest},
      {"#equal<1.0,1>", "1"},
      {"#equal<1,2>", "0"},
      {"#equal<abc,xyz>", "1"},
      {"#equal<nan,0>", "1"},
      {"#greater<2,1>", "1"},
      {"#greater<1,1>", "0"},
      {"#greater<1e400,1e308>", "1"},
      {"#less<1,2>", "1"},
      {"#less<2,1>", "0"},
      {"#less<-1,0>", "1"},
      {"#not<1,1>", "0"},
      {"#not<1,2>", "1"},
      {"#not<1.50,1.5>", "0"},
  });
}

TEST_F(InlineEvalTest, NestingCaseBracesSurplusAndMissingArguments) {
  expectAll({
      {"#add<#value<x>,#rnd<1,3>>", "5.5"},
      {"#mul<#add<1,2>,#sub<5,1>>", "12"},
      {"#add<#add<1,#add<2,3>>,4>", "10"},
      {"#equal<#value<x>,2.5>", "1"},
      {"#RND{1,6}", "6"},
      {"#Add{1,2}", "3"},
      {"#add{1,2>", "3"},
      {"#add<1,2}", "3"},
      {"#add<1,2,3>", "33>"},  // surplus arguments stay as text
      {"#train<ICE 3,x>", "1x>"},
      {"#add<1>2,5", "35"},  // a missing argument is read from what follows
      {"#add<1>", "1"},
      {"#rnd<6>", "6"},  // 0 to 6
      {"#dv<x>", "2.5"},
      {"#add<1,2\n>", "3>"},  // a line feed ends an argument
      {"#add<" + std::string(259, '0') + "5,7>", "57>"},  // a long argument is cut at 259
  });
}

TEST_F(InlineEvalTest, AHashWithoutAnInlineCommandWritesNothingForItself) {
  expectAll({
      {"a#if<1>b", "a1>b"},  // a keyword of another pass: its arguments stay as text
      {"#setvalue<y,5>", "y,5>"},
      {"#else<>tail", "tail"},
      {"#endif<>", ""},
      {"a#nothing here", "a"},  // no keyword: the rest is consumed
      {"100% #5 left", "100% "},
      {"a#", "a"},
      // The keyword match skips the second '#' but leaves it unread, so it starts the first
      // argument, "#" plus the marked keyword and "1", which gives nothing and so 0.
      {"x##add<1,2>", "x2"},
      {"#if <1>", ""},
  });
}

TEST_F(InlineEvalTest, ALongArgumentContinuesAsTheNextOne) {
  std::string name(259, 'a');
  std::strcpy(appState.trainName, name.c_str());
  EXPECT_EQ(evaluate(("#train<" + name + "b>").c_str()), "1b>");
}

TEST_F(InlineEvalTest, AFullOutputEndsTheCall) {
  struct FullCase {
    std::string input;
    int capacity;
    std::string output;
    std::string left;  // the input afterwards
  } cases[] = {
      {"abcdef", 4, "abc", marks(3) + "def"},
      {"abc", 4, "abc", marks(3)},
      {"ab#add<10,20>cd", 4, "ab3", marks(13) + "cd"},
      {"x#word<w>", 6, "xHell", marks(9)},
      {"abc#choice<q>", 4, "abc", marks(3) + "#choice<q>"},  // asks nothing
      {"#add<10,20>#rnd<1,6>", 3, "30", marks(11) + "#rnd<1,6>"},
      {"abc", 1, "", "abc"},
  };
  for (const FullCase& c : cases) {
    seedRandom(1);
    std::string input = c.input;
    EXPECT_EQ(evaluate(input, c.capacity), c.output) << ::testing::PrintToString(c.input);
    EXPECT_EQ(input, c.left) << ::testing::PrintToString(c.input);
    EXPECT_EQ(drawRandom(), 41) << "a command behind the full output drew: " << c.input;
  }
}

TEST_F(InlineEvalTest, AFailedLookupEndsTheCallWithItsMessage) {
  struct FailCase {
    std::string input;
    std::string output;
    std::string message;
  } cases[] = {
      {"ab#word<nosuch>cd", "ab", "#word command, word not found.\n\nnosuch"},
      {"ab#value<nosuch>cd", "ab", "#value command, value not found.\n\nnosuch"},
      {"ab#dv<nosuch,1>cd", "ab", "#dv command, value not found.\n\nnosuch"},
      {"ab#rndset<nosuch>cd", "ab", "#rndset command, rndset not found.\n\nnosuch"},
      {"#value<X>", "", "#value command, value not found.\n\nX"},  // names are case-sensitive
      {"#word<#add<1,2>>", "", "#word command, word not found.\n\n3"},
      {"#value<" + std::string(31, 'n') + ">", "", "#value command, value not found.\n\n" + std::string(31, 'n')},
      {"a#value<nosuch>b#choice<q>#rnd<1,6>", "a", "#value command, value not found.\n\nnosuch"},
      // An enclosing command goes on with what its argument produced.
      {"#add<#value<nosuch>,2>x", "2x", "#value command, value not found.\n\nnosuch"},
      {"#add<4#word<nosuch>1,2>x", "6x", "#word command, word not found.\n\nnosuch"},
  };
  for (const FailCase& c : cases) {
    seedRandom(1);
    MessageRecorder recorder;
    std::string input = c.input;
    EXPECT_EQ(evaluate(input), c.output) << ::testing::PrintToString(c.input);
    ASSERT_EQ(recorder.calls().size(), 1u) << ::testing::PrintToString(c.input);
    EXPECT_EQ(recorder.calls()[0].text, c.message);
    EXPECT_EQ(recorder.calls()[0].caption, "Error");
    EXPECT_EQ(recorder.calls()[0].owner, nullptr);
    EXPECT_EQ(drawRandom(), 41) << "a command behind the failure drew: " << c.input;
  }
}

TEST_F(InlineEvalTest, ChoiceAsksAndAnswers) {
  struct ChoiceCase {
    int answer;
    std::string input;
    std::string output;
    std::vector<std::string> questions;
  } cases[] = {
      {answerYes, "#choice<Take the left track?>", "1", {"Take the left track?"}},
      {answerNo, "#choice<Take the left track?>", "0", {"Take the left track?"}},
      {answerYes, "[#choice<Go #add<1,2>, or stay?>]", "[1 or stay?>]", {"Go 3"}},  // cut at the comma
      {answerNo, "#Choice{a}#choice<b>", "00", {"a", "b"}},
      {answerYes, "#choice<>", "1", {""}},
  };
  for (const ChoiceCase& c : cases) {
    MessageRecorder recorder(c.answer);
    EXPECT_EQ(evaluate(c.input.c_str()), c.output) << c.input;
    ASSERT_EQ(recorder.calls().size(), c.questions.size()) << c.input;
    for (std::size_t i = 0; i < c.questions.size(); ++i) {
      const MessageBoxCall& call = recorder.calls()[i];
      EXPECT_EQ(call.text, c.questions[i] + "\n\n" + choiceSentence);
      EXPECT_EQ(call.caption, "Choice");
      EXPECT_EQ(call.style, static_cast<unsigned>(mbYesNo | mbIconQuestion | mbTaskModal));
      EXPECT_EQ(call.owner, nullptr);
    }
  }
}

TEST(NextInlineArgument, CutsOneArgumentAndConsumesItsEnd) {
  const std::string m = marks(1);
  struct ArgumentCase {
    std::string input;
    int capacity;
    std::string argument;
    std::string left;
  } cases[] = {
      {m + m + "a,b>", 260, "a", marks(4) + "b>"},
      {"b>rest", 260, "b", marks(2) + "rest"},
      {"a}b", 260, "a", marks(2) + "b"},
      {"<x,y>,z", 260, "<x,y>", marks(6) + "z"},
      {"{a>,b}", 260, "{a>", marks(4) + "b}"},
      {"a\nb", 260, "a", marks(2) + "b"},
      {"x<y\nz>,w", 260, "x<y", marks(4) + "z>,w"},
      {"a\r,b", 260, "a\r", marks(3) + "b"},
      {"#add<1,2>,z", 260, "3", marks(10) + "z"},
      {"abcd,e", 3, "ab", marks(2) + "cd,e"},  // the character at the limit is not consumed
      {"abc", 260, "abc", marks(3)},
      {"", 260, "", ""},
  };
  for (const ArgumentCase& c : cases) {
    std::string input = c.input;
    char destination[260];
    std::memset(destination, 'Z', sizeof destination);
    nextInlineArgument(&input[0], destination, c.capacity);
    EXPECT_EQ(std::string(destination), c.argument) << ::testing::PrintToString(c.input);
    EXPECT_EQ(input, c.left) << ::testing::PrintToString(c.input);
  }
}

}  // namespace
