// Numbers in route text, read and written the same way on every platform.
#pragma once

#include <cstddef>

// A whole number in the manner of atoi: leading white space, an optional sign, decimal digits;
// the first other character ends it; no digits give 0. Beyond 32 bits it saturates.
int parseWholeNumber(const char* text);

// A number in the manner of atof, decimal only: leading white space, an optional sign, digits
// with an optional fraction and an optional exponent; the first other character ends it.
// No digits give 0; hexadecimal, "inf" and "nan" are no numbers and give 0.
double parseNumber(const char* text);

// "%f" of the number, then trailing zeros and a trailing '.' removed: 2.5, 3, -2, 0.25.
// Infinities are written inf and -inf, any NaN nan. `size` of 400 holds any double.
void formatNumber(double number, char* text, std::size_t size);
constexpr std::size_t numberTextSize = 400;
