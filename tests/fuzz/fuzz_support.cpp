#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/platform.h"

namespace fuzzing {

const std::vector<FuzzTarget>& fuzzTargets() {
  static const std::vector<FuzzTarget> targets = {
      {"inline_eval", fuzzInlineEval, 4096},
      {"macro_run", fuzzMacroRun, 12288},
      {"route_rewrite", fuzzRouteRewrite, 4096},
      {"signal_system", fuzzSignalSystem, 4096},
      {"config", fuzzConfig, 4096},
      {"route_info", fuzzRouteInfo, 8192},
  };
  return targets;
}

void check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::fflush(stderr);
  std::abort();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(nativePath(path.c_str()), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream in(nativePath(path.c_str()), std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileIsThere(const std::string& path) { return filePresent(path.c_str()); }

void removeFile(const std::string& path) { std::remove(nativePath(path.c_str()).c_str()); }

MessageLog::MessageLog(bool answerYes) {
  setMessageHandler([this, answerYes](const MessageBoxCall& call) {
    texts.push_back(call.text);
    if ((call.style & 0xF) != mbYesNo) return static_cast<int>(answerOk);
    return static_cast<int>(answerYes ? ::answerYes : answerNo);
  });
}

MessageLog::~MessageLog() { setMessageHandler(nullptr); }

std::string upToNul(const std::string& text) { return std::string(text.c_str()); }

std::string collapseLineBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    bool afterCrLf = out.size() >= 2 && out[out.size() - 2] == '\r' && out.back() == '\n';
    if (afterCrLf && (c == '\r' || c == '\n' || c == '\t')) continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace fuzzing
