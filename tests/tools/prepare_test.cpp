// klevane-prepare run as a process, as a route author runs it: the exit status, what it prints
// and the prepared routes of the example routes, byte for byte.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string out;  // line ends as "\n" on every platform
  std::string err;
};

std::string withoutCarriageReturns(const std::string& text) {
  std::string plain;
  for (char c : text) {
    if (c != '\r') plain += c;
  }
  return plain;
}

class PrepareToolTest : public WorkFolderTest {
 protected:
  // The examples' program folder (with its signal system) and routes, copied into the work folder;
  // the tool runs in "program", as the program runs in its own folder.
  void SetUp() override {
    WorkFolderTest::SetUp();
    fs::copy(KLV_EXAMPLES "/program", "program", fs::copy_options::recursive);
    fs::copy(KLV_EXAMPLES "/routes", "routes", fs::copy_options::recursive);
    fs::create_directory("out");
    fs::current_path("program");
  }

  ToolRun run(const std::string& arguments) {
    writeBytes("../stdin.txt", "");  // no terminal to ask a question on
    std::string command = std::string("\"") + KLV_PREPARE_TOOL + "\" " + arguments +
                          " < ../stdin.txt > ../stdout.txt 2> ../stderr.txt";
#ifdef _WIN32
    command = "\"" + command + "\"";  // the command interpreter strips the outer quotes
    int status = std::system(command.c_str());
#else
    int raw = std::system(command.c_str());
    int status = (raw >> 8) & 0xFF;
#endif
    return {status, withoutCarriageReturns(readBytes("../stdout.txt")), withoutCarriageReturns(readBytes("../stderr.txt"))};
  }

  static std::string expected(const std::string& name) { return readBytes(KLV_TEST_DATA "/examples/" + name); }
  static std::string outPath(const char* file) { return std::string("../out") + pathSeparator + file; }
};

TEST_F(PrepareToolTest, PreparesTheExampleRoutes) {
  fs::copy_file(KLV_TEST_DATA "/examples/all-options.cfg", "all-options.cfg");
  struct Case {
    std::string arguments;
    const char* output;
    std::string expectedFile;
  } cases[] = {
      {"../routes/harbour-line.csv", "klvtemp.csv", "harbour-line.plain.expected"},
      {"--config all-options.cfg ../routes/harbour-line.csv", "klvtemp.csv", "harbour-line.options.expected"},
      {"../routes/mountain-pass.rw", "klvtemp.rw", "mountain-pass.plain.expected"},
      {"--config all-options.cfg ../routes/mountain-pass.rw", "klvtemp.rw", "mountain-pass.options.expected"},
      {"../routes/valley-line.klf", "klvtemp.csv", "valley-line.plain.expected"},
      {"--config all-options.cfg ../routes/valley-line.klf", "klvtemp.csv", "valley-line.options.expected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    fs::remove("../out/klvtemp.csv");
    fs::remove("../out/klvtemp.rw");
    ToolRun r = run("--seed 1 --train Local --out-dir ../out " + c.arguments);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, outPath(c.output) + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readBytes(std::string("../out/") + c.output), expected(c.expectedFile));
  }
  // After a macro route with a signal system no temporary file is left in the program folder.
  EXPECT_FALSE(exists("klv.tmp"));
  EXPECT_FALSE(exists("klv2.tmp"));
}

TEST_F(PrepareToolTest, TheOutputGoesBesideTheRouteByDefault) {
  ToolRun r = run("--seed 7 ../routes/harbour-line.csv");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("../routes") + pathSeparator + "klvtemp.csv\n");
  EXPECT_TRUE(exists("../routes/klvtemp.csv"));
}

TEST_F(PrepareToolTest, SignalSystemsAndChoices) {
  writeBytes("../routes/ask.klf", ".folder x\r\n#if<#choice<Snow?>>snow#else<>rain#endif<>\r\n");
  struct Case {
    std::string arguments;
    int status;
    std::string body;  // the prepared route after the ".folder" line
    std::string err;
  } cases[] = {
      {"--answer yes ../routes/ask.klf", 0, "snow\r\n", ""},
      {"--answer no ../routes/ask.klf", 0, "rain\r\n", ""},
      {"../routes/ask.klf", 0, "rain\r\n", ""},  // no terminal to ask on: no
      // A system that no folder carries is reported; the route is prepared with empty templates.
      {"--answer yes --signal-system Nowhere ../routes/ask.klf", 0, "snow\r\n",
       "Error: Could not load signal system:\n\nNowhere\n"},
      {"--answer yes --signal-system \"zelvik DEFAULT\" ../routes/ask.klf", 0, "snow\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    ToolRun r = run("--out-dir ../out " + c.arguments);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(readBytes("../out/klvtemp.csv"),
              ".folder \r\n" + c.body + ",\r\nRoute.DeveloperId 40752918\r\n,");
  }
}

TEST_F(PrepareToolTest, AFailedBuildExitsWithOneAndShowsEveryMessage) {
  writeBytes("../routes/broken.klf", "#include<gone.txt>\r\n");
  ToolRun r = run("--out-dir ../out ../routes/broken.klf");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "Error: #include command, file not found.\n\n../routes" + std::string(1, pathSeparator) + "gone.txt\n"
            "Error: An error occured during the (pre-)processing of the route. The route will not be playable.\n");
  EXPECT_FALSE(exists("../out/klvtemp.csv"));
  EXPECT_FALSE(exists("../out/klvtemp.rw"));

  ToolRun missing = run("--out-dir ../out ../routes/none.csv");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.rfind("Error: ", 0), 0u) << missing.err;
}

TEST_F(PrepareToolTest, InformationAndSignalSystemList) {
  ToolRun csv = run("--info ../routes/harbour-line.csv");
  EXPECT_EQ(csv.status, 0);
  EXPECT_EQ(csv.out,
            "Route name: Harbour line weekday service\n"
            "Default train: Local\n"
            "Description:\n"
            "Harbour line, a short demo route.\n"
            "Three stations along the quay, one curve, two signals.\n");

  ToolRun macro = run("--info ../routes/valley-line.klf");
  EXPECT_EQ(macro.status, 0);
  EXPECT_EQ(macro.out.substr(0, macro.out.find("Description:")),
            "Route name: valley-line.klf\nDefault train: Local\n");

  ToolRun list = run("--list-signal-systems");
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "Semaphores\tsemaphore\n");
}

TEST_F(PrepareToolTest, UsageErrorsExitWithTwo) {
  const char* wrongUsages[] = {
      "--bogus ../routes/harbour-line.csv",   "--seed",
      "--seed abc ../routes/harbour-line.csv", "--answer maybe ../routes/harbour-line.csv",
      "../routes/notes.txt",                  "",
      "--config missing.cfg ../routes/harbour-line.csv",
  };
  for (const char* arguments : wrongUsages) {
    ToolRun r = run(arguments);
    EXPECT_EQ(r.status, 2) << arguments;
    EXPECT_NE(r.err.find("Usage: klevane-prepare [OPTIONS] ROUTE"), std::string::npos) << arguments;
    EXPECT_EQ(r.out, "") << arguments;
  }
  ToolRun help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: klevane-prepare [OPTIONS] ROUTE\n", 0), 0u);
  EXPECT_NE(help.out.find("--list-signal-systems"), std::string::npos);
}

}  // namespace
