// Random well-formed conditional chains, nested three deep, against a straightforward model: the
// branch after the first true condition, or else the else branch, stays; everything else goes.
#include <random>
#include <string>

#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct ChainMaker {
  std::mt19937 generator;
  std::string route, expected;

  int below(int n) { return static_cast<int>(generator() % static_cast<unsigned>(n)); }

  void chain(int depth, bool kept) {
    // A condition holds when its text reads as a whole number other than 0: the odd ones here.
    static const char* const conditions[] = {"0", "1", "abc", "2.9", "0.9"};
    const int branches = 1 + below(3), ifs = branches + below(2);  // the last branch may be an else
    bool taken = false;
    for (int i = 0; i < ifs; ++i) {
      const int condition = i < branches ? below(5) : 1;
      route += i == branches ? "#else<>" : (i ? "#elseif<" : "#if<") + std::string(conditions[condition]) + ">";
      const bool branchKept = kept && !taken && condition % 2 == 1;
      taken = taken || branchKept;
      body(depth, branchKept);
    }
    route += "#endif<>";
  }

  void body(int depth, bool kept) {
    for (int parts = 1 + below(3); parts > 0; --parts) {
      if (depth < 3 && below(3) == 0) {
        chain(depth + 1, kept);
      } else {
        const char word = static_cast<char>('a' + below(26));
        route += word;
        if (kept) expected += word;
      }
    }
  }
};

class ChainsTest : public WorkFolderTest {};

TEST_F(ChainsTest, NestedChainsKeepExactlyTheFirstTrueBranch) {
  ChainMaker maker;
  maker.generator.seed(2026);
  for (int i = 0; i < 300; ++i) {
    maker.route.clear();
    maker.expected.clear();
    maker.body(0, true);
    resetSymbolStores();
    writeBytes(preprocessedFile, maker.route);
    ASSERT_TRUE(processRoute("out.csv", nullptr)) << maker.route;
    ASSERT_EQ(readBytes("out.csv"), maker.expected) << maker.route;
  }
}

}  // namespace
