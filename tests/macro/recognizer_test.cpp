#include "macro/keyword_table.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "macro/symbol_stores.h"
#include "support/test_support.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

class RecognizerTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    resetSymbolStores();
  }

  // Loads the bytes through a file, as every pass does.
  std::unique_ptr<TextBuffer> load(const std::string& bytes) {
    writeBytes("source.txt", bytes);
    auto buffer = std::make_unique<TextBuffer>("source.txt");
    EXPECT_TRUE(buffer->isValid());
    return buffer;
  }

  // The text from the read position to the end.
  static std::string rest(const TextBuffer& buffer) {
    return std::string(buffer.getText() + buffer.getPosition(),
                       static_cast<std::size_t>(buffer.getLength() - buffer.getPosition()));
  }
};

std::vector<std::string> group(KeywordGroup g) {
  std::vector<std::string> entries;
  for (int i = 0; i < keywordCount(g); ++i) entries.push_back(keyword(g, i));
  return entries;
}

TEST(KeywordTable, GroupsInIndexOrder) {
  EXPECT_EQ(group(KeywordGroup::CsvKeyword),
            (std::vector<std::string>{"folder", "accuracy", "adhesion", "sta ", "station ", "runinterval",
                                      "developerid", "curve", "signal ", "sig ", "relay", "signal("}));
  EXPECT_EQ(group(KeywordGroup::RwKeyword),
            (std::vector<std::string>{"file=", "velocity=", "interval=", "[railway]", "developerid=", "@station(",
                                      "@sta(", "@curve(", "@signal(", "@sig(", "@relay("}));
  EXPECT_EQ(group(KeywordGroup::SignalKeyword),
            (std::vector<std::string>{"end#", "speeds#", "signaldef#", "relaydef#"}));
  EXPECT_EQ(group(KeywordGroup::CommandKeyword),
            (std::vector<std::string>{
                "version<",  "notes<>",     "endnotes<>", "playerselectstrain<", "selectedtrain<>", "if<",
                "elseif<",   "else<>",      "endif<>",    "rnd<",                "rnd25<",          "chance<",
                "train<",    "setvalue<",   "value<",     "setword<",            "word<",           "include<",
                "dv<",       "time<",       "repeat<>",   "endrepeat<>",         "breakrepeat<>",   "definerndset<",
                "rndset<",   "add<",        "sub<",       "mul<",                "div<",            "equal<",
                "greater<",  "less<",       "not<",       "definemacro<",        "endmacro<>",      "macro<",
                "customfile<", "choice<",   "message<",   "annmaker<"}));
  EXPECT_STREQ(commandKeyword(cmdAnnMaker), "annmaker<");
  EXPECT_STREQ(commandKeyword(cmdSelectedTrain), "selectedtrain<>");
}

TEST_F(RecognizerTest, MatchCommandResultAndReadPosition) {
  struct Case {
    std::string text;  // what follows the '#'
    int only;
    bool keepOnFail;
    int expected;
    std::string rest;  // unread afterwards
  } cases[] = {
      {"IF{1}", -1, false, cmdIf, "1}"},
      {"If<1}", -1, false, cmdIf, "1}"},
      {"if <1>", -1, false, noCommand, "if <1>"},
      {"if <1>", -1, true, noCommand, "1>"},  // ' ' kills the last candidate, '<' is read as well
      {"elseif<1>", -1, false, cmdElseIf, "1>"},
      {"else<>x", -1, false, cmdElse, "x"},
      {"ELSE{}x", -1, false, cmdElse, "x"},
      {"else<}x", -1, false, cmdElse, "x"},
      {"else}>", -1, false, noCommand, "else}>"},  // '}' never stands for '<'
      {"else{{", -1, false, noCommand, "else{{"},  // nor '{' for '>'
      {"rnd25<1,100>", -1, false, cmdRnd25, "1,100>"},
      {"rnd<1,6>", -1, false, cmdRnd, "1,6>"},
      {"Rnd25{1,100}", -1, false, cmdRnd25, "1,100}"},
      {"vaLUE<x>", -1, false, cmdValue, "x>"},
      {"setvalue<x,1>", -1, false, cmdSetValue, "x,1>"},
      {"if<", -1, false, cmdIf, ""},
      {"if[1]", -1, false, noCommand, "if[1]"},
      {"#if<1>", -1, true, noCommand, "f<1>"},
      {"", -1, false, noCommand, ""},
      {"", -1, true, noCommand, ""},
      {"valu", -1, false, noCommand, "valu"},
      {"valu", -1, true, noCommand, ""},
      // A single candidate.
      {"endnotes<>", cmdEndMacro, false, noCommand, "endnotes<>"},
      {"endnotes<>", cmdEndMacro, true, noCommand, "tes<>"},  // 'n' kills it, 'o' is read as well
      {"endnotes<>", cmdEndNotes, false, cmdEndNotes, ""},
      {"endmacro<>x", cmdEndMacro, false, cmdEndMacro, "x"},
      {"if<1>", cmdElse, false, noCommand, "if<1>"},
      {"notes<>", cmdNotes, true, cmdNotes, ""},
      {"notes<", cmdNotes, true, noCommand, ""},
      // Any other `only` makes all 40 candidates.
      {"if<1>", 40, false, cmdIf, "1>"},
      {"annmaker<", -7, false, cmdAnnMaker, ""},
      // The one more character after the last candidate died.
      {"5bc", -1, true, noCommand, "c"},
      {"5bc", -1, false, noCommand, "5bc"},
      {"elsxyz", -1, true, noCommand, "z"},
      {"ifxyz", -1, true, noCommand, "z"},
      {"x", -1, true, noCommand, ""},
  };
  for (const Case& c : cases) {
    auto buffer = load(c.text);
    EXPECT_EQ(matchCommand(*buffer, c.only, c.keepOnFail), c.expected)
        << ::testing::PrintToString(c.text) << " only " << c.only << " keepOnFail " << c.keepOnFail;
    EXPECT_EQ(rest(*buffer), c.rest) << ::testing::PrintToString(c.text) << " only " << c.only
                                     << " keepOnFail " << c.keepOnFail;
  }
}

