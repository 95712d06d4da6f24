// The cleaning of description texts and the route information of a route file of any content.
// Input: a byte choosing the route kind, whether line breaks are kept and the spare room of the
// cleaned text's buffer, then the text.
// Properties: the cleaned text keeps to its buffer, breaks its lines with CR LF, and a text without
// '$' and line breaks stays as it was; the route information keeps to its line and description
// limits.
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "route/route_info.h"
#include "state/app_state.h"
#include "text/info_text.h"

namespace fuzzing {

namespace {

const char* const routeFiles[] = {"route.rw", "route.csv", "route.klf"};
const std::size_t descriptionLimits[] = {4091, 1022, 4090};

void checkCleaning(const std::string& text, int size, bool keepBreaks) {
  std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(size)]);
  std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
  cleanInfoText(buffer.get(), size, keepBreaks);
  std::size_t length = strnlen(buffer.get(), static_cast<std::size_t>(size));
  check(length < static_cast<std::size_t>(size), "the cleaned text keeps to its buffer");
  for (std::size_t i = 0; i < length; ++i) {
    if (buffer[i] == '\n') check(i > 0 && buffer[i - 1] == '\r', "cleaned lines end in CR LF");
  }
  if (text.find_first_of("$\r\n") == std::string::npos) check(text == buffer.get(), "a plain text stays as it was");
}

}  // namespace

int fuzzRouteInfo(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const unsigned choices = in.byte();
  const std::string file = in.rest();
  const std::string text = upToNul(file);
  checkCleaning(text, static_cast<int>(text.size() + 1 + (choices >> 3)), (choices & 4) != 0);

  const int kind = static_cast<int>(choices % 3);
  writeFile(routeFiles[kind], file);
  std::snprintf(appState.browseFolder, sizeof appState.browseFolder, ".");
  std::snprintf(appState.routeFile, sizeof appState.routeFile, "%s", routeFiles[kind]);
  appState.routeKind = static_cast<std::int8_t>(kind + 1);
  RouteInfo info = showRouteInfo();
  check(info.fileRead, "a route file that exists is read");
  check(info.routeName.size() <= 1022 && info.defaultTrain.size() <= 1021, "labels keep to a line of the route");
  check(info.description.size() <= descriptionLimits[kind], "the description keeps to its limit");
  removeFile(routeFiles[kind]);
  return 0;
}

}  // namespace fuzzing
