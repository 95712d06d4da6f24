#include "macro/route_check.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "macro/keyword_table.h"
#include "macro/symbol_stores.h"
#include "platform/platform.h"

namespace {

constexpr std::size_t nameLimit = 30, argumentLimit = 259, maxRepeatDepth = 8;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
char bracket(char c) { return c == '{' ? '<' : c == '}' ? '>' : c; }

// The command keyword that stands whole at text[at] (just after a '#'), or -1.
int commandAt(const std::string& text, std::size_t at) {
  for (int id = 0; id < commandCount; ++id) {
    const std::string keyword = commandKeyword(id);
    if (text.size() - at < keyword.size()) continue;
    bool whole = true;
    for (std::size_t k = 0; k < keyword.size() && whole; ++k) whole = lower(bracket(text[at + k])) == keyword[k];
    if (whole) return id;
  }
  return -1;
}

// Whether two words are one letter apart: one changed, added or left out.
bool oneEditApart(const std::string& a, const std::string& b) {
  if (a == b || (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > 1) return false;
  std::size_t front = 0, back = 0;
  while (front < a.size() && front < b.size() && a[front] == b[front]) ++front;
  while (back < a.size() - front && back < b.size() - front && a[a.size() - 1 - back] == b[b.size() - 1 - back]) {
    ++back;
  }
  return front + back + 1 >= std::max(a.size(), b.size());
}

// The path with "." and "name/.." left out, so that one file has one name.
std::string normalPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') {
      part += path[i];
      continue;
    }
    if (part == ".." && !parts.empty() && parts.back() != "..") parts.pop_back();
    else if (part != "." && (!part.empty() || parts.empty())) parts.push_back(part);
    part.clear();
  }
  std::string normal;
  for (const std::string& p : parts) normal += (normal.empty() && &p == &parts[0] ? "" : "/") + p;
  return normal.empty() ? "." : normal;
}

struct Place {
  std::size_t file, at;
};

class Checker {
 public:
  std::vector<RouteFinding> findings;

