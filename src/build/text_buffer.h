// A whole file in memory, and the small text helpers that every pass over a route shares.
//
// A TextBuffer is either loaded whole from a file and then read character by character with a
// movable position (the read side), or built empty with a fixed capacity, filled character by
// character and saved in one piece (the write side). Characters are plain bytes; getChar returns
// them sign-extended, so the byte 0xFF reads as -1, the end of the text, for every reader.
#pragma once

#include <cstdio>

#include "platform/platform.h"

// Origins for TextBuffer::setPosition.
enum SeekOrigin : int { FromStart = 0, FromCurrent = 1 };

// The size of every pass's output buffer: no prepared route or temporary file is larger.
constexpr int passOutputSize = 1048576;

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
    if ((c == '\n' || c == '\r' || c == '\t') && lastTwo[0] == '\r' && lastTwo[1] == '\n') return;
    if (position >= capacity - 4) {
      cut = true;
      return;
    }
    text[position++] = static_cast<char>(c);
    length++;
    lastTwo[0] = lastTwo[1];
    lastTwo[1] = static_cast<char>(c);
  }
  void putText(const char* characters);

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
  char lastTwo[3] = {0, 0, 0};  // the last two characters put, oldest first
};

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
