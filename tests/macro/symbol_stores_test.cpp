#include "macro/symbol_stores.h"

#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

// In every store: a name keeps the lowest slot that holds it, case-sensitive; an empty name finds
// the lowest free slot without claiming it; no slot takes a name of more than 30 characters; the
// 65th name finds none.
TEST(SymbolStores, SlotsByNameInEveryStore) {
  auto check = [](auto& store, const char* what) {
    resetSymbolStores();
    const std::string n30(30, 'n'), n31(31, 'n');
    std::vector<int> slots;
    for (const char* name : {"a", "A", n30.c_str(), "a", "", n31.c_str()}) slots.push_back(findOrClaimSlot(store, name));
    for (const char* name : {"A", n30.c_str(), "b", ""}) slots.push_back(findSlot(store, name));
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 2, 0, 3, -1, 1, 2, -1, 3})) << what;
    for (int i = 3; i < storeSlots; ++i) findOrClaimSlot(store, std::to_string(i).c_str());
    EXPECT_EQ(std::to_string(findOrClaimSlot(store, "full")) + " " + std::to_string(findSlot(store, "")) + " " +
                  std::to_string(findOrClaimSlot(store, "63")), "-1 -1 63") << what;
  };
  check(symbolStores.values, "values");
  check(symbolStores.words, "words");
  check(symbolStores.rndsets, "rndsets");
  check(symbolStores.macros, "macros");
}

}  // namespace
