// A whole file in memory, and the small text helpers that every pass over a route shares.
//
// A TextBuffer is either loaded whole from a file and then read character by character with a
// movable position (the read side), or built empty with a fixed capacity, filled character by
// character and saved in one piece (the write side). Characters are plain bytes; getChar returns
// them sign-extended, so the byte 0xFF reads as -1, the end of the text, for every reader.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

// Origins for TextBuffer::setPosition.
enum SeekOrigin : int { FromStart = 0, FromCurrent = 1 };

// The size of every pass's output buffer: no prepared route or temporary file is larger. A fuzzing
// build keeps it, and the passes' other bounds, sixty-four times smaller: an input that runs into
// them then costs milliseconds instead of seconds, and the code that meets them is the same.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr int passOutputSize = 16384;
#else
constexpr int passOutputSize = 1048576;
#endif

// What ends a run of plain text (TextBuffer::copyRun and skipRun). NUL and the byte 0xFF (the
// end of the text for every reader) always end it, and so do the characters that a pass handles
// itself. A guarded character ends it only where the two characters after it are one of the
// `followerPairs`, the pairs that can begin one of the pass's keywords (so a '.' ends a run of a
// csv route only where a keyword may follow); the pairs are given two characters each, in lower
// case, and letters match in either case, '{' and '}' as '<' and '>'. A copied run also ends
// where putChar would drop a line break or tab, after CR LF: before a line feed that a line break
// or tab follows, and at its start when it comes after CR LF.
class RunStops {
 public:
  enum Kind : unsigned char { plain, stop, guarded, lineFeed };

  constexpr explicit RunStops(const char* characters, const char* guardedCharacters = "",
                              const char* followerPairs = "") {
    kinds[static_cast<unsigned char>('\n')] = lineFeed;
    for (const char* p = guardedCharacters; *p; ++p) kinds[static_cast<unsigned char>(*p)] = guarded;
    for (const char* p = characters; *p; ++p) kinds[static_cast<unsigned char>(*p)] = stop;
    kinds[0] = kinds[0xFF] = stop;
    for (const char* p = followerPairs; p[0] && p[1]; p += 2) {
      for (unsigned char first : spellings(p[0])) {
        for (unsigned char second : spellings(p[1])) {
          if (first && second) pairs[first][second >> 5] |= std::uint32_t{1} << (second & 31);
        }
      }
    }
  }

  Kind kind(char c) const { return kinds[static_cast<unsigned char>(c)]; }
  // Whether at[0] and at[1] are one of the follower pairs.
  bool pairFollows(const char* at) const {
    const unsigned char second = static_cast<unsigned char>(at[1]);
    return (pairs[static_cast<unsigned char>(at[0])][second >> 5] >> (second & 31)) & 1;
  }
  static bool isLineBreak(char c) { return c == '\n' || c == '\r' || c == '\t'; }

 private:
  struct Spellings {
    unsigned char each[2];
    constexpr const unsigned char* begin() const { return each; }
    constexpr const unsigned char* end() const { return each + 2; }
  };
  // A keyword character as the text may spell it.
  static constexpr Spellings spellings(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return {{u, static_cast<unsigned char>(u - 'a' + 'A')}};
    if (c == '<') return {{u, static_cast<unsigned char>('{')}};
    if (c == '>') return {{u, static_cast<unsigned char>('}')}};
    return {{u, 0}};
  }

  Kind kinds[256] = {};
  std::uint32_t pairs[256][8] = {};
};

class TextBuffer {
 public:
  // The write side: an empty buffer with room for `size` characters.
  explicit TextBuffer(int size);
  // The read side: the whole file. isValid() is false when it could not be read.
  explicit TextBuffer(const char* path);
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // The next character (sign-extended) and one step on; -1 at the end; 0 on a built buffer.
  int getChar() {
    if (!fromFile) return 0;
    if (position >= length) return -1;
    return static_cast<signed char>(text[position++]);
  }

  // Appends a character. After a CR LF pair, further CR, LF and tab characters are dropped until
  // another character comes: blank lines and the tabs that start a line vanish from every file
  // written through a buffer. A character that finds the buffer full is dropped and remembered
  // (wasCut); nothing happens on a loaded buffer.
  void putChar(int c) {
    if (fromFile) return;
    if (lastTwo == crLf && (c == '\n' || c == '\r' || c == '\t')) return;
    if (position >= capacity - 4) {
      cut = true;
      return;
    }
    text[position++] = static_cast<char>(c);
    length++;
    lastTwo = static_cast<unsigned short>(lastTwo << 8 | (c & 0xFF));
  }
  void putText(const char* characters);

  // Moves a run of plain text from `source` into this buffer, up to what `stops` ends it at, up
  // to the source position `limit` (not included) and up to the end of the source, exactly as
  // putChar(source.getChar()) for each character would. It ends early when this buffer is full;
  // putChar then decides, one by one, what becomes of the characters. A pass calls it before
  // each character that it reads itself, so that plain text costs no more than a copy.
  void copyRun(TextBuffer& source, const RunStops& stops, int limit) {
    if (fromFile || !source.fromFile) return;
    const int from = source.position;
    int end = limit < source.length ? limit : source.length;
    if (end - from > capacity - 4 - position) end = from + (capacity - 4 - position);
    if (end <= from) return;  // before a pass's first report the limit lies before the position
    const char* in = source.text + from;  // in[i + 2] is always readable: a loaded text ends in 4 NULs
    char* out = text + position;
    if (lastTwo == crLf && RunStops::isLineBreak(in[0])) return;
    const int count = copyPlain(in, out, end - from, stops);
    source.position = from + count;
    stored(count);
  }

