// The main of every test program: no test ever opens a real message box. A box that a test did
// not expect (it installed no recorder) fails that test and is answered as the default would be.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

void installUnexpectedBoxHandler() {
  setMessageHandler([](const MessageBoxCall& call) {
    ADD_FAILURE() << "unexpected message box \"" << call.caption << "\": " << call.text;
    return (call.style & 0xF) == mbYesNo ? static_cast<int>(answerNo) : static_cast<int>(answerOk);
  });
}

// Recorders restore the empty handler when they end; this puts the guard back before each test.
class GuardEveryTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { installUnexpectedBoxHandler(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new GuardEveryTest);
  return RUN_ALL_TESTS();
}
