#include "text/random.h"

#include <ctime>

namespace {
std::uint32_t randomState = 1;
}

void seedRandom(std::uint32_t seed) { randomState = seed; }

int drawRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFF);
}

std::uint32_t timeSeed() { return static_cast<std::uint32_t>(std::time(nullptr)); }