// Each keyword is found in lower case, in upper case and with braces for its brackets, by all
// candidates and by itself alone, and the same spelling with a wrong last character is none.
TEST_F(RecognizerTest, EveryCommandKeywordInEverySpelling) {
  for (int id = 0; id < commandCount; ++id) {
    std::string lower = commandKeyword(id), upper, braces;
    for (char c : lower) {
      upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      braces += c == '<' ? '{' : c == '>' ? '}' : c;
    }
    for (const std::string& spelling : {lower, upper, braces}) {
      for (int only : {-1, id}) {
        auto buffer = load(spelling + "x,y>");
        EXPECT_EQ(matchCommand(*buffer, only, false), id) << spelling << " only " << only;
        EXPECT_EQ(rest(*buffer), "x,y>") << spelling;
      }
      std::string wrong = spelling;
      wrong.back() = '#';
      auto buffer = load(wrong);
      EXPECT_EQ(matchCommand(*buffer, -1, false), noCommand) << wrong;
      EXPECT_EQ(buffer->getPosition(), 0) << wrong;
    }
  }
}

TEST_F(RecognizerTest, MatchCommandFromTheMiddleOfAText) {
  auto buffer = load("ab#endif<>cd#bad");
  buffer->setPosition(3, FromStart);
  EXPECT_EQ(matchCommand(*buffer, -1, false), cmdEndIf);
  EXPECT_EQ(rest(*buffer), "cd#bad");
  buffer->setPosition(13, FromStart);
  EXPECT_EQ(matchCommand(*buffer, -1, false), noCommand);
  EXPECT_EQ(buffer->getPosition(), 13);
}