  void checkFile(const std::string& given, const Place* includedAt) {
    const std::string path = normalPath(given);
    std::string text;
    if (!readTextFile(path.c_str(), text)) {
      if (includedAt) report(*includedAt, true, "the included file is not there: " + path);
      else report({fileIndex(path), 0}, true, "the route cannot be read");
      return;
    }
    if (std::find(active.begin(), active.end(), path) != active.end() || active.size() == 100) {
      report(*includedAt, true, "the file includes itself: " + path);
      return;
    }
    const std::size_t file = fileIndex(path);
    texts[file] = text;
    active.push_back(path);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '#') i = command(file, i);
    }
    active.pop_back();
  }

  void finish() {
    for (const Place& open : chains) report(open, true, "#if< without its #endif<>");
    for (const Place& open : repeats) report(open, false, "#repeat<> without its #endrepeat<>: it runs once");
    if (macroOpen) report(*macroOpen, true, "#definemacro< without its #endmacro<>");
    for (const auto& [kindAndName, place] : uses) {
      if (!defined.count(kindAndName)) {
        report(place, false, "no " + kindAndName.first + " named " + kindAndName.second + " is defined in the route");
      }
    }
    std::stable_sort(findings.begin(), findings.end(), [this](const RouteFinding& a, const RouteFinding& b) {
      const std::size_t fa = fileIndex(a.file), fb = fileIndex(b.file);
      return fa != fb ? fa < fb : a.line != b.line ? a.line < b.line : a.column < b.column;
    });
  }

 private:
  std::vector<std::string> files, texts, active;  // texts by file; the chain of includes being read
  std::vector<Place> chains, repeats;
  std::optional<Place> macroOpen;
  std::set<std::pair<std::string, std::string>> defined;
  std::map<std::pair<std::string, std::string>, Place> uses;
  std::map<std::string, int> distinctNames;

  std::size_t fileIndex(const std::string& path) {
    const auto found = std::find(files.begin(), files.end(), path);
    if (found != files.end()) return static_cast<std::size_t>(found - files.begin());
    files.push_back(path);
    texts.resize(files.size());
    return files.size() - 1;
  }

  void report(const Place& place, bool error, const std::string& text) {
    RouteFinding finding{files[place.file], 1, 1, error, text};
    const std::string& source = texts[place.file];
    for (std::size_t i = 0; i < place.at && i < source.size(); ++i) {
      source[i] == '\n' ? (++finding.line, finding.column = 1) : ++finding.column;
    }
    findings.push_back(finding);
  }

  // The arguments of the command whose brackets open at text[open]: their texts, and whether a
  // line end cut one. Reports arguments longer than kept.
  std::vector<std::string> arguments(std::size_t file, std::size_t open, const std::string& name) {
    const std::string& text = texts[file];
    std::vector<std::string> found(1);
    int depth = 1;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
      const char c = bracket(text[i]);
      if (c == '\n') {
        report({file, i}, false, "the line ends inside the arguments of " + name + ": the argument ends here");
        break;
      }
      if (depth == 1 && (c == ',' || c == '>')) {
        if (c == '>') break;
        found.emplace_back();
        continue;
      }
      depth += c == '<' ? 1 : c == '>' ? -1 : 0;
      found.back() += text[i];
      if (found.back().size() == argumentLimit + 1) {
        report({file, i}, false, "an argument of " + name + " longer than 259 characters: the rest is the next one");
      }
    }
    if (!found.empty() && !found.back().empty() && found.back().back() == '\r') found.back().pop_back();
    return found;
  }

  void name(const std::string& kind, const std::string& given, const Place& place, bool defines) {
    if (given.find('#') != std::string::npos) return;  // computed as the route is prepared
    const auto key = std::make_pair(kind, given);
    if (!defines) {
      uses.emplace(key, place);
      return;
    }
    if (given.size() > nameLimit) report(place, true, "a " + kind + " name longer than 30 characters: " + given);
    if (defined.insert(key).second && ++distinctNames[kind] == storeSlots + 1) {
      report(place, true, "more than 64 " + kind + " names: " + given);
    }
  }

  // Handles the command whose '#' stands at text[at]; gives the place of its last character read.
  std::size_t command(std::size_t file, std::size_t at) {
    const std::string& text = texts[file];
    const Place place{file, at};
    const int id = commandAt(text, at + 1);
    if (id < 0) {
      typo(file, at);
      return at;
    }
    const std::string keyword = commandKeyword(id), shown = "#" + keyword;
    const std::size_t end = at + keyword.size();  // the keyword's last character
    const std::vector<std::string> args =
        keyword.back() == '<' ? arguments(file, end, shown) : std::vector<std::string>();
    const std::string first = args.empty() ? "" : args[0];
    switch (id) {
      case cmdNotes: {
        std::size_t close = end;
        do close = text.find('#', close + 1);
        while (close != std::string::npos && commandAt(text, close + 1) != cmdEndNotes);
        if (close != std::string::npos) return close + std::string(commandKeyword(cmdEndNotes)).size();
        report(place, true, "#notes<> without its #endnotes<>: the rest of the file is dropped");
        return text.size();
      }
      case cmdInclude: {
        // Found beside the route; an include in included text, in a later pass, in the program folder.
        const std::string& path = files[file];
        const std::size_t slash = active.size() == 1 ? path.find_last_of("\\/") : std::string::npos;
        checkFile((slash == std::string::npos ? "" : path.substr(0, slash + 1)) + first, &place);
        break;
      }
      case cmdDefineMacro:
        name("macro", first, place, true);
        if (!macroOpen) macroOpen = place;
        break;
      case cmdEndMacro:
        if (!macroOpen) report(place, true, "#endmacro<> without #definemacro<");
        macroOpen.reset();
        break;
      case cmdMacro: name("macro", first, place, false); break;
      case cmdIf: chains.push_back(place); break;
      case cmdElseIf:
      case cmdElse:
        if (chains.empty()) report(place, true, shown + " without #if<");
        break;
      case cmdEndIf:
        if (chains.empty()) report(place, true, "#endif<> without #if<");
        else chains.pop_back();
        break;
      case cmdRepeat:
        repeats.push_back(place);
        if (repeats.size() == maxRepeatDepth + 1) report(place, true, "repeat sections nested deeper than 8");
        break;
      case cmdEndRepeat:
        if (repeats.empty()) report(place, true, "#endrepeat<> without #repeat<>");
        else repeats.pop_back();
        break;
      case cmdBreakRepeat:
        if (repeats.empty()) report(place, true, "#breakrepeat<> outside a repeat section");
        break;
      case cmdSetValue: name("value", first, place, true); break;
      case cmdValue:
      case cmdDv: name("value", first, place, false); break;
      case cmdSetWord:
        name("word", first, place, true);
        if (args.size() > 1 && args[1].size() > 31 && args[1].find('#') == std::string::npos) {
          report(place, false, "a word longer than 31 characters: only " + args[1].substr(0, 31) + " is kept");
        }
        break;
      case cmdWord: name("word", first, place, false); break;
      case cmdDefineRndset: name("rndset", first, place, true); break;
      case cmdRndset: name("rndset", first, place, false); break;
      default: break;
    }
    return end;
  }

  // A '#' and a word that is no command: a keyword without its brackets, or one letter off one.
  void typo(std::size_t file, std::size_t at) {
    const std::string& text = texts[file];
    std::string word;
    std::size_t i = at + 1;
    for (; i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])); ++i) word += lower(text[i]);
    const bool opens = i < text.size() && bracket(text[i]) == '<';
    if (word.empty()) return;
    for (int id = 0; id < commandCount; ++id) {
      std::string keyword = commandKeyword(id), letters = keyword.substr(0, keyword.find('<'));
      if (word == letters || oneEditApart(word, letters)) {
        const std::string written = "#" + text.substr(at + 1, i - at - 1) + (opens ? std::string(1, text[i]) : "");
        report({file, at}, false, written + " is not a command and stays in the route as text; did you mean #" +
                                      keyword + "?");
        return;
      }
    }
  }
};

}  // namespace

std::vector<RouteFinding> checkRoute(const std::string& path) {
  Checker checker;
  checker.checkFile(path, nullptr);
  checker.finish();
  return checker.findings;
}
