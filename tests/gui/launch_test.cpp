// Klevane end to end, under wine on a virtual display: the real klevane.exe (the build with a
// fixed random seed) in a program folder of its own, beside a simulator folder with the stand-in
// zelvik.exe, worked by window messages as a user works it: browse, select a route and a train,
// confirm the starting options with a signal system, and start. Then the stand-in's command line,
// the prepared route's bytes and the exchanged signal bitmaps are checked, and a second start of
// klevane.exe must put the simulator's own bitmaps back.
#include <windows.h>

#include <filesystem>
#include <map>
#include <string>

#include "gui/gui_driver.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int routeList = 300, trainList = 301, selectButton = 302, folderLabel = 303;
constexpr int developerModeBox = 631, signalSystemCombo = 642;

// A top-level window of any process, by class and caption.
HWND waitForTopWindow(const char* className, const char* caption, int limitMs = 20000) {
  for (int waited = 0; waited < limitMs; waited += 50) {
    HWND window = FindWindowA(className, caption);
    if (window && IsWindowVisible(window)) return window;
    Sleep(50);
  }
  return nullptr;
}

std::string windowsPath(const fs::path& path) { return fs::absolute(path).make_preferred().string(); }

class LaunchTest : public WorkFolderTest {
 protected:
  // The program folder "klevane" and the simulator folder "zelvik" with routes and trains.
  void SetUp() override {
    WorkFolderTest::SetUp();
    fs::create_directories("klevane");
    fs::copy_file(KLV_PROGRAM, "klevane/klevane.exe");
    fs::copy(KLV_EXAMPLES "/program/semaphore", "klevane/semaphore", fs::copy_options::recursive);
    fs::create_directories("zelvik/railway/route/valley");
    fs::copy_file(KLV_STANDIN, "zelvik/zelvik.exe");
    for (const char* bitmap : {"signal1.bmp", "signal2.bmp", "relay.bmp"})
      fs::copy_file(std::string(KLV_EXAMPLES "/demo/zelvik/") + bitmap, std::string("zelvik/") + bitmap);
    fs::copy_file(KLV_EXAMPLES "/routes/harbour-line.csv", "zelvik/railway/route/harbour-line.csv");
    fs::copy_file(KLV_EXAMPLES "/routes/valley-line.klf", "zelvik/railway/route/valley/valley-line.klf");
    fs::copy(KLV_EXAMPLES "/routes/valley-line", "zelvik/railway/route/valley/valley-line", fs::copy_options::recursive);
    fs::copy(KLV_EXAMPLES "/demo/trains", "zelvik/train", fs::copy_options::recursive);
    routeFolder = windowsPath("zelvik/railway/route");
    writeBytes("klevane/klv.cfg", windowsPath("zelvik") + "\r\n" + routeFolder + "\r\n" + windowsPath("zelvik/train") +
                                      "\r\n0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nZelvik Default");
    for (const char* bitmap : {"signal1.bmp", "signal2.bmp", "relay.bmp"}) {
      simulatorBitmaps[bitmap] = readBytes(std::string("zelvik/") + bitmap);
      systemBitmaps[bitmap] = readBytes(std::string("klevane/semaphore/") + bitmap);
    }
  }

  // Starts klevane.exe from another current directory, as a shortcut may, and waits for its window.
  HWND startKlevane() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + windowsPath("klevane/klevane.exe") + "\"";
    EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, windowsPath(".").c_str(),
                               &startup, &process));
    CloseHandle(process.hThread);
    return waitForTopWindow("MainWindowC", "Klevane 9");
  }

  bool klevaneEnded(int limitMs = 30000) {
    bool ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(limitMs)) == WAIT_OBJECT_0;
    CloseHandle(process.hProcess);
    return ended;
  }

  // Picks an entry of a list and tells the window, as a click on it does.
  static bool pick(HWND window, int listId, const char* text) {
    HWND list = GetDlgItem(window, listId);
    LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (index == LB_ERR) return false;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return true;
  }

  // The message of a message box: the text of its static control that holds one.
  static std::string boxText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char className[16] = "";
      GetClassNameA(child, className, sizeof className);
      std::string childText = gui::windowText(child);
      if (lstrcmpiA(className, "Static") == 0 && !childText.empty()) text = childText;
    }
    return text;
  }

  // Answers every error box of the failing build with OK; returns their texts.
  static std::string dismissErrors(int expected) {
    std::string texts;
    for (int i = 0; i < expected; ++i) {
      HWND box = waitForTopWindow("#32770", "Error");
      if (!box) break;
      texts += boxText(box) + "|";
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      gui::waitUntilGone(box);
    }
    return texts;
  }

  PROCESS_INFORMATION process = {};
  std::string routeFolder;
  std::map<std::string, std::string> simulatorBitmaps, systemBitmaps;
};

