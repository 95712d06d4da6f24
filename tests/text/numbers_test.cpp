#include "text/numbers.h"

#include <cfloat>
#include <climits>
#include <limits>
#include <string>

#include "support/test_support.h"

namespace {

TEST(Numbers, WholeNumbersReadLikeAtoiAndSaturate) {
  struct Case {
    std::string text;
    int expected;
  } cases[] = {
      {"", 0},
      {"42", 42},
      {"  -17abc", -17},
      {"\t+8", 8},
      {"00042", 42},
      {"3.9", 3},
      {"1 2", 1},
      {"-", 0},
      {"- 5", 0},
      {"++5", 0},
      {"abc", 0},
      {"0x1F", 0},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"99999999999999999999999999", INT_MAX},
      {"-99999999999999999999999999", INT_MIN},
      {"4294967297", INT_MAX},  // no wrap to 1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseWholeNumber(c.text.c_str()), c.expected) << ::testing::PrintToString(c.text);
  }
}

TEST(Numbers, NumbersReadOnlyTheDecimalGrammar) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::string text;
    double expected;
  } cases[] = {
      {"", 0},
      {"2.5", 2.5},
      {"-2.5", -2.5},
      {"+3", 3},
      {".5", 0.5},
      {"-.25", -0.25},
      {"5.", 5},
      {".", 0},
      {"-", 0},
      {" 7", 7},
      {"0.1", 0.1},
      {"1e3", 1000},
      {"1E-2", 0.01},
      {"1.e2", 100},
      {"2.5e1x", 25},
      {"1e", 1},  // an exponent without digits is not part of the number
      {"1e+", 1},
      {"1e-x", 1},
      {"e5", 0},
      {".e5", 0},
      {"1d2", 1},
      {"1,5", 1},
      {"12abc", 12},
      {"0x10", 0},  // hexadecimal is no number: the '0' is read, the 'x' ends it
      {"0X1p4", 0},
      {"inf", 0},
      {"-inf", 0},
      {"INFINITY", 0},
      {"nan", 0},
      {"-nan(1)", 0},
      {"1e400", inf},
      {"-1e400", -inf},
      {"1e-400", 0},
      {"1" + std::string(199, '0'), 1e199},  // longer than any small local copy
      {"0." + std::string(300, '0') + "5", 5e-301},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseNumber(c.text.c_str()), c.expected) << ::testing::PrintToString(c.text);
  }
}

std::string formatted(double number) {
  char text[numberTextSize];
  formatNumber(number, text, sizeof text);
  return text;
}

TEST(Numbers, FormattingIsPercentFThenTrimmed) {
  struct Case {
    double number;
    std::string expected;
  } cases[] = {
      {2.5, "2.5"},
      {3, "3"},
      {0, "0"},
      {-2, "-2"},
      {0.25, "0.25"},
      {100, "100"},
      {1e15, "1000000000000000"},
      {0.1 + 0.2, "0.3"},
      {1234.5678, "1234.5678"},
      {123456789.125, "123456789.125"},
      {1.0 / 3, "0.333333"},
      {2.0 / 3, "0.666667"},  // six decimals, rounded
      {2.0000004, "2"},
      {0.0000015, "0.000002"},
      // Exact halves at the seventh decimal go to the even digit, as "%f" rounds them.
      {1.0 / 128, "0.007812"},
      {3.0 / 128, "0.023438"},
      {-5.0 / 128, "-0.039062"},
      {1e-7, "0"},
      {static_cast<double>(0.1f), "0.1"},  // a stored single-precision value
      // What "%f" gives for a negative zero and for tiny negatives, trimmed like every number.
      {-0.0, "-0"},
      {-1e-7, "-0"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatted(c.number), c.expected) << c.number;
}

TEST(Numbers, InfinitiesNanAndTheLargestNumbers) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(formatted(inf), "inf");
  EXPECT_EQ(formatted(-inf), "-inf");
  EXPECT_EQ(formatted(nan), "nan");
  EXPECT_EQ(formatted(-nan), "nan");
  EXPECT_EQ(formatted(inf - inf), "nan");

  // Every digit, exactly as on every platform: the integer part of a double in full.
  const std::string e300 =
      "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864043704"
      "4438328838781769425232353604305756447921847867069828483872009265758037378302337947880900593689532349707999"
      "45081119038967640880074652742780142494579258788820056842838115669472196386865459400540160";
  EXPECT_EQ(formatted(1e300), e300);
  const std::string largest =
      "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327668781715404"
      "5895351438246423432132688946418276846754670353751698604991057655128207624549009038932894407586850845513394"
      "2304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368";
  EXPECT_EQ(largest.size(), 309u);
  EXPECT_EQ(formatted(DBL_MAX), largest);
  EXPECT_EQ(formatted(-DBL_MAX), "-" + largest);

  // A smaller destination holds the first characters, as snprintf would.
  char cut[8];
  formatNumber(-DBL_MAX, cut, sizeof cut);
  EXPECT_STREQ(cut, "-179769");
  formatNumber(2.5, cut, 3);
  EXPECT_STREQ(cut, "2");  // "2." with its '.' trimmed
}

}  // namespace
