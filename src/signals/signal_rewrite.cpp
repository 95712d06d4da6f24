#include "signals/signal_rewrite.h"

#include <cstdio>

#include "signals/signal_catalog.h"
#include "text/text_buffer.h"

namespace {

struct SignalValues {
  int a;
  const char* label;
  float x, y;
  int t;
  bool csvForm;
};

// Writes what the code letter after an escape stands for; nothing for a byte that is no code.
void putCode(TextBuffer& out, char code, const SignalValues& v) {
  char number[64];  // "%f" of the largest float needs 47 characters
  switch (code) {
    case 'a':
      std::snprintf(number, sizeof number, "%d", v.a);
      out.putText(number);
      break;
    case 't':
      std::snprintf(number, sizeof number, "%d", v.t);
      out.putText(number);
      break;
    case 'x':
      std::snprintf(number, sizeof number, "%f", static_cast<double>(v.x));
      out.putText(number);
      break;
    case 'y':
      std::snprintf(number, sizeof number, "%f", static_cast<double>(v.y));
      out.putText(number);
      break;
    case 'n':
      out.putText(v.label);
      break;
    case 's':
      out.putText(v.csvForm ? ".Signal " : "@signal(");
      break;
    case 'r':
      out.putText(v.csvForm ? ".Relay " : "@relay(");
      break;
    case 'p':
      out.putText(v.csvForm ? ";" : ",");
      break;
    case 'e':
      out.putText(v.csvForm ? "," : ")");
      break;
    default:
      break;
  }
}

}  // namespace

void rewriteSignal(TextBuffer& out, int a, const char* label, float x, float y, int t, bool isSignal, bool csvForm) {
  const SignalValues values{a, label, x, y, t, csvForm};
  bool escaped = false;
  for (const char* p = isSignal ? signaldef : relaydef; *p; ++p) {
    if (escaped) {
      putCode(out, *p, values);
      escaped = false;
    } else if (static_cast<unsigned char>(*p) == templateEscape) {
      escaped = true;
    } else {
      out.putChar(*p);
    }
  }
}