TEST_F(LaunchTest, FromTheRouteBrowserToTheSimulatorAndBack) {
  HWND window = startKlevane();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(gui::itemText(window, folderLabel), routeFolder);
  gui::saveScreenshot(window, "main-window");

  ASSERT_TRUE(pick(window, routeList, "  (valley)"));
  EXPECT_EQ(gui::itemText(window, folderLabel), routeFolder + "\\valley");
  ASSERT_TRUE(pick(window, routeList, "  (..)"));
  EXPECT_EQ(gui::itemText(window, folderLabel), routeFolder);
  ASSERT_TRUE(pick(window, routeList, "  (valley)"));
  ASSERT_TRUE(pick(window, routeList, "valley-line.klf"));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, selectButton)));  // no train yet
  ASSERT_TRUE(pick(window, trainList, "Local"));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, selectButton)));
  gui::saveScreenshot(window, "main-window-selected");

  PostMessageA(window, WM_COMMAND, MAKEWPARAM(selectButton, BN_CLICKED), 0);
  HWND options = waitForTopWindow("#32770", "Starting options");
  ASSERT_NE(options, nullptr);
  SendMessageA(GetDlgItem(options, developerModeBox), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(options, signalSystemCombo), CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>("Semaphores"));
  gui::saveScreenshot(options, "launch-starting-options");
  PostMessageA(options, WM_COMMAND, IDOK, 0);

  HWND simulator = waitForTopWindow("ZelvikStandIn", "Zelvik (stand-in)");
  ASSERT_NE(simulator, nullptr);
  gui::saveScreenshot(simulator, "launch-simulator");
  PostMessageA(simulator, WM_CLOSE, 0, 0);
  ASSERT_TRUE(klevaneEnded());

  EXPECT_EQ(readBytes("zelvik/zelvik.log"),
            windowsPath("zelvik") + "\\zelvik.exe \"" + routeFolder + "\\klvtemp.csv\" /d=40752918\r\n");
  EXPECT_EQ(readBytes("zelvik/railway/route/klvtemp.csv"), readBytes(KLV_TEST_DATA "/examples/valley-line.semaphores.expected"));
  EXPECT_EQ(readBytes("klevane/klv.cfg"), windowsPath("zelvik") + "\r\n" + routeFolder + "\r\n" +
                                              windowsPath("zelvik/train") +
                                              "\r\n1 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nSemaphores");
  EXPECT_EQ(readBytes("klevane/sigswap.klv"), "semaphore");
  for (const auto& bitmap : simulatorBitmaps) {
    EXPECT_EQ(readBytes("zelvik/" + bitmap.first), systemBitmaps[bitmap.first]) << bitmap.first;
    EXPECT_EQ(readBytes("klevane/semaphore/" + bitmap.first), bitmap.second) << bitmap.first;
  }

  // The next start puts the simulator's own bitmaps back before its window shows.
  window = startKlevane();
  ASSERT_NE(window, nullptr);
  for (const auto& bitmap : simulatorBitmaps) {
    EXPECT_EQ(readBytes("zelvik/" + bitmap.first), bitmap.second) << bitmap.first;
    EXPECT_EQ(readBytes("klevane/semaphore/" + bitmap.first), systemBitmaps[bitmap.first]) << bitmap.first;
  }
  EXPECT_FALSE(exists("klevane/sigswap.klv"));
  EXPECT_FALSE(exists("klevane/tempswap.bmp"));
  PostMessageA(window, WM_COMMAND, 101, 0);  // Menu, Quit
  EXPECT_TRUE(klevaneEnded());
}

TEST_F(LaunchTest, AFailingRouteNeverStartsTheSimulator) {
  writeBytes("zelvik/railway/route/broken.klf", ".folder x\r\n#include<missing.txt>\r\n");
  HWND window = startKlevane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(pick(window, routeList, "broken.klf"));
  ASSERT_TRUE(pick(window, trainList, "Regional"));
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(selectButton, BN_CLICKED), 0);
  HWND options = waitForTopWindow("#32770", "Starting options");
  ASSERT_NE(options, nullptr);
  PostMessageA(options, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(dismissErrors(2),
            "#include command, file not found.\n\n" + routeFolder + "\\missing.txt|"
            "An error occured during the (pre-)processing of the route. The route will not be playable.|");
  EXPECT_TRUE(klevaneEnded());
  EXPECT_FALSE(exists("zelvik/zelvik.log"));
  EXPECT_FALSE(exists("zelvik/railway/route/klvtemp.csv"));
  EXPECT_FALSE(exists("zelvik/railway/route/klvtemp.rw"));
}

}  // namespace
