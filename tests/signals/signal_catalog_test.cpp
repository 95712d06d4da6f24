#include "signals/signal_catalog.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "state/app_state.h"
#include "support/test_support.h"
#include "text/text_buffer.h"

using namespace testing_support;

namespace {

class SignalCatalogTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    choose("Zelvik Default");
  }

  static void choose(const char* name) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", name);
  }

  static void makeSystem(const std::string& folder, const std::string& contents) {
    std::filesystem::create_directories(folder);
    writeBytes(folder + "/sigsys.txt", contents);
  }

  // The entries of the program's folder in the order the listing gives them.
  static std::vector<std::string> listingOrder() {
    std::vector<std::string> names;
    FolderScan* scan = openFolder(".");
    while (const char* entry = nextFolderEntry(scan)) names.push_back(entry);
    closeFolder(scan);
    return names;
  }

  static std::string describe(int size = 512) {
    std::vector<char> buffer(static_cast<std::size_t>(size), 'Z');
    describeSignalSystem(buffer.data(), size);
    EXPECT_EQ(buffer.back(), '\0');
    return buffer.data();
  }
};

TEST_F(SignalCatalogTest, ScanFindsFoldersWithADescriptionFile) {
  makeSystem("modern", "  Modern\t\r\nA modern set\r\n");
  makeSystem("abcdefghijklmnop", "Sixteen\r\n");  // a folder name of 16 characters
  makeSystem("fifteen_chars_x", "Fifteen\r\n");
  makeSystem("cut", "ABCDEFGHIJKLMNOPQRST\r\nline\r\n");
  makeSystem("empty", "");
  makeSystem("ff", "\xFF" "Name\xFF\r\n");
  std::filesystem::create_directories("nofile");
  std::filesystem::create_directories("dirsig/sigsys.txt");
  writeBytes("plain.txt", "Plain\r\n");
  writeBytes("sigsys.txt", "Self\r\n");  // the program's own folder is no system

  const std::vector<std::pair<std::string, std::string>> systems = {
      {"modern", "Modern"}, {"fifteen_chars_x", "Fifteen"}, {"cut", "ABCDEFGHIJKLMNO"}, {"empty", ""}, {"ff", "Name"}};
  std::vector<std::pair<std::string, std::string>> expected;
  for (const std::string& entry : listingOrder()) {
    for (const auto& system : systems) {
      if (system.first == entry) expected.push_back(system);
    }
  }
  std::vector<std::pair<std::string, std::string>> found;
  for (const SignalSystemEntry& entry : scanSignalSystems()) found.emplace_back(entry.folder, entry.name);
  EXPECT_EQ(found, expected);
}

TEST_F(SignalCatalogTest, Description) {
  makeSystem("modern", "  Modern\t\r\nA modern set\r\nSecond$chr(44) line\r\n#end#\r\nhidden\r\n#speeds#x#end#\r\n");
  makeSystem("cut", "ABCDEFGHIJKLMNOPQRST\r\nline\r\n");
  makeSystem("long", "Long\r\n" + std::string(127, 'x') + "#end#tail\r\nmore\r\n");
  makeSystem("bare", "Bare");
  struct Case {
    const char* system;
    int size;
    std::string expected;
  } cases[] = {
      {"Modern", 512, "A modern set\r\nSecond, line\r\n"},
      {"Modern", 12, "A modern se"},  // cut at size - 1
      {"ABCDEFGHIJKLMNO", 512, "PQRST\r\nline\r\n"},
      {"Long", 512, std::string(127, 'x')},  // lines are read in pieces of 127 characters
      {"Bare", 512, ""},
      {"Unknown", 512, ""},
      {"modern", 512, ""},  // names are compared exactly
  };
  for (const Case& c : cases) {
    choose(c.system);
    EXPECT_EQ(describe(c.size), c.expected) << c.system << " " << c.size;
  }
}

