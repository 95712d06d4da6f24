#include "text/text_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"

using namespace testing_support;

namespace {

class TextBufferTest : public WorkFolderTest {
 protected:
  // Loads the bytes through a file, as every pass does.
  std::unique_ptr<TextBuffer> load(const std::string& bytes) {
    writeBytes("source.txt", bytes);
    auto buffer = std::make_unique<TextBuffer>("source.txt");
    EXPECT_TRUE(buffer->isValid());
    return buffer;
  }
};

std::string built(const std::vector<int>& characters, int size = 100) {
  TextBuffer buffer(size);
  for (int c : characters) buffer.putChar(c);
  return std::string(buffer.getText(), static_cast<std::size_t>(buffer.getLength()));
}

TEST_F(TextBufferTest, LoadingEmptyMissingAndNulFiles) {
  auto empty = load("");
  EXPECT_EQ(empty->getLength(), 0);
  EXPECT_EQ(empty->getChar(), -1);
  char line[8] = "keep";
  EXPECT_FALSE(empty->readLine(line, sizeof line, false));
  EXPECT_STREQ(line, "keep");

  TextBuffer missing("no-such-file.txt");
  EXPECT_FALSE(missing.isValid());

  auto withNul = load(std::string("ab\0cd", 5));
  EXPECT_EQ(withNul->getLength(), 2);
  withNul->setPosition(4, FromStart);  // positions up to the file size stay reachable
  EXPECT_EQ(withNul->getPosition(), 4);
  withNul->setPosition(99, FromStart);
  EXPECT_EQ(withNul->getPosition(), 5);
}

TEST_F(TextBufferTest, CharactersAreSignExtendedAndByteFFEndsTheText) {
  auto buffer = load("a\x80\xFE\xFFz");
  EXPECT_EQ(buffer->getChar(), 'a');
  EXPECT_EQ(buffer->getChar(), -128);
  EXPECT_EQ(buffer->getChar(), -2);
  EXPECT_EQ(buffer->getChar(), -1);  // the 0xFF byte is indistinguishable from the end
  EXPECT_EQ(buffer->getChar(), 'z');
  EXPECT_EQ(buffer->getChar(), -1);

  TextBuffer writeSide(10);
  writeSide.putChar('x');
  EXPECT_EQ(writeSide.getChar(), 0);
}

TEST(TextBufferPut, BlankLineRule) {
  struct Case {
    std::vector<int> put;
    std::string expected;
  } cases[] = {
      {{'a', '\r', '\n', '\r', '\n', '\t', 'b'}, "a\r\nb"},
      {{'a', '\n', '\n', '\t', 'b'}, "a\n\n\tb"},          // bare line feeds are not touched
      {{'a', '\r', '\n', ' ', ' ', '\r', '\n', 'b'}, "a\r\n  \r\nb"},  // lines of blanks stay
      {{'\r', '\n', '\t', '\t', 'x', '\t'}, "\r\nx\t"},    // tabs only vanish at a line's start
      {{'a', '\r', '\r', '\n', '\r'}, "a\r\r\n"},
      {{'\n', '\r', '\n', '\n', '\r', 'c'}, "\n\r\nc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(built(c.put), c.expected) << "expected " << ::testing::PrintToString(c.expected);
  }
}

TEST(TextBufferPut, FullBufferDropsAndRemembersTheCut) {
  TextBuffer small(3);
  small.putText("abcdef");
  EXPECT_EQ(std::string(small.getText()), "abc");
  EXPECT_EQ(small.getLength(), 3);
  EXPECT_TRUE(small.wasCut());

  TextBuffer exact(3);
  exact.putText("abc");
  EXPECT_FALSE(exact.wasCut());

  // A character the blank-line rule drops anyway does not count as cut.
  TextBuffer full(4);
  full.putText("ab\r\n");
  full.putText("\r\n\t");
  EXPECT_EQ(std::string(full.getText()), "ab\r\n");
  EXPECT_FALSE(full.wasCut());
  full.putChar('y');
  EXPECT_TRUE(full.wasCut());
}

// A pass's output buffer takes over the block of the one before: it must start as empty and as
// zero-filled as a fresh one, whatever the one before held or how its position moved.
TEST(TextBufferPut, AnOutputBufferStartsEmptyAfterAnother) {
  for (int round = 0; round < 3; ++round) {
    auto first = std::make_unique<TextBuffer>(passOutputSize);
    first->putText(std::string(round == 0 ? 10 : 5000, 'x').c_str());
    if (round == 2) {  // moved back after writing further
      first->setPosition(2, FromStart);
      first->putText("yy");
    }
    first.reset();
    TextBuffer next(passOutputSize);
    next.putText("ab");
    EXPECT_EQ(next.getLength(), 2);
    EXPECT_EQ(std::string(next.getText()), "ab") << "round " << round;
    const char* text = next.getText();
    EXPECT_EQ(std::count(text, text + passOutputSize + 4, '\0'), passOutputSize + 2) << "round " << round;
  }
}

TEST(TextBufferPut, PutTextKeepsTheBlankLineRuleAcrossItsPieces) {
  struct Case {
    std::string before;  // put character by character first
    std::string text;
    std::string expected;
  } cases[] = {
      {"", "a\r\n\r\n\tb\r\n", "a\r\nb\r\n"},
      {"a\r\n", "\r\n\tb", "a\r\nb"},  // the rule carries over from the characters put before
      {"a\r", "\n\tb", "a\r\nb"},
      {"a\r\n", "x\r\n\t", "a\r\nx\r\n"},
      {"", "\t\r\r\n\n\r\ty", "\t\r\r\ny"},
      {"", "a\n\n\tb\xFF\xE9", "a\n\n\tb\xFF\xE9"},
  };
  for (const Case& c : cases) {
    TextBuffer buffer(100);
    for (char ch : c.before) buffer.putChar(ch);
    buffer.putText(c.text.c_str());
    EXPECT_EQ(std::string(buffer.getText(), static_cast<std::size_t>(buffer.getLength())), c.expected)
        << ::testing::PrintToString(c.before + c.text);
  }
}

// Stops of the passes' kinds: a plain stop, and a '.' guarded by the pairs "fo" and "<a".
const RunStops dotStops(".");
const RunStops guardedDot("", ".", "fo<a");

struct RunCase {
  std::string source;
  const RunStops* stops;
  int limit;
  std::string before;  // put into the output first
  std::string copied;  // the output afterwards
  int position;        // the source position afterwards
};

TEST_F(TextBufferTest, CopyRunStopsWhereThePassTakesOver) {
  const RunCase cases[] = {
      {"abc.def", &dotStops, 100, "", "abc", 3},
      {".abc", &dotStops, 100, "", "", 0},
      {"abcdefghij", &dotStops, 6, "", "abcdef", 6},  // up to the position limit
      {"abcdef", &dotStops, 0, "", "", 0},
      {"ab\xFF" "cd", &dotStops, 100, "", "ab", 2},  // the end byte
      {"a.b.Fx.fO.x", &guardedDot, 100, "", "a.b.Fx", 6},
      {"1.5.FOLDER", &guardedDot, 100, "", "1.5", 3},
      {"x.{A", &guardedDot, 100, "", "x", 1},  // '{' stands for '<'
      {"x.}A.", &guardedDot, 100, "", "x.}A.", 5},  // a '.' at the end has nothing after it
      // Line ends: a run stops before a line feed that a line break or tab follows, and at the
      // start when the output ends in CR LF and the source begins with a line break or tab.
      {"a\r\nb\r\nc", &dotStops, 100, "", "a\r\nb\r\nc", 7},
      {"a\r\n\r\nb", &dotStops, 100, "", "a\r", 2},
      {"a\r\n\tb", &dotStops, 100, "", "a\r", 2},
      {"\r\nb", &dotStops, 100, "x\r\n", "x\r\n", 0},
      {"\tb", &dotStops, 100, "x\r\n", "x\r\n", 0},
      {"b\t", &dotStops, 100, "x\r\n", "x\r\nb\t", 2},
      {"\n\tb", &dotStops, 100, "x\r", "x\r", 0},
      {"\n\r", &dotStops, 100, "\r", "\r", 0},
      {"\nb", &dotStops, 100, "\r", "\r\nb", 2},
  };
  for (const RunCase& c : cases) {
    auto source = load(c.source);
    TextBuffer out(100);
    for (char ch : c.before) out.putChar(ch);
    out.copyRun(*source, *c.stops, c.limit);
    EXPECT_EQ(std::string(out.getText(), static_cast<std::size_t>(out.getLength())), c.copied)
        << ::testing::PrintToString(c.source);
    EXPECT_EQ(source->getPosition(), c.position) << ::testing::PrintToString(c.source);
  }
}

TEST_F(TextBufferTest, SkipRunDropsUpToTheNextStop) {
  const RunCase cases[] = {
      {"ab\r\n\r\n\tc.d", &dotStops, 100, "", "", 8},  // line breaks do not end a skip
      {"a.b.fo", &guardedDot, 100, "", "", 3},
      {"abcdef", &dotStops, 4, "", "", 4},
      {"ab\xFF" "c", &dotStops, 100, "", "", 2},
  };
  for (const RunCase& c : cases) {
    auto source = load(c.source);
    source->skipRun(*c.stops, c.limit);
    EXPECT_EQ(source->getPosition(), c.position) << ::testing::PrintToString(c.source);
  }
}

// Copying runs and putting the other characters one by one gives the same bytes as putting every
// character one by one, whatever the text, the stops, the limits and the room in the output.
TEST_F(TextBufferTest, RunsPutTheSameBytesAsSingleCharacters) {
  const char alphabet[] = {'a', 'F', 'o', '.', '.', ' ', '\r', '\n', '\r', '\n', '\t', '<', '\xE9', '\xFF'};
  std::uint32_t state = 7;
  auto draw = [&state](std::uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (std::uint32_t n = draw(60); n > 0; --n) text += alphabet[draw(sizeof alphabet)];
    const int room = round % 3 == 0 ? static_cast<int>(draw(40)) : 100;
    const int step = 1 + static_cast<int>(draw(8));  // how far each run may go

    auto one = load(text);
    TextBuffer single(room);
    for (int c = one->getChar(); c != -1; c = one->getChar()) single.putChar(c);

    auto many = load(text);
    TextBuffer runs(room);
    const RunStops& stops = round % 2 ? guardedDot : dotStops;
    for (;;) {
      runs.copyRun(*many, stops, many->getPosition() + step);
      int c = many->getChar();
      if (c == -1) break;
      runs.putChar(c);
    }
    SCOPED_TRACE(::testing::PrintToString(text) + " room " + std::to_string(room));
    EXPECT_EQ(std::string(runs.getText(), static_cast<std::size_t>(runs.getLength())),
              std::string(single.getText(), static_cast<std::size_t>(single.getLength())));
    EXPECT_EQ(runs.wasCut(), single.wasCut());
    EXPECT_EQ(many->getPosition(), one->getPosition());
  }
}

TEST_F(TextBufferTest, SaveAsWritesExactlyTheCharactersPut) {
  TextBuffer out(passOutputSize);
  out.putText("one\r\n\r\n\ttwo\xE9\r\n");
  EXPECT_TRUE(out.saveAs("out.txt"));
  EXPECT_EQ(readBytes("out.txt"), "one\r\ntwo\xE9\r\n");

  writeBytes("old.txt", "longer old contents");
  TextBuffer shorter(10);
  shorter.putText("new");
  EXPECT_TRUE(shorter.saveAs("old.txt"));
  EXPECT_EQ(readBytes("old.txt"), "new");

  EXPECT_FALSE(shorter.saveAs("no-such-folder/out.txt"));
  auto loaded = load("text");
  EXPECT_FALSE(loaded->saveAs("copy.txt"));
  EXPECT_FALSE(exists("copy.txt"));
}

TEST_F(TextBufferTest, ReadLineInBothModes) {
  struct Case {
    std::string text;
    bool keepLineEnd;
    int size;
    std::vector<std::string> lines;  // until readLine returns false
  } cases[] = {
      {"ab\r\ncd", false, 100, {"ab", "", "cd"}},  // the LF of a CR LF comes back as an empty line
      {"ab\r\ncd", true, 100, {"ab\r\n", "cd"}},
      {"ab\ncd\n", false, 100, {"ab", "cd"}},
      {"ab\ncd\n", true, 100, {"ab\n", "cd\n"}},
      {"abcdef\n", false, 5, {"abc", "def", ""}},  // at most size - 2 characters a call
      {"x\0y", false, 100, {"x"}},
      {"\n", false, 100, {""}},
  };
  for (const Case& c : cases) {
    auto buffer = load(c.text);
    std::vector<std::string> lines;
    char line[100];
    while (lines.size() < 10 && buffer->readLine(line, c.size, c.keepLineEnd)) lines.push_back(line);
    EXPECT_EQ(lines, c.lines) << ::testing::PrintToString(c.text) << " keepLineEnd " << c.keepLineEnd;
  }
}

TEST_F(TextBufferTest, SetPositionClampsAndRejectsAnUnknownOrigin) {
  auto buffer = load("0123456789");
  buffer->setPosition(4, FromStart);
  buffer->setPosition(3, FromCurrent);
  EXPECT_EQ(buffer->getPosition(), 7);
  buffer->setPosition(-20, FromCurrent);
  EXPECT_EQ(buffer->getPosition(), 0);
  buffer->setPosition(50, FromStart);
  EXPECT_EQ(buffer->getPosition(), 10);

  MessageRecorder messages;
  buffer->setPosition(2, 2);
  EXPECT_EQ(buffer->getPosition(), 10);
  ASSERT_EQ(messages.calls().size(), 1u);
  EXPECT_EQ(messages.calls()[0].caption, "Error");
  EXPECT_EQ(messages.calls()[0].text, "setpos, faulty param");
}

struct SearchCase {
  std::string text;
  const char* pattern;
  bool found;
  int positionAfter;  // where reading goes on when found
};

const SearchCase searchCases[] = {
    {"..folder x", ".folder", true, 8},
    {"route.FOLDER", ".folder", true, 12},
    {"aab", "ab", true, 3},
    {"abababc", "ababc", true, 7},  // the failed partial match overlaps the real one
    {"aaaab", "aaab", true, 5},
    {".fold", ".folder", false, -1},
    {"x\xFF.folder", ".folder", false, -1},  // 0xFF ends the search
    {"", "a", false, -1},
};

TEST_F(TextBufferTest, FindTextFindsTheFirstOccurrenceCaseInsensitively) {
  for (const SearchCase& c : searchCases) {
    auto buffer = load(c.text);
    EXPECT_EQ(findText(c.pattern, *buffer), c.found) << c.text;
    if (c.found) {
      EXPECT_EQ(buffer->getPosition(), c.positionAfter) << c.text;
    }
  }
}

TEST_F(TextBufferTest, FindTextInFileSearchesTheSameWay) {
  for (const SearchCase& c : searchCases) {
    writeBytes("search.txt", c.text);
    FILE* file = openFile("search.txt", "rt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(findTextInFile(c.pattern, file), c.found) << c.text;
    if (c.found) {
      EXPECT_EQ(std::ftell(file), c.positionAfter) << c.text;
    }
    std::fclose(file);
  }
}

struct FieldRead {
  std::string field;
  int terminator;
};

TEST_F(TextBufferTest, FieldReadersStopAtTheirTerminators) {
  struct Case {
    std::string text;
    bool rw;
    int size;
    std::vector<FieldRead> reads;
  } cases[] = {
      {"abcdef,", false, 4, {{"abc", 'd'}, {"ef", ','}, {"", -1}}},  // the character that did not fit comes back
      {" 12;x,\r\nz", false, 100, {{" 12", ';'}, {"x", ','}, {"\r", '\n'}, {"z", -1}}},
      {"a)b,c", false, 100, {{"a)b", ','}, {"c", -1}}},
      {"a)b,c;d", true, 100, {{"a", ')'}, {"b", ','}, {"c;d", -1}}},
      {"ab\xFF" "cd", false, 100, {{"ab", -1}}},
      {"\xE9t\xE9,", false, 100, {{"\xE9t\xE9", ','}}},
  };
  for (const Case& c : cases) {
    auto buffer = load(c.text);
    char field[100];
    for (const FieldRead& expected : c.reads) {
      int terminator = c.rw ? readRwField(*buffer, field, c.size) : readCsvField(*buffer, field, c.size);
      EXPECT_EQ(field, expected.field) << ::testing::PrintToString(c.text);
      EXPECT_EQ(terminator, expected.terminator) << ::testing::PrintToString(c.text);
    }
  }
}

TEST_F(TextBufferTest, SkipFieldConsumesThroughTheTerminator) {
  struct Case {
    std::string text;
    bool rw;
    int terminator;
    int next;  // the character read after the skip
  } cases[] = {
      {"old name;x", false, ';', 'x'}, {"old)name;x", false, ';', 'x'}, {"old)x", true, ')', 'x'},
      {"a;b,x", true, ',', 'x'},       {"abc\nx", false, '\n', 'x'},    {"abc", false, -1, -1},
  };
  for (const Case& c : cases) {
    auto buffer = load(c.text);
    EXPECT_EQ(c.rw ? skipRwField(*buffer) : skipField(*buffer, false), c.terminator) << c.text;
    EXPECT_EQ(buffer->getChar(), c.next) << c.text;
  }
}

TEST(ShowError, FormatsTextAndDetail) {
  MessageRecorder messages;
  EXPECT_TRUE(showError("A"));
  EXPECT_TRUE(showError("A", "B"));
  ASSERT_EQ(messages.calls().size(), 2u);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"A", "A\n\nB"}));
  for (const MessageBoxCall& call : messages.calls()) {
    EXPECT_EQ(call.caption, "Error");
    EXPECT_EQ(call.style, static_cast<unsigned>(mbIconError | mbTaskModal));
    EXPECT_EQ(call.owner, nullptr);
  }
}

TEST(TextHelpers, TrimTrailingZeros) {
  const std::pair<const char*, const char*> cases[] = {
      {"2.500000", "2.5"}, {"3.000000", "3"}, {"0.000", "0"}, {"100", "100"}, {"10.0", "10"},
      {"-0.250", "-0.25"}, {".000", "."},    {"5.", "5"},     {"", ""},       {"1e10.0", "1e10"},
  };
  for (const auto& c : cases) {
    char text[32];
    std::strcpy(text, c.first);
    trimTrailingZeros(text);
    EXPECT_STREQ(text, c.second) << c.first;
  }
}

TEST(TextHelpers, TrimBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {" \tab \r\n", "ab"}, {"\xFF" "a b\xFF", "a b"}, {"   ", ""}, {"", ""}, {"x", "x"}, {"\n\nx y\t", "x y"},
  };
  for (const auto& c : cases) {
    char text[32];
    std::strcpy(text, c.first);
    trimBlanks(text);
    EXPECT_STREQ(text, c.second) << ::testing::PrintToString(std::string(c.first));
  }
}

}  // namespace
