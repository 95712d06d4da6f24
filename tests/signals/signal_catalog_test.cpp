// The description of a signal system that the Starting options dialog shows: the lines of its
// sigsys.txt after the name, up to "#end#", escapes cleaned, within the dialog's buffer. (The
// catalogue and the sections are in the case files, tests/cases/signals.txt.)
#include "signals/signal_catalog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

class SignalDescriptionTest : public WorkFolderTest {};

TEST_F(SignalDescriptionTest, LinesAfterTheNameUpToTheEnd) {
  writeBytes("modern/sigsys.txt", "  Modern\t\r\nA modern set\r\nSecond$chr(44) line\r\n#end#\r\nhidden\r\n");
  writeBytes("cut/sigsys.txt", "ABCDEFGHIJKLMNOPQRST\r\nline\r\n");
  writeBytes("long/sigsys.txt", "Long\r\n" + std::string(127, 'x') + "#end#tail\r\nmore\r\n");
  writeBytes("bare/sigsys.txt", "Bare");
  const struct {
    const char* system;
    int size;
    std::string expected;
  } cases[] = {
      {"Modern", 512, "A modern set\r\nSecond, line\r\n"},
      {"Modern", 12, "A modern se"},                   // cut at size - 1
      {"ABCDEFGHIJKLMNO", 512, "PQRST\r\nline\r\n"},  // the rest of a name line past 15 characters
      {"Long", 512, std::string(127, 'x')},            // lines are read in pieces of 127 characters
      {"Bare", 512, ""},
      {"modern", 512, ""},  // names are compared exactly
  };
  for (const auto& c : cases) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", c.system);
    std::vector<char> buffer(static_cast<std::size_t>(c.size), 'Z');
    describeSignalSystem(buffer.data(), c.size);
    EXPECT_EQ(buffer.back(), '\0') << c.system;
    EXPECT_EQ(std::string(buffer.data()), c.expected) << c.system << " " << c.size;
  }
}