  // Reads past a run of characters that are dropped, as getChar would: up to what `stops` ends it
  // at (line breaks do not end it), up to the position `limit` (not included) and up to the end of
  // the text.
  void skipRun(const RunStops& stops, int limit) {
    if (!fromFile) return;
    const int end = limit < length ? limit : length;
    int i = position;
    for (; i < end; ++i) {
      const RunStops::Kind kind = stops.kind(text[i]);
      if (kind == RunStops::stop || (kind == RunStops::guarded && stops.pairFollows(text + i + 1))) break;
    }
    if (i > position) position = i;
  }

  // Reads a line of at most size - 2 characters into `dest`. With keepLineEnd false a CR or LF
  // ends the line and is consumed without being stored (so a CR LF file yields an empty line
  // after every line); with it true the characters are stored and a LF ends the line after being
  // stored. False at the end of the text, with `dest` untouched.
  bool readLine(char* dest, int size, bool keepLineEnd);

  // Moves the position from the start or from the current place, clamped to 0..usable size.
  // Any other origin is reported as "setpos, faulty param" and the position stays.
  void setPosition(int offset, int origin);

  int getPosition() const { return position; }
  int getLength() const { return length; }
  bool isValid() const { return valid; }
  // The characters held, NUL-terminated.
  const char* getText() const { return text ? text : ""; }
  // True once a character was dropped because the built buffer was full: the text is cut.
  bool wasCut() const { return cut; }
  // True for a loaded file whose text ends before the file does: at a NUL byte, or at a byte 0xFF,
  // which every reader takes for the end. A pass that went on would hand over a cut route.
  bool endsEarly() const;

  // Writes the characters of a built buffer to the file (created or truncated). True only when
  // the whole text was written; false on a loaded buffer.
  bool saveAs(const char* path) const;

 private:
  char* text = nullptr;  // capacity bytes, zero-filled, so the text is always NUL-terminated
  int capacity = 0;      // size asked for (or the file size) plus 4 spare bytes
  int length = 0;
  bool fromFile = false;
  bool valid = false;
  bool cut = false;
  int position = 0;
  int furthest = 0;  // a built buffer: the furthest position left by setPosition

  // Copies characters from `in` to `out` until `stops` ends the run or `size` are copied; returns
  // how many were copied. Plain characters go four at a time while four are left.
  int copyPlain(const char* in, char* out, int size, const RunStops& stops) const {
    int i = 0;
    for (;;) {
      for (; i + 4 <= size; i += 4) {
        if (stops.kind(in[i])) break;
        out[i] = in[i];
        if (stops.kind(in[i + 1])) { i += 1; break; }
        out[i + 1] = in[i + 1];
        if (stops.kind(in[i + 2])) { i += 2; break; }
        out[i + 2] = in[i + 2];
        if (stops.kind(in[i + 3])) { i += 3; break; }
        out[i + 3] = in[i + 3];
      }
      for (; i < size && !stops.kind(in[i]); ++i) out[i] = in[i];
      if (i == size) return i;
      const RunStops::Kind kind = stops.kind(in[i]);
      if (kind == RunStops::stop) return i;
      if (kind == RunStops::guarded ? stops.pairFollows(in + i + 1) : RunStops::isLineBreak(in[i + 1])) return i;
      out[i] = in[i];
      ++i;
    }
  }

  // Takes note of `count` characters just stored at the position.
  void stored(int count) {
    if (count == 0) return;
    const char* out = text + position;
    const unsigned older = count >= 2 ? static_cast<unsigned char>(out[count - 2]) : lastTwo & 0xFFu;
    lastTwo = static_cast<unsigned short>(older << 8 | static_cast<unsigned char>(out[count - 1]));
    position += count;
    length += count;
  }

  static constexpr unsigned short crLf = '\r' << 8 | '\n';
  unsigned short lastTwo = 0;  // the last two characters put, the older one in the high byte
};

// What a pass says, with the file's path, when it refuses a file whose text ends early.
constexpr const char* sourceEndsEarlyText =
    "Unable to read the whole source file: it holds a NUL byte or the byte 0xFF, where reading stops.";

// Case-insensitive forward search for a lower-case pattern from the current position. True with
// the position just after the first occurrence; false when the end (or a 0xFF byte) comes first.
// Overlapping partial matches are found: ".folder" is found in "..folder".
bool findText(const char* pattern, TextBuffer& buffer);
// The same search over a file opened for reading; its end or a 0xFF byte gives false.
bool findTextInFile(const char* pattern, FILE* file);

// Reads a route field up to its terminator (csv: , ; LF NUL; rw: , ) LF NUL), which is consumed
// and returned; the end of the text returns -1. The field is stored raw, leading blanks and a CR
// before a LF included. When size - 1 characters are stored, the next character is consumed and
// returned in place of the terminator.
int readCsvField(TextBuffer& buffer, char* dest, int size);
int readRwField(TextBuffer& buffer, char* dest, int size);
// Discards a field; returns its terminator (, NUL LF, and ; or ) by style) or -1 at the end.
int skipField(TextBuffer& buffer, bool rwStyle);
int skipRwField(TextBuffer& buffer);

// The one error box: caption "Error", the text alone or the text, a blank line and the detail.
// Always true, the sign that an error was reported.
bool showError(const char* text, const char* detail = nullptr);

inline int minInt(int a, int b) { return a < b ? a : b; }
inline int maxInt(int a, int b) { return a > b ? a : b; }

// In a number text that holds a '.', removes the trailing zeros and then a '.' left last:
// 2.500000 becomes 2.5, 3.000000 becomes 3; 100 stays.
void trimTrailingZeros(char* text);

// Removes leading and trailing LF, CR, tab, blank and 0xFF bytes, in place.
void trimBlanks(char* text);
