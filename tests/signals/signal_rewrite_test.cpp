#include "signals/signal_rewrite.h"

#include <cstring>
#include <string>

#include "signals/signal_catalog.h"
#include "support/test_support.h"
#include "text/text_buffer.h"

namespace {

struct Values {
  int a;
  const char* label;
  float x, y;
  int t;
};

std::string rewritten(const char* templateText, bool isSignal, bool csvForm, const Values& v) {
  std::strcpy(isSignal ? signaldef : relaydef, templateText);
  TextBuffer out(1000);
  rewriteSignal(out, v.a, v.label, v.x, v.y, v.t, isSignal, csvForm);
  return std::string(out.getText(), static_cast<std::size_t>(out.getLength()));
}

TEST(SignalRewrite, CodesAreReplacedInBothForms) {
  const char* fullSignal = "\xA7s\xA7" "a\xA7p\xA7n\xA7p\xA7x\xA7p\xA7y\xA7" "e";
  const Values zero = {4, "", 0, 0, 1};
  const Values some = {-3, "Home", 2.5f, -0.125f, 7};
  struct Case {
    const char* what;
    const char* templateText;
    bool isSignal;
    Values values;
    std::string csv, rw;
  } cases[] = {
      {"whole signal", fullSignal, true, zero, ".Signal 4;;0.000000;0.000000,", "@signal(4,,0.000000,0.000000)"},
      {"values", "\xA7" "a|\xA7t|\xA7x|\xA7y|\xA7n", true, some, "-3|7|2.500000|-0.125000|Home",
       "-3|7|2.500000|-0.125000|Home"},
      {"relay", "\xA7r\xA7x\xA7p\xA7y\xA7" "e", false, some, ".Relay 2.500000;-0.125000,",
       "@relay(2.500000,-0.125000)"},
      {"codes do not depend on the template", "\xA7s", false, some, ".Signal ", "@signal("},
      {"not codes", "<\xA7" "A\xA7z\xA7\xA7" "x\xA7" "1>", true, some, "<x>", "<x>"},  // the pair vanishes
      {"escape at the end", "ab\xA7", true, some, "ab", "ab"},
      {"blank-line rule", "x\r\n\r\n\ty", true, some, "x\r\ny", "x\r\ny"},
      {"a UTF-8 section sign is two bytes", "\xC2\xA7" "a", true, some, "\xC2-3", "\xC2-3"},
      {"empty", "", true, some, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rewritten(c.templateText, c.isSignal, true, c.values), c.csv) << c.what;
    EXPECT_EQ(rewritten(c.templateText, c.isSignal, false, c.values), c.rw) << c.what;
  }
}

}  // namespace
