// The question of #choice<...> as the player meets it: a yes/no box whose text is the question,
// cut at its first comma, and the answer as 1 or 0. (Every other command of the language is in
// the case files, tests/cases/macro.txt.)
#include "macro/inline_eval.h"

#include <string>

#include "support/test_support.h"

using namespace testing_support;

TEST(Choice, AsksInAQuestionBoxAndAnswersOneOrZero) {
  for (int answer : {static_cast<int>(answerYes), static_cast<int>(answerNo)}) {
    MessageRecorder recorder(answer);
    std::string input = "[#choice<Go #add<1,2>, or stay?>]";
    char output[64];
    evaluateInline(output, &input[0], sizeof output);
    EXPECT_EQ(std::string(output), answer == answerYes ? "[1 or stay?>]" : "[0 or stay?>]");
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].text,
              "Go 3\n\nPress \"Yes\" for the first option, and \"No\" for the second option:");
    EXPECT_EQ(recorder.calls[0].caption, "Choice");
    EXPECT_EQ(recorder.calls[0].style, static_cast<unsigned>(mbYesNo | mbIconQuestion | mbTaskModal));
  }
}
