#include "text/text_buffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The block of the last pass's output buffer, cleared and kept for the next pass. Every pass
// builds one of passOutputSize characters; taking a fresh megabyte from the system each time costs
// more than a pass over a small route, and a build makes up to six of them.
std::atomic<char*> spareOutputBlock{nullptr};
constexpr int outputBlockSize = passOutputSize + 4;

}  // namespace

TextBuffer::TextBuffer(int size) {
  if (size < 0) size = 0;
  capacity = size + 4;
  if (capacity == outputBlockSize) text = spareOutputBlock.exchange(nullptr);
  if (!text) text = static_cast<char*>(std::calloc(static_cast<std::size_t>(capacity), 1));
  valid = text != nullptr;
}

TextBuffer::TextBuffer(const char* path) {
  fromFile = true;
  int size = 0;
  text = loadWholeFile(path, 4, &size);
  valid = text != nullptr;
  if (!valid) return;
  capacity = size + 4;
  length = static_cast<int>(std::strlen(text));  // a NUL byte ends the text
}

TextBuffer::~TextBuffer() {
  if (text && !fromFile && capacity == outputBlockSize) {
    // Every character written lies before the furthest position reached: clearing those leaves
    // the block as zero-filled as a fresh one.
    const int reached = position > furthest ? position : furthest;
    std::memset(text, 0, static_cast<std::size_t>(reached));
    text = spareOutputBlock.exchange(text);
  }
  std::free(text);
}

bool TextBuffer::endsEarly() const {
  if (!fromFile || !valid) return false;
  return length != capacity - 4 || std::memchr(text, 0xFF, static_cast<std::size_t>(length)) != nullptr;
}

void TextBuffer::putText(const char* characters) {
  static constexpr RunStops textEnd("");  // NUL, and the line feeds that may begin CR LF
  if (fromFile) return;
  for (const char* p = characters;;) {
    char* out = text + position;
    const int room = capacity - 4 - position;
    int count = 0;
    if (lastTwo != crLf || !RunStops::isLineBreak(*p)) {
      while (count < room && textEnd.kind(p[count]) == RunStops::plain) {
        out[count] = p[count];
        ++count;
      }
    }
    stored(count);
    p += count;
    if (*p == '\0') return;
    putChar(*p++);
  }
}

bool TextBuffer::readLine(char* dest, int size, bool keepLineEnd) {
  if (getChar() == -1) return false;
  setPosition(-1, FromCurrent);
  int stored = 0;
  while (stored < size - 2) {
    int c = getChar();
    if (c == 0 || c == -1) break;
    if (!keepLineEnd && (c == '\r' || c == '\n')) break;
    dest[stored++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  dest[stored] = '\0';
  return true;
}

void TextBuffer::setPosition(int offset, int origin) {
  long long target;
  if (origin == FromStart) {
    target = offset;
  } else if (origin == FromCurrent) {
    target = static_cast<long long>(position) + offset;
  } else {
    showError("setpos, faulty param");
    return;
  }
  int usable = capacity - 4;
  if (!fromFile && position > furthest) furthest = position;
  if (target < 0) target = 0;
  if (target >= usable) target = usable;
  position = static_cast<int>(target);
}

bool TextBuffer::saveAs(const char* path) const {
  if (fromFile || !valid) return false;
  return saveWholeFile(path, text, static_cast<std::size_t>(length));
}

namespace {

inline int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Knuth-Morris-Pratt over a stream of characters: `next` yields them, -1 at the end. For each
// prefix of the pattern, `fallback` holds the length of its longest proper border, so a partial
// match that fails can continue with the overlap it shares with the pattern's start.
template <typename Next>
bool searchStream(const char* pattern, Next next) {
  int patternLength = static_cast<int>(std::strlen(pattern));
  if (patternLength == 0) return true;
  std::vector<int> fallback(static_cast<std::size_t>(patternLength), 0);
  for (int i = 1, k = 0; i < patternLength; ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = fallback[k - 1];
    if (pattern[i] == pattern[k]) ++k;
    fallback[i] = k;
  }
  int matched = 0;
  for (;;) {
    int c = next();
    if ((c & 0xFF) == 0xFF) return false;
    c = lowerAscii(c & 0xFF);
    while (matched > 0 && c != static_cast<unsigned char>(pattern[matched])) matched = fallback[matched - 1];
    if (c == static_cast<unsigned char>(pattern[matched])) ++matched;
    if (matched == patternLength) return true;
  }
}

// Shared by the field readers: `isTerminator` decides which characters end a field.
template <typename IsTerminator>
int readField(TextBuffer& buffer, char* dest, int size, IsTerminator isTerminator) {
  int stored = 0;
  dest[0] = '\0';
  for (;;) {
    int c = buffer.getChar();
    if ((c & 0xFF) == 0xFF) return c;
    if (stored >= size - 1) return c;  // full: this character stands in for the terminator
    if (isTerminator(c)) return c;
    dest[stored++] = static_cast<char>(c);
    dest[stored] = '\0';
  }
}

inline bool isBlank(char c) {
  return c == '\n' || c == '\r' || c == '\t' || c == ' ' || static_cast<unsigned char>(c) == 0xFF;
}

}  // namespace

bool findText(const char* pattern, TextBuffer& buffer) {
  return searchStream(pattern, [&buffer] { return buffer.getChar(); });
}

bool findTextInFile(const char* pattern, FILE* file) {
  return searchStream(pattern, [file] { return std::fgetc(file); });
}

int readCsvField(TextBuffer& buffer, char* dest, int size) {
  return readField(buffer, dest, size, [](int c) { return c == ',' || c == ';' || c == '\n' || c == 0; });
}

int readRwField(TextBuffer& buffer, char* dest, int size) {
  return readField(buffer, dest, size, [](int c) { return c == ',' || c == ')' || c == '\n' || c == 0; });
}

int skipField(TextBuffer& buffer, bool rwStyle) {
  for (;;) {
    int c = buffer.getChar();
    if ((c & 0xFF) == 0xFF) return c;
    if (c == ',' || c == 0 || c == '\n' || c == (rwStyle ? ')' : ';')) return c;
  }
}

int skipRwField(TextBuffer& buffer) { return skipField(buffer, true); }

bool showError(const char* text, const char* detail) {
  std::string message(text ? text : "");
  if (detail) {
    message += "\n\n";
    message += detail;
  }
  showMessageBox(nullptr, message.c_str(), "Error", mbIconError | mbTaskModal);
  return true;
}

void trimTrailingZeros(char* text) {
  if (!std::strchr(text, '.')) return;
  for (int i = static_cast<int>(std::strlen(text)) - 1; i >= 1; --i) {
    if (text[i] == '0') {
      text[i] = '\0';
      continue;
    }
    if (text[i] == '.') text[i] = '\0';
    break;
  }
}

void trimBlanks(char* text) {
  std::size_t start = 0;
  while (text[start] && isBlank(text[start])) ++start;
  std::size_t end = std::strlen(text);
  while (end > start && isBlank(text[end - 1])) --end;
  std::memmove(text, text + start, end - start);
  text[end - start] = '\0';
}
