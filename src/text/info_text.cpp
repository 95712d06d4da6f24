#include "text/info_text.h"

#include <cstring>
#include <string>

#include "text/numbers.h"

void cleanInfoText(char* text, int size, bool keepBreaks) {
  if (size < 1) return;
  const int oldLength = static_cast<int>(std::strlen(text));
  std::string cleaned;
  // Appends a piece unless it would pass the buffer's room; false once the text is full.
  auto add = [&cleaned, size](const char* piece) {
    std::size_t length = std::strlen(piece);
    if (cleaned.size() + length > static_cast<std::size_t>(size - 1)) return false;
    cleaned.append(piece, length);
    return true;
  };
  bool room = true;
  for (int i = 0; i < oldLength && room; ++i) {
    char c = text[i];
    if (c == '\n') {
      room = add("\r\n");
    } else if (c == '\r') {
      bool asBreak = keepBreaks && static_cast<int>(cleaned.size()) < size - 3;
      room = add(asBreak ? "\r\n" : "\r");
    } else if (c == '$' && oldLength - i - 1 >= 8) {
      if (text[i + 4] != '(' || text[i + 7] != ')') continue;  // the '$' alone is dropped
      char digits[3] = {text[i + 5], text[i + 6], '\0'};
      int code = parseWholeNumber(digits);
      if (code == 13) room = add(keepBreaks ? "\r\n" : " ");
      if (code == 44) room = add(",");
      i += 7;  // the whole escape is consumed
    } else {
      const char single[2] = {c, '\0'};
      room = add(single);
    }
  }
  std::memcpy(text, cleaned.c_str(), cleaned.size() + 1);
}
