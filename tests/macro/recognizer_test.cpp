#include "macro/keyword_table.h"

#include <string>

#include "support/test_support.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

class RecognizerTest : public WorkFolderTest {
 protected:
  TextBuffer& load(const std::string& bytes) {
    writeBytes("source.txt", bytes);
    buffer = std::make_unique<TextBuffer>("source.txt");
    return *buffer;
  }
  // The text from the read position to the end.
  std::string rest() const { return std::string(buffer->getText() + buffer->getPosition()); }
  std::unique_ptr<TextBuffer> buffer;
};

// Each keyword is found in lower case, in upper case and with braces for its brackets, among all
// candidates and alone, and the same spelling with a wrong last character is none.
TEST_F(RecognizerTest, EveryCommandKeywordInEverySpelling) {
  for (int id = 0; id < commandCount; ++id) {
    std::string lower = commandKeyword(id), upper, braces;
    for (char c : lower) {
      upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      braces += c == '<' ? '{' : c == '>' ? '}' : c;
    }
    for (const std::string& spelling : {lower, upper, braces}) {
      for (int only : {-1, id}) {
        EXPECT_EQ(matchCommand(load(spelling + "x>"), only, false), id) << spelling << " only " << only;
        EXPECT_EQ(rest(), "x>") << spelling;
      }
      EXPECT_EQ(matchCommand(load(spelling.substr(0, spelling.size() - 1) + "#"), -1, false), noCommand) << spelling;
      EXPECT_EQ(buffer->getPosition(), 0) << spelling;
    }
  }
}

// On failure the position returns, or with keepOnFail the characters read stay consumed: up to
// the one at which the last candidate died, and one more. `only` outside 0..39 means all.
TEST_F(RecognizerTest, MatchCommandResultAndReadPosition) {
  const struct { std::string text; int only; bool keepOnFail; int expected; std::string rest; } cases[] = {
      {"if <1>", -1, false, noCommand, "if <1>"}, {"if <1>", -1, true, noCommand, "1>"},
      {"else}>", -1, false, noCommand, "else}>"}, {"else{{", -1, false, noCommand, "else{{"},
      {"rnd25<1>", -1, false, cmdRnd25, "1>"},    {"valu", -1, true, noCommand, ""},
      {"5bc", -1, true, noCommand, "c"},          {"endnotes<>", cmdEndMacro, true, noCommand, "tes<>"},
      {"if<1>", 40, false, cmdIf, "1>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(matchCommand(load(c.text), c.only, c.keepOnFail), c.expected) << c.text << " " << c.only << c.keepOnFail;
    EXPECT_EQ(rest(), c.rest) << c.text << " only " << c.only << " keepOnFail " << c.keepOnFail;
  }
}

// Leading consumed marks and '#' are skipped; every character read is marked, all of them when
// no keyword is recognised.
TEST(MatchInlineCommand, ResultAndMarkedText) {
  const std::string m(1, consumedMark);
  const struct { std::string text; int expected; std::string after; } cases[] = {
      {m + "#" + m + "elseif<1>", cmdElseIf, m + "#" + m + std::string(7, consumedMark) + "1>"},
      {"##RND{1,6}", cmdRnd, "##" + std::string(4, consumedMark) + "1,6}"},
      {"v#value<x>", noCommand, std::string(10, consumedMark)},  // no new start after a mismatch
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(matchInlineCommand(&text[0]), c.expected) << c.text;
    EXPECT_EQ(text, c.after) << c.text;
  }
}

// An argument ends at ',' or the closing bracket at depth 1 (either bracket opens and closes a
// level), at a line feed at any depth, or when size - 1 characters are stored; its inline commands
// are evaluated. A raw argument runs unevaluated, line ends included, to the closing bracket.
TEST_F(RecognizerTest, ArgumentsStopAndReturn) {
  const struct { std::string source; int size; bool raw; std::string output; int returned; std::string rest; } cases[] = {
      {"<a,b>,c>", 260, false, "<a,b>", ',', "c>"},
      {"{a>,b}", 260, false, "{a>", ',', "b}"},
      {"x<y<z>>w}", 260, false, "x<y<z>>w", '}', ""},
      {"x<y\nz>,w", 260, false, "x<y", '\n', "z>,w"},
      {"5\r\nnext", 260, false, "5\r", '\n', "next"},
      {"ab", 260, false, "ab", -1, ""},
      {std::string(300, 'a') + ">", 260, false, std::string(259, 'a'), 'a', std::string(40, 'a') + ">"},
      {"#add<#add<1,2>,3>>z", 260, false, "6", '>', "z"},
      {"#add<1,2>>", 5, false, "", '<', "1,2>>"},  // "#add" is cut off at the limit, and is no command
      {"a\r\nb<c}>,d", 1040, true, "a\r\nb<c}", 0, ",d"},
      {"x{y>z>w", 1040, true, "x{y>z", 0, "w"},
      {"#if<1>", 1040, true, "#if<1>", 0, ""},
      {"abcdef>", 4, true, "abc", 0, "ef>"},  // 'd' is lost at the limit
  };
  for (const auto& c : cases) {
    char output[1040];
    TextBuffer& source = load(c.source);
    const int returned = c.raw ? (readRawArgument(source, output, c.size), 0) : readArgument(source, output, c.size);
    EXPECT_EQ(std::to_string(returned) + " " + output + "|" + rest(),
              std::to_string(c.returned) + " " + c.output + "|" + c.rest) << c.source;
  }
}

}  // namespace