TEST(MatchInlineCommand, ResultAndMarkedText) {
  const std::string m(1, consumedMark);
  auto marks = [&](std::size_t n) { return std::string(n, consumedMark); };
  struct Case {
    std::string text;
    int expected;
    std::string after;
  } cases[] = {
      {m + "value<x>", cmdValue, marks(7) + "x>"},
      {"2 is closed", noCommand, marks(11)},
      {"##RND{1,6}", cmdRnd, "##" + marks(4) + "1,6}"},  // leading '#' characters are skipped, not marked
      {m + "#" + m + "elseif<1>", cmdElseIf, m + "#" + m + marks(7) + "1>"},
      {"else<>tail", cmdElse, marks(6) + "tail"},
      {"rnd25<1,2>", cmdRnd25, marks(6) + "1,2>"},
      {"SelectedTrain{}!", cmdSelectedTrain, marks(15) + "!"},
      {"ifx<a>", noCommand, marks(6)},
      {"v#value<x>", noCommand, marks(10)},  // no new start after a mismatch
      {"if <1>", noCommand, marks(6)},
      {"", noCommand, ""},
      {"##", noCommand, "##"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(matchInlineCommand(&text[0]), c.expected) << ::testing::PrintToString(c.text);
    EXPECT_EQ(text, c.after) << ::testing::PrintToString(c.text);
  }
}

TEST_F(RecognizerTest, ReadArgumentStopsAndReturns) {
  const std::string a300(300, 'a');
  struct Case {
    std::string source;
    int size;
    std::string output;
    int returned;
    std::string rest;
  } cases[] = {
      {"a,b>", 260, "a", ',', "b>"},
      {"b>x", 260, "b", '>', "x"},
      {"a}b", 260, "a", '}', "b"},
      {"<a,b>,c>", 260, "<a,b>", ',', "c>"},
      {"{a>,b}", 260, "{a>", ',', "b}"},  // levels open and close with either bracket
      {"x<y<z>>w>", 260, "x<y<z>>w", '>', ""},
      {"x<y\nz>,w", 260, "x<y", '\n', "z>,w"},  // a line feed ends it at any depth
      {"5\r\nnext", 260, "5\r", '\n', "next"},
      {"ab", 260, "ab", -1, ""},
      {"", 260, "", -1, ""},
      {a300 + ">", 260, std::string(259, 'a'), 'a', std::string(40, 'a') + ">"},
      {std::string(259, 'a') + ",b>", 260, std::string(259, 'a'), ',', "b>"},
      {std::string(40, 'w') + ">", 32, std::string(31, 'w'), 'w', std::string(8, 'w') + ">"},
      // Inline commands in the argument are evaluated.
      {"#add<1,2>x,y>", 260, "3x", ',', "y>"},
      {"#add<#add<1,2>,3>>z", 260, "6", '>', "z"},
      {"#add<1,2>>", 5, "", '<', "1,2>>"},  // "#add" is cut off at the limit, and is no command
  };
  for (const Case& c : cases) {
    auto buffer = load(c.source);
    char output[1040];
    EXPECT_EQ(readArgument(*buffer, output, c.size), c.returned) << ::testing::PrintToString(c.source);
    EXPECT_EQ(std::string(output), c.output) << ::testing::PrintToString(c.source);
    EXPECT_EQ(rest(*buffer), c.rest) << ::testing::PrintToString(c.source);
  }
}

TEST_F(RecognizerTest, ReadArgumentOfAConditionWithNestedCommands) {
  int slot = findOrClaimSlot(symbolStores.values, "x");
  ASSERT_GE(slot, 0);
  symbolStores.values[slot].value = 1;
  auto buffer = load("#equal<#value<x>,1>>rest");
  char output[260];
  EXPECT_EQ(readArgument(*buffer, output, sizeof output), '>');
  EXPECT_STREQ(output, "1");
  EXPECT_EQ(rest(*buffer), "rest");

  symbolStores.values[slot].value = 2;
  buffer = load("#equal<#value<x>,1>>");
  EXPECT_EQ(readArgument(*buffer, output, sizeof output), '>');
  EXPECT_STREQ(output, "0");
}

TEST_F(RecognizerTest, ReadArgumentCutsTheEvaluatedTextToSize) {
  int slot = findOrClaimSlot(symbolStores.words, "w");
  ASSERT_GE(slot, 0);
  std::strcpy(symbolStores.words[slot].text, "0123456789abcdefghijklmnopqrstu");
  auto buffer = load("#word<w>,");
  char output[12];
  std::memset(output, 'Z', sizeof output);
  EXPECT_EQ(readArgument(*buffer, output, 10), ',');
  EXPECT_EQ(std::string(output, 10), std::string("012345678") + '\0');
}

TEST_F(RecognizerTest, ReadArgumentKeepsItsOutcomeWhenALookupFails) {
  MessageRecorder recorder;
  auto buffer = load("ab#value<nosuch>cd>tail");
  char output[260];
  EXPECT_EQ(readArgument(*buffer, output, sizeof output), '>');
  EXPECT_STREQ(output, "ab");
  EXPECT_EQ(rest(*buffer), "tail");
  EXPECT_EQ(recorder.texts(), std::vector<std::string>{"#value command, value not found.\n\nnosuch"});
}

TEST_F(RecognizerTest, SuccessiveArgumentsOfOneCommand) {
  auto buffer = load("a,<b,c>,d>after");
  char output[260];
  std::vector<std::string> arguments;
  std::vector<int> ends;
  for (int i = 0; i < 3; ++i) {
    ends.push_back(readArgument(*buffer, output, sizeof output));
    arguments.push_back(output);
  }
  EXPECT_EQ(arguments, (std::vector<std::string>{"a", "<b,c>", "d"}));
  EXPECT_EQ(ends, (std::vector<int>{',', ',', '>'}));
  EXPECT_EQ(rest(*buffer), "after");
}

TEST_F(RecognizerTest, ReadRawArgumentUpToTheClosingBracket) {
  struct Case {
    std::string source;
    int size;
    std::string output;
    std::string rest;
  } cases[] = {
      {"1,5>more", 1040, "1,5", "more"},
      {"a\r\nb>c", 1040, "a\r\nb", "c"},  // line ends are part of it
      {"x<y>z}w", 1040, "x<y>z", "w"},
      {"x{y>z>w", 1040, "x{y>z", "w"},
      {"#if<1>>x", 1040, "#if<1>", "x"},  // not evaluated
      {"abc", 1040, "abc", ""},
      {">", 1040, "", ""},
      {"abcdef>", 4, "abc", "ef>"},  // 'd' is lost at the limit
      {"abc>", 4, "abc", ""},        // the closing bracket is lost the same way
  };
  for (const Case& c : cases) {
    auto buffer = load(c.source);
    char output[1040];
    readRawArgument(*buffer, output, c.size);
    EXPECT_EQ(std::string(output), c.output) << ::testing::PrintToString(c.source);
    EXPECT_EQ(rest(*buffer), c.rest) << ::testing::PrintToString(c.source);
  }
}

}  // namespace
