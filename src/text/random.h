// The program's own random generator, the same on every platform, so that one seed gives the
// same prepared route on Windows and on Linux. Every random decision of a build takes one draw
// and reduces it with a remainder.
#pragma once

#include <cstdint>

// Starts the sequence: the state becomes the seed.
void seedRandom(std::uint32_t seed);

// The next draw, 0 to 32767: state = state * 214013 + 2531011 (mod 2^32), then bits 16 to 30.
int drawRandom();

// A seed from the current time in seconds, as the program uses at start-up.
std::uint32_t timeSeed();
