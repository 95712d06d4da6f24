#include "route/route_info.h"

#include <cstdio>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "support/test_support.h"
#include "text/info_text.h"

using namespace testing_support;

namespace {

std::string cleaned(const std::string& text, int size, bool keepBreaks) {
  std::vector<char> buffer(static_cast<std::size_t>(size > static_cast<int>(text.size()) ? size : text.size() + 1));
  text.copy(buffer.data(), text.size());
  cleanInfoText(buffer.data(), size, keepBreaks);
  return buffer.data();
}

TEST(CleanInfoText, EscapesAndLineBreaks) {
  struct Case {
    std::string before;
    bool keepBreaks;
    std::string after;
  } cases[] = {
      {"x$chr(13)", true, "x$chr(13)"},  // fewer than 8 characters behind the '$'
      {"x$chr(13)y", true, "x\r\ny"},
      {"x$chr(13)y", false, "x y"},
      {"x$abc(44)y", false, "x,y"},
      {"x$abc(10)y", true, "xy"},
      {"x$abc( 7)yz", true, "xyz"},
      {"a$b", true, "a$b"},
      {"a$bcdefghijk", true, "abcdefghijk"},
      {"$$chr(13)xy", true, "\r\nxy"},  // the first '$' is dropped, the second begins the escape
      {"\n", true, "\r\n"},
      {"\n", false, "\r\n"},
      {"a\rb", true, "a\r\nb"},
      {"a\rb", false, "a\rb"},
      {"a\r\nb", true, "a\r\n\r\nb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cleaned(c.before, 100, c.keepBreaks), c.after)
        << ::testing::PrintToString(c.before) << " keepBreaks " << c.keepBreaks;
  }
}

TEST(CleanInfoText, TheResultFitsTheBuffer) {
  struct Case {
    std::string before;
    int size;
    std::string after;
  } cases[] = {
      {"abcdef", 4, "abc"},
      {"ab\ncd", 4, "ab"},       // a line break that does not fit ends the text
      {"a\rb", 5, "a\r\nb"},
      {"a\rb", 4, "a\rb"},       // no room for the line feed: the CR stays alone
      {"x$chr(13)yz", 3, "x"},
      {"x$chr(44)yz", 3, "x,"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cleaned(c.before, c.size, true), c.after) << ::testing::PrintToString(c.before) << " size " << c.size;
  }
}

class RouteInfoTest : public WorkFolderTest {
 protected:
  RouteInfo read(int kind, const std::string& contents) {
    std::filesystem::create_directories("routes");
    writeBytes("routes/route.file", contents);
    std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "routes");
    std::snprintf(appState.routeFile, sizeof appState.routeFile, "route.file");
    appState.routeKind = static_cast<std::int8_t>(kind);
    return showRouteInfo();
  }
};

struct InfoCase {
  const char* what;
  int kind;
  std::string contents;
  std::string routeName, defaultTrain, description;
};

const char noName[] = "Route name not available";
const char noTrain[] = "Default train not available";
const char noDescription[] = "Description not available";

TEST_F(RouteInfoTest, TextsOfEachKind) {
  const std::string manyLines = [] {
    std::string lines;
    for (int i = 0; i < 50; ++i) lines += std::string(98, 'a') + "\r\n";
    return lines;
  }();
  const InfoCase cases[] = {
      {"csv", 2,
       ".Timetable My Route$chr(13)Part\r\n.Folder Train1\r\n"
       ".Comment This is a line$chr(13)Second line$chr(44) with comma\r\n",
       "My Route Part", "Train1", "This is a line\r\nSecond line, with comma"},
      {"csv without texts", 2, ".Sta x\r\n", noName, noTrain, noDescription},
      {"csv keyword at the end", 2, ".folder", noName, "", noDescription},
      {"rw", 1, "; comment\r\n[Route]\r\nComment=Hello World\r\nFile=Train2\r\n[Train]\r\nFolder=x\r\n", "route.file",
       "Train2", "[route]\r\ncomment=hello world\r\nfile=train2\r\n"},
      {"rw beginning with its train", 1, "[Train]\r\nx\r\n", "route.file", noTrain, ""},
      {"rw description of 4091 characters", 1, manyLines, "route.file", noTrain, manyLines.substr(0, 4091)},
      {"macro", 3, "#notes<>Hello#endnotes<>\r\n.Timetable T\r\n.Folder F\r\n", "route.file", "F", "Hello"},
      {"macro with braces", 3, "#NOTES{}Hello#ENDNOTES{}", "route.file", noTrain, "Hello"},
      {"macro without notes", 3, "#endnotes<>", "route.file", noTrain, ""},
      {"macro: a failed test loses characters", 3, "#notes<>a#5bc#endnotes<>", "route.file", noTrain, "ac"},
      {"macro: a failed notes test", 3, "#notes<>a#noxyz#endnotes<>", "route.file", noTrain, "az"},
      {"macro notes of 4090 characters", 3, "#notes<>" + std::string(5000, 'n'), "route.file", noTrain,
       std::string(4090, 'n')},
      {"macro train from file", 3, "file x", "route.file", "x", ""},
  };
  for (const InfoCase& c : cases) {
    RouteInfo info = read(c.kind, c.contents);
    EXPECT_TRUE(info.fileRead) << c.what;
    EXPECT_EQ(info.routeName, c.routeName) << c.what;
    EXPECT_EQ(info.defaultTrain, c.defaultTrain) << c.what;
    EXPECT_EQ(info.description, c.description) << c.what;
  }
}

TEST_F(RouteInfoTest, AnUnreadableFile) {
  std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "routes");
  std::snprintf(appState.routeFile, sizeof appState.routeFile, "missing.csv");
  appState.routeKind = 2;
  RouteInfo info = showRouteInfo();
  EXPECT_FALSE(info.fileRead);
  EXPECT_EQ(info.routeName, "Unable to open file");
  EXPECT_EQ(info.defaultTrain, noTrain);
  EXPECT_EQ(info.description, noDescription);
}

}  // namespace
