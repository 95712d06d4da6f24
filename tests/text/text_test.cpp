// The text layer: the text buffer's runs against single characters, its positions, fields and
// lines; numbers written as every platform does. (Numbers read and the random draws of a seed:
// the case files.)
#include <limits>

#include "support/test_support.h"
#include "text/numbers.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

class TextBufferTest : public WorkFolderTest {};

std::unique_ptr<TextBuffer> loaded(const std::string& bytes) {
  writeBytes("source.txt", bytes);
  return std::make_unique<TextBuffer>("source.txt");
}

std::string text(const TextBuffer& b) { return std::string(b.getText(), static_cast<std::size_t>(b.getLength())); }

// Copying runs and putting the other characters one by one, or putting the characters of a text
// after a few put one by one, gives the same bytes as putting every character one by one, whatever
// the text, the stops, the limits and the room in the output.
TEST_F(TextBufferTest, RunsAndTextsPutTheSameBytesAsSingleCharacters) {
  const char alphabet[] = {'a', 'F', 'o', '.', '.', ' ', '\r', '\n', '\r', '\n', '\t', '<', '\xE9', '\xFF'};
  const RunStops dotStops("."), guardedDot("", ".", "fo<a");  // a '.' that "fo" or "<a" follows
  unsigned state = 7;
  auto draw = [&state](unsigned n) { return ((state = state * 1103515245u + 12345u) >> 8) % n; };
  for (int round = 0; round < 300; ++round) {
    std::string source;
    for (unsigned n = draw(60); n > 0; --n) source += alphabet[draw(sizeof alphabet)];
    const int room = round % 3 == 0 ? static_cast<int>(draw(40)) : 100;
    const int step = 1 + static_cast<int>(draw(8));  // how far each run may go
    const std::size_t split = draw(static_cast<unsigned>(source.size() + 1));

    TextBuffer single(room), runs(room), pieces(room);
    for (char c : source) single.putChar(c);
    for (char c : source.substr(0, split)) pieces.putChar(c);
    pieces.putText(source.c_str() + split);
    auto many = loaded(source);
    for (;;) {
      runs.copyRun(*many, round % 2 ? guardedDot : dotStops, many->getPosition() + step);
      if (many->getPosition() >= many->getLength()) break;
      runs.putChar(many->getChar());
    }
    SCOPED_TRACE(::testing::PrintToString(source) + " room " + std::to_string(room));
    EXPECT_EQ(text(runs) + "|" + text(pieces), text(single) + "|" + text(single));
    EXPECT_EQ(std::to_string(runs.wasCut()) + std::to_string(pieces.wasCut()), std::string(2, '0' + single.wasCut()));
  }
}

// A pass's output buffer takes over the block of the one before: it must start as empty and as
// zero-filled as a fresh one, however far the one before wrote and moved back. A loaded text is
// never saved.
TEST_F(TextBufferTest, SavingAndAReusedOutputBlock) {
  auto first = std::make_unique<TextBuffer>(passOutputSize);
  first->putText(std::string(5000, 'x').c_str());
  first->setPosition(2, FromStart);
  first->putText("yy");
  first.reset();
  TextBuffer next(passOutputSize);
  next.putText("ab");
  EXPECT_EQ(std::count(next.getText(), next.getText() + passOutputSize + 4, '\0'), passOutputSize + 2);
  EXPECT_EQ(next.saveAs("out.txt") ? readBytes("out.txt") : "not saved", "ab");
  EXPECT_FALSE(loaded("0123456789")->saveAs("copy.txt") || exists("copy.txt"));
}

std::string read(TextBuffer& b, char style, int size) {
  char field[100];
  switch (style) {
    case 'c': return std::to_string(readCsvField(b, field, size)) + field;
    case 'r': return std::to_string(readRwField(b, field, size)) + field;
    case 's': return std::to_string(skipField(b, false));
    case 'S': return std::to_string(skipRwField(b));
    default: return b.readLine(field, size, style == 'K') ? field : "-1";
  }
}

// Each read gives its terminator (as a number) and what it stored, until the end (-1). A field
// ends at its terminator, or at the character that did not fit; lines at CR or LF (kept with K).
TEST_F(TextBufferTest, FieldsAndLines) {
  const struct { std::string text; char style; int size; std::string reads; } cases[] = {
      {"abcdef,", 'c', 4, "100abc|44ef|-1|"}, {" 12;x,\r\nz\xFF;", 'c', 100, "59 12|44x|10\r|-1z|"},
      {"a)b,c;d\n\xE9)", 'r', 100, "41a|44b|10c;d|41\xE9|-1|"},
      {"a;b)c,d\ne", 's', 0, "59|44|10|-1|"}, {"a;b)c,d\ne\xFF,", 'S', 0, "41|44|10|-1|"},
      {"ab\r\ncd", 'L', 100, "ab||cd|-1|"}, {"ab\ncd\n\n", 'K', 100, "ab\n|cd\n|\n|-1|"},
      {std::string("abcdef\nx\0y", 10), 'L', 5, "abc|def||x|-1|"},
  };
  for (const auto& c : cases) {
    auto buffer = loaded(c.text);
    std::string reads;
    for (int i = 0; i < 6 && reads.find("-1") == std::string::npos; ++i) reads += read(*buffer, c.style, c.size) + "|";
    EXPECT_EQ(reads, c.reads) << ::testing::PrintToString(c.text) << " " << c.style;
  }
}

std::string formatted(double number, std::size_t size = numberTextSize) {
  char text[numberTextSize];
  formatNumber(number, text, size);
  return text;
}

// "%f" then trimmed: six decimals, exact halves to the even digit, and a smaller destination holds
// the first characters. (Every digit of a large integer part, as on every platform: the case files.)
TEST(Numbers, FormattingIsPercentFThenTrimmed) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, std::string> cases[] = {
      {2.5, "2.5"}, {100, "100"}, {2.0 / 3, "0.666667"}, {2.0000004, "2"}, {1.0 / 128, "0.007812"},
      {3.0 / 128, "0.023438"}, {-1e-7, "-0"}, {inf, "inf"}, {-inf, "-inf"}, {-nan, "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatted(c.first), c.second) << c.first;
  // The largest double into 8 characters; 2.5 into 3, "2." with its '.' trimmed.
  EXPECT_EQ(formatted(-1.7976931348623157e308, 8) + " " + formatted(2.5, 3), "-179769 2");
}

}  // namespace
