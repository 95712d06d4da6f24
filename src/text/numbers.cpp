#include "text/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text/text_buffer.h"

namespace {

inline bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int parseWholeNumber(const char* text) {
  const char* p = text;
  while (isWhiteSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long magnitude = 0;
  for (; isDigit(*p); ++p) {
    if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (*p - '0');  // stops growing once past the range
  }
  long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double parseNumber(const char* text) {
  const char* p = text;
  while (isWhiteSpace(*p)) ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  const char* digits = p;
  while (isDigit(*p)) ++p;
  bool anyDigit = p > digits;
  if (*p == '.') {
    const char* fraction = ++p;
    while (isDigit(*p)) ++p;
    anyDigit = anyDigit || p > fraction;
  }
  if (!anyDigit) return 0.0;
  if (*p == 'e' || *p == 'E') {  // an exponent counts only with digits
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (isDigit(*q)) {
      while (isDigit(*q)) ++q;
      p = q;
    }
  }
  // strtod on exactly the decimal characters found, so no platform reads more than this grammar.
  char local[128];
  std::size_t length = static_cast<std::size_t>(p - start);
  if (length < sizeof local) {
    std::memcpy(local, start, length);
    local[length] = '\0';
    return std::strtod(local, nullptr);
  }
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (!copy) return 0.0;
  std::memcpy(copy, start, length);
  copy[length] = '\0';
  double value = std::strtod(copy, nullptr);
  std::free(copy);
  return value;
}

void formatNumber(double number, char* text, std::size_t size) {
  if (std::isnan(number)) {
    std::snprintf(text, size, "nan");
  } else if (std::isinf(number)) {
    std::snprintf(text, size, "%s", number < 0 ? "-inf" : "inf");
  } else {
    // Exactly the characters of "%f" (std::to_chars is specified so), without the multiple-
    // precision arithmetic of printf, which takes tens of microseconds for a number such as 1e300:
    // a route repeating arithmetic on such numbers must not take seconds.
    char digits[numberTextSize];
    const std::to_chars_result written =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed, 6);
    if (size == 0) return;
    std::size_t length = written.ec == std::errc() ? static_cast<std::size_t>(written.ptr - digits) : 0;
    if (length > size - 1) length = size - 1;
    std::memcpy(text, digits, length);
    text[length] = '\0';
    trimTrailingZeros(text);
  }
}