TEST_F(SignalCatalogTest, TwoSystemsOfOneName) {
  makeSystem("one", "Twin\r\nfirst\r\n");
  makeSystem("two", "Twin\r\nsecond\r\n");
  std::vector<std::string> order;
  for (const std::string& entry : listingOrder()) {
    if (entry == "one" || entry == "two") order.push_back(entry);
  }
  ASSERT_EQ(order.size(), 2u);
  choose("Twin");
  EXPECT_EQ(describe(), order[0] == "one" ? "first\r\nsecond\r\n" : "second\r\nfirst\r\n");
  std::strcpy(signalSystemFolder, "junk");
  EXPECT_TRUE(findSignalSystemFolder());
  EXPECT_EQ(std::string(signalSystemFolder), order[1]);

  choose("Other");
  EXPECT_FALSE(findSignalSystemFolder());
  EXPECT_STREQ(signalSystemFolder, "");
}

TEST_F(SignalCatalogTest, DefinitionSections) {
  struct Case {
    const char* what;
    std::string file;
    std::string speeds, signaldef, relaydef;
  } cases[] = {
      {"all three", "Sys\r\ndesc\r\n#end#\r\n#speeds#\r\n.speed 1\r\n#end#\r\n#SignalDef#\r\n\xA7s#5\r\n#END#\r\n"
                    "#relaydef#\r\nR\r\n#end#\r\n",
       "\r\n.speed 1\r\n", "\r\n\xA7s#5\r\n", "\r\nR\r\n"},
      {"only the name", "Sys", "", "", ""},
      {"a second section replaces the first", "Sys\r\n#speeds#long text#end##speeds#ab#end#", "ab", "", ""},
      {"a section opened inside another", "Sys\r\n#speeds#one#signaldef#two#end#rest", "one", "two", ""},
      {"end outside a section", "Sys\r\n#end#x#relaydef#y", "", "", "y"},
      {"a # that begins no keyword", "Sys\r\n#speeds#a#en#d", "a#en#d", "", ""},
      {"cut at 2047", "Sys\r\n#speeds#" + std::string(3000, 's') + "#end#", std::string(2047, 's'), "", ""},
  };
  choose("Sys");
  for (const Case& c : cases) {
    makeSystem("sys", c.file);
    std::strcpy(speeds, "junk");
    std::strcpy(signaldef, "junk");
    std::strcpy(relaydef, "junk");
    EXPECT_TRUE(loadSignalSystemDefs()) << c.what;
    EXPECT_EQ(std::string(speeds), c.speeds) << c.what;
    EXPECT_EQ(std::string(signaldef), c.signaldef) << c.what;
    EXPECT_EQ(std::string(relaydef), c.relaydef) << c.what;
    EXPECT_STREQ(signalSystemFolder, "sys");
  }
}

TEST_F(SignalCatalogTest, AMissingSystemIsReported) {
  MessageRecorder messages;
  makeSystem("modern", "Modern\r\n#speeds#x#end#");
  choose("Gone");
  std::strcpy(speeds, "junk");
  std::strcpy(signaldef, "junk");
  std::strcpy(relaydef, "junk");
  EXPECT_FALSE(loadSignalSystemDefs());
  EXPECT_STREQ(speeds, "");
  EXPECT_STREQ(signaldef, "");
  EXPECT_STREQ(relaydef, "");
  ASSERT_EQ(messages.calls().size(), 1u);
  EXPECT_EQ(messages.calls()[0].text, "Could not load signal system:\n\nGone");
  EXPECT_EQ(messages.calls()[0].caption, "Error");
}

TEST_F(SignalCatalogTest, KeywordMatching) {
  struct Case {
    std::string text;  // what follows the '#'
    int index;
    int position;
  } cases[] = {
      {"end#", 0, 4},      {"SPEEDS#x", 1, 7}, {"SignalDef#", 2, 10}, {"relaydef#", 3, 9}, {"5abc", -1, 0},
      {"speeds", -1, 0},   {"", -1, 0},        {"en#", -1, 0},        {"relay#", -1, 0},
  };
  for (const Case& c : cases) {
    writeBytes("text.txt", c.text);
    TextBuffer buffer("text.txt");
    EXPECT_EQ(matchSignalKeyword(buffer), c.index) << c.text;
    EXPECT_EQ(buffer.getPosition(), c.position) << c.text;
  }
}

}  // namespace
