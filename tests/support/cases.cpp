#include "support/cases.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/files.h"

namespace testing_support {

// Decodes up to `end` from `i`; \# stands for `round`.
static std::string decode(const std::string& text, std::size_t& i, char end, int round) {
  std::string out;
  while (i < text.size() && text[i] != end) {
    const char c = text[i++];
    if (c != '\\' || i == text.size()) {
      out += c;
      continue;
    }
    const char e = text[i++];
    if (e == 'r' || e == 'n' || e == 't') out += e == 'r' ? '\r' : e == 'n' ? '\n' : '\t';
    else if (e == '#') out += std::to_string(round);
    else if (e == 'x') {
      out += static_cast<char>(std::strtol(text.substr(i, 2).c_str(), nullptr, 16));
      i += 2;
    } else if (e == '{') {
      const std::size_t colon = text.find(':', i);
      const int count = std::atoi(text.substr(i, colon - i).c_str());
      std::size_t stop = colon + 1;
      for (int n = 0; n < std::max(count, 1); ++n) {
        stop = colon + 1;
        const std::string part = decode(text, stop, '}', n);
        if (n < count) out += part;
      }
      i = stop + 1;
    } else {
      out += e;  // \\ and \} stand for themselves
    }
  }
  return out;
}

std::string decodeCaseValue(const std::string& text) {
  std::size_t i = 0;
  return decode(text, i, '\0', 0);
}

std::string optionsConfig(const std::string& options) {
  std::string text = "sim\nroutes\ntrains\n" + options;
  for (std::size_t at; (at = text.find(" | ")) != std::string::npos;) text.replace(at, 3, "\n");
  return text;
}

std::string visible(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : bytes) {
    const char* named = c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\\' ? "\\\\" : nullptr;
    if (named) out += named;
    else if (c < 0x20 || c > 0x7E) out += std::string("\\x") + digits[c >> 4] + digits[c & 15];
    else out += static_cast<char>(c);
  }
  return out;
}

std::vector<TestCase> readCaseFiles(const std::string& sourceDir) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(sourceDir + "/tests/cases"))
    if (entry.path().extension() == ".txt") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  paths.push_back(sourceDir + "/docs/route-authors.md");  // its examples, in blocks of "```case"
  std::vector<TestCase> cases;
  for (const std::string& path : paths) {
    std::istringstream in(readBytes(path));
    std::string line;
    const bool guide = path.size() > 3 && path.compare(path.size() - 3, 3, ".md") == 0;
    bool inBlock = !guide;
    for (int number = 1; std::getline(in, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string where = path + ":" + std::to_string(number);
      if (guide && (line == "```case" || line == "```")) inBlock = line != "```";
      if (!inBlock || line.empty() || line.rfind("//", 0) == 0 || line.rfind("```", 0) == 0) continue;
      if (line.rfind("== ", 0) == 0) {
        cases.push_back({where, line.substr(3), {}});
      } else if (line.rfind("| ", 0) == 0 && !cases.empty() && !cases.back().fields.empty()) {
        cases.back().fields.back().value += line.substr(2);
      } else {
        if (cases.empty() || cases.back().where.rfind(path, 0) != 0) cases.push_back({where, "a field before a case", {}});
        std::size_t colon = line.find(": ");
        if (colon == std::string::npos) colon = line.size() - (line.back() == ':' ? 1 : 0);
        const std::string head = line.substr(0, colon);
        const std::size_t blank = head.find(' ');
        cases.back().fields.push_back({head.substr(0, blank), blank == std::string::npos ? "" : head.substr(blank + 1),
                                       colon + 2 <= line.size() ? line.substr(colon + 2) : ""});
      }
    }
  }
  return cases;
}

}  // namespace testing_support
