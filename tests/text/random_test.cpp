#include "text/random.h"

#include <vector>

#include "support/test_support.h"

namespace {

std::vector<int> firstDraws(std::uint32_t seed, int count) {
  seedRandom(seed);
  std::vector<int> draws;
  for (int i = 0; i < count; ++i) draws.push_back(drawRandom());
  return draws;
}

TEST(Random, SeedsGiveTheSameDrawsOnEveryPlatform) {
  struct Case {
    std::uint32_t seed;
    std::vector<int> draws;
  } cases[] = {
      {1, {41, 18467, 6334, 26500, 19169}},
      {0, {38, 7719, 21238, 2437, 8855}},
      {42, {175, 400, 17869, 30056, 16083}},
      {0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}},
  };
  for (const Case& c : cases) EXPECT_EQ(firstDraws(c.seed, 5), c.draws) << "seed " << c.seed;
}

TEST(Random, DrawsStayWithin0To32767AndReseedingRepeats) {
  seedRandom(12345);
  int lowest = 32767, highest = 0;
  for (int i = 0; i < 100000; ++i) {
    int draw = drawRandom();
    lowest = draw < lowest ? draw : lowest;
    highest = draw > highest ? draw : highest;
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 32767);
  EXPECT_EQ(firstDraws(777, 3), firstDraws(777, 3));
}

}  // namespace
