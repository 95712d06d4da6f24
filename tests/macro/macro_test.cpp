// What the case files of the macro language cannot show: the question box of #choice<...>, and
// random nested conditional chains against a small model.
#include <random>

#include "macro/inline_eval.h"
#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class MacroTest : public WorkFolderTest {};

// The question of #choice<...> as the player meets it: a yes/no box whose text is the question,
// cut at its first comma, and the answer as 1 or 0.
TEST(Choice, AsksInAQuestionBoxAndAnswersOneOrZero) {
  for (int answer : {answerYes, answerNo}) {
    MessageRecorder recorder(answer);
    std::string input = "[#choice<Go #add<1,2>, or stay?>]";
    char output[64];
    evaluateInline(output, &input[0], sizeof output);
    ASSERT_EQ(recorder.calls.size(), 1u);
    const MessageBoxCall& box = recorder.calls[0];
    EXPECT_EQ(output + ("|" + box.caption + "|" + box.text + "|") + std::to_string(box.style),
              std::string(answer == answerYes ? "[1" : "[0") + " or stay?>]|Choice|Go 3\n\nPress \"Yes\" for the first "
              "option, and \"No\" for the second option:|" + std::to_string(mbYesNo | mbIconQuestion | mbTaskModal));
  }
}

struct ChainMaker {
  std::mt19937 generator{2026};
  std::string route, expected;

  int below(int n) { return static_cast<int>(generator() % static_cast<unsigned>(n)); }

  void chain(int depth, bool kept) {
    // A condition holds when its text reads as a whole number other than 0: the odd ones here.
    static const char* const conditions[] = {"0", "1", "abc", "2.9", "0.9"};
    const int branches = 1 + below(3), all = branches + below(2);  // the last may be an else branch
    bool taken = false;
    for (int i = 0; i < all; ++i) {
      const int condition = i < branches ? below(5) : 1;
      route += i == branches ? "#else<>" : (i ? "#elseif<" : "#if<") + std::string(conditions[condition]) + ">";
      body(depth, kept && !taken && condition % 2 == 1);
      taken = taken || condition % 2 == 1;
    }
    route += "#endif<>";
  }

  void body(int depth, bool kept) {
    for (int parts = 1 + below(3); parts > 0; --parts) {
      if (depth < 3 && below(3) == 0) {
        chain(depth + 1, kept);
      } else {
        route += static_cast<char>('a' + below(26));
        if (kept) expected += route.back();
      }
    }
  }
};

TEST_F(MacroTest, NestedChainsKeepExactlyTheFirstTrueBranch) {
  ChainMaker maker;
  for (int i = 0; i < 300; ++i) {
    maker.route = maker.expected = "";
    maker.body(0, true);
    resetSymbolStores();
    writeBytes(preprocessedFile, maker.route);
    ASSERT_EQ(processRoute("out.csv", nullptr) ? readBytes("out.csv") : "<failed>", maker.expected) << maker.route;
  }
}

}  // namespace
