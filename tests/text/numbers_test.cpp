#include "text/numbers.h"

#include <cfloat>
#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "text/random.h"

namespace {

TEST(Numbers, ParsingReadsOnlyTheDecimalGrammar) {
  const std::pair<std::string, int> wholes[] = {
      {" \t-190x", -190}, {"+8", 8}, {"3.9", 3}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
  };
  for (const auto& c : wholes) EXPECT_EQ(parseWholeNumber(c.first.c_str()), c.second) << c.first;
  // An exponent counts only with digits; hexadecimal, "inf" and "nan" are no numbers.
  const std::pair<std::string, double> numbers[] = {
      {"+3", 3}, {" -.25", -0.25}, {"2.5e1x", 25}, {"1E-2", 0.01}, {"1e+", 1}, {"0x10", 0}, {"inf", 0},
      {"1" + std::string(199, '0'), 1e199},  // longer than any small local copy
  };
  for (const auto& c : numbers) EXPECT_EQ(parseNumber(c.first.c_str()), c.second) << c.first;
}

std::string formatted(double number, std::size_t size = numberTextSize) {
  char text[numberTextSize];
  formatNumber(number, text, size);
  return text;
}

// "%f" then trimmed: six decimals, exact halves to the even digit, every digit of the integer part
// as on every platform, and a smaller destination holds the first characters.
TEST(Numbers, FormattingIsPercentFThenTrimmed) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, std::string> cases[] = {
      {2.5, "2.5"}, {100, "100"}, {2.0 / 3, "0.666667"}, {2.0000004, "2"}, {1.0 / 128, "0.007812"},
      {3.0 / 128, "0.023438"}, {-1e-7, "-0"}, {inf, "inf"}, {-inf, "-inf"}, {-nan, "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatted(c.first), c.second) << c.first;
  EXPECT_EQ(formatted(1e300), "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371"
                              "3750804478640437044438328838781769425232353604305756447921847867069828483872009265758037"
                              "3783023379478809005936895323497079994508111903896764088007465274278014249457925878882005"
                              "6842838115669472196386865459400540160");
  const std::string largest = "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895"
                              "5863276687817154045895351438246423432132688946418276846754670353751698604991057655128207"
                              "6245490090389328944075868508455133942304583236903222948165808559332123348274797826204144"
                              "723168738177180919299881250404026184124858368";
  EXPECT_EQ(formatted(-DBL_MAX), "-" + largest);
  EXPECT_EQ(formatted(-DBL_MAX, 8) + " " + formatted(2.5, 3), "-179769 2");  // "2." with its '.' trimmed
}

// Every draw: state = state * 214013 + 2531011 (mod 2^32), then bits 16 to 30.
TEST(Random, SeedsGiveTheSameDrawsOnEveryPlatform) {
  for (const auto& c : {std::make_pair(1u, std::vector<int>{41, 18467, 6334, 26500, 19169}),
                        std::make_pair(0xFFFFFFFFu, std::vector<int>{35, 29739, 3374, 11141, 31308})}) {
    seedRandom(c.first);
    std::vector<int> draws;
    for (int i = 0; i < 5; ++i) draws.push_back(drawRandom());
    EXPECT_EQ(draws, c.second) << c.first;
  }
}

}  // namespace
