#include "macro/symbol_stores.h"

#include <cstring>
#include <string>

#include "support/test_support.h"

namespace {

class SymbolStoresTest : public ::testing::Test {
 protected:
  void SetUp() override { resetSymbolStores(); }
};

// Runs a check on each of the four stores.
template <typename Check>
void forEachStore(Check check) {
  check(symbolStores.values, "values");
  check(symbolStores.words, "words");
  check(symbolStores.rndsets, "rndsets");
  check(symbolStores.macros, "macros");
}

TEST_F(SymbolStoresTest, ResetEmptiesEverySlotOfEveryStore) {
  std::memset(&symbolStores, 'z', sizeof symbolStores);
  resetSymbolStores();
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&symbolStores);
  std::size_t nonZero = 0;
  for (std::size_t i = 0; i < sizeof symbolStores; ++i) nonZero += bytes[i] != 0;
  EXPECT_EQ(nonZero, 0u);  // names, values, texts, all 32 items, counts and whole macro bodies

  forEachStore([](auto& store, const char* what) {
    EXPECT_EQ(findSlot(store, "x"), -1) << what;
    EXPECT_EQ(findSlot(store, ""), 0) << what;
  });
}

TEST_F(SymbolStoresTest, ClaimingFindingAndCase) {
  forEachStore([](auto& store, const char* what) {
    EXPECT_EQ(findOrClaimSlot(store, "speed"), 0) << what;
    EXPECT_EQ(findOrClaimSlot(store, "Speed"), 1) << what;  // names are case-sensitive
    EXPECT_EQ(findOrClaimSlot(store, "speed "), 2) << what;
    EXPECT_EQ(findOrClaimSlot(store, "speed"), 0) << what;  // a name present keeps its slot
    EXPECT_EQ(findSlot(store, "Speed"), 1) << what;
    EXPECT_EQ(findSlot(store, "SPEED"), -1) << what;
    EXPECT_EQ(findSlot(store, "spee"), -1) << what;
    EXPECT_EQ(findSlot(store, ""), 3) << what;
    EXPECT_STREQ(store[2].name, "speed ") << what;
  });
}

TEST_F(SymbolStoresTest, NamesOfThirtyCharactersAndLonger) {
  const std::string thirty(30, 'n');
  const std::string thirtyOne(31, 'n');
  const std::string long300(300, 'n');
  forEachStore([&](auto& store, const char* what) {
    EXPECT_EQ(findOrClaimSlot(store, thirty.c_str()), 0) << what;
    EXPECT_EQ(std::string(store[0].name), thirty) << what;
    EXPECT_EQ(findSlot(store, thirty.c_str()), 0) << what;

    // A longer name matches no slot, and no slot ever takes it.
    std::strcpy(store[5].name, thirtyOne.c_str());  // even if one were there
    EXPECT_EQ(findSlot(store, thirtyOne.c_str()), -1) << what;
    store[5].name[0] = '\0';
    EXPECT_EQ(findOrClaimSlot(store, thirtyOne.c_str()), -1) << what;
    EXPECT_EQ(findOrClaimSlot(store, long300.c_str()), -1) << what;
    EXPECT_EQ(findSlot(store, ""), 1) << what;
    EXPECT_STREQ(store[1].name, "") << what;
  });
}

TEST_F(SymbolStoresTest, SixtyFourNamesFillAStore) {
  forEachStore([](auto& store, const char* what) {
    for (int i = 0; i < storeSlots; ++i) {
      std::string name = "n" + std::to_string(i);
      ASSERT_EQ(findOrClaimSlot(store, name.c_str()), i) << what;
    }
    EXPECT_EQ(findOrClaimSlot(store, "n64"), -1) << what;
    EXPECT_EQ(findSlot(store, "n64"), -1) << what;
    EXPECT_EQ(findSlot(store, ""), -1) << what;          // no free slot left
    EXPECT_EQ(findOrClaimSlot(store, ""), -1) << what;
    EXPECT_EQ(findOrClaimSlot(store, "n63"), 63) << what;  // every name present is still found
    EXPECT_EQ(findOrClaimSlot(store, "n0"), 0) << what;
  });
}

TEST_F(SymbolStoresTest, AnEmptyNameUsesTheLowestFreeSlotWithoutClaimingIt) {
  forEachStore([](auto& store, const char* what) {
    findOrClaimSlot(store, "a");
    findOrClaimSlot(store, "b");
    EXPECT_EQ(findOrClaimSlot(store, ""), 2) << what;
    EXPECT_EQ(findOrClaimSlot(store, ""), 2) << what;
    EXPECT_STREQ(store[2].name, "") << what;
    EXPECT_EQ(findOrClaimSlot(store, "c"), 2) << what;  // the next new name takes that same slot
    EXPECT_EQ(findSlot(store, ""), 3) << what;
  });
}

TEST_F(SymbolStoresTest, TheLowestEqualNameAndTheLowestFreeSlotWin) {
  forEachStore([](auto& store, const char* what) {
    std::strcpy(store[7].name, "dup");
    std::strcpy(store[3].name, "dup");
    std::strcpy(store[0].name, "first");
    EXPECT_EQ(findSlot(store, "dup"), 3) << what;
    EXPECT_EQ(findOrClaimSlot(store, "dup"), 3) << what;
    EXPECT_EQ(findOrClaimSlot(store, "new"), 1) << what;
    EXPECT_EQ(findOrClaimSlot(store, "newer"), 2) << what;
    EXPECT_EQ(findOrClaimSlot(store, "newest"), 4) << what;  // past the occupied slot 3
  });
}

}  // namespace
