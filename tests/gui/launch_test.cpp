// Klevane end to end, under wine on a virtual display: the real klevane.exe (the build with a
// fixed random seed) in a program folder of its own, beside a simulator folder with the stand-in
// zelvik.exe, worked by window messages as a user works it. The main window: the route list's
// colours, browsing, Route and Train information by a double click, About and Configure from the
// menu, Starting options with Info and cancelled, then confirmed with a signal system. Then the
// stand-in's command line, the prepared route's bytes and the exchanged signal bitmaps; the next
// start puts the simulator's own bitmaps back, and a route that fails there starts nothing.
#include <windows.h>

#include <filesystem>
#include <string>

#include "gui/gui_driver.h"
#include "resources/resource_ids.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int routeList = 300, trainList = 301, selectButton = 302, folderLabel = 303;

std::string windowsPath(const fs::path& path) { return fs::absolute(path).make_preferred().string(); }

void doubleClick(HWND window, int list) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(list, LBN_DBLCLK), 0); }

// Opens a modal dialog by a command to `window`.
HWND openDialog(HWND window, int command, const char* caption) {
  gui::press(window, command);
  return gui::waitForWindow("#32770", caption);
}

// Opens a dialog from the main window's menu, by the keyboard: Alt+M, then the item's letter.
HWND fromMenu(HWND window, char letter, const char* caption) {
  PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 'm');
  gui::waitForWindow("#32768", nullptr);  // the menu's list open
  PostMessageA(window, WM_CHAR, static_cast<WPARAM>(letter), 0);
  return gui::waitForWindow("#32770", caption);
}

bool selectEnabled(HWND window) { return IsWindowEnabled(GetDlgItem(window, selectButton)); }

// Picks a route, browsing into its folder first when one is given, and a train.
void select(HWND window, const char* folder, const char* route, const char* train) {
  ASSERT_TRUE(!folder || gui::pick(window, routeList, folder));
  ASSERT_TRUE(gui::pick(window, routeList, route));
  EXPECT_FALSE(selectEnabled(window));  // no train yet
  ASSERT_TRUE(gui::pick(window, trainList, train));
  EXPECT_TRUE(selectEnabled(window));
}

// The signal bitmaps in the simulator's folder and in the signal system's, exchanged or not.
void expectSignalBitmaps(bool exchanged) {
  for (std::string bitmap : {"signal1.bmp", "signal2.bmp", "relay.bmp"}) {
    std::string own = readBytes(KLV_EXAMPLES "/demo/zelvik/" + bitmap);
    std::string system = readBytes(KLV_EXAMPLES "/program/semaphore/" + bitmap);
    EXPECT_EQ(readBytes("zelvik/" + bitmap), exchanged ? system : own) << bitmap;
    EXPECT_EQ(readBytes("klevane/semaphore/" + bitmap), exchanged ? own : system) << bitmap;
  }
}

// Starts klevane.exe from another current directory, as a shortcut may, and waits for its
// window; returns its process.
HANDLE startKlevane(HWND& window) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + windowsPath("klevane/klevane.exe") + "\"";
  EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  CloseHandle(process.hThread);
  window = gui::waitForWindow("MainWindowC", "Klevane 9", 20000);
  return process.hProcess;
}

bool ended(HANDLE process) {
  bool done = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return done;
}

class LaunchTest : public WorkFolderTest {};

TEST_F(LaunchTest, FromTheRouteBrowserToTheSimulatorAndBack) {
  // The program folder "klevane"; "zelvik" with the simulator's signal bitmaps and the routes
  // (harbour-line.csv, mountain-pass.rw, broken.klf and the folder valley); "trains".
  fs::copy(KLV_EXAMPLES "/program", "klevane", fs::copy_options::recursive);
  fs::copy(KLV_EXAMPLES "/demo", ".", fs::copy_options::recursive);
  fs::create_directories("zelvik/railway/route");
  fs::copy(KLV_EXAMPLES "/routes", "zelvik/railway/route/valley", fs::copy_options::recursive);
  for (std::string route : {"harbour-line.csv", "mountain-pass.rw"})
    fs::rename("zelvik/railway/route/valley/" + route, "zelvik/railway/route/" + route);
  writeBytes("zelvik/railway/route/broken.klf", ".folder x\r\n#include<missing.txt>\r\n");
  fs::copy_file(KLV_PROGRAM, "klevane/klevane.exe");
  fs::copy_file(KLV_STANDIN, "zelvik/zelvik.exe");
  const std::string routeFolder = windowsPath("zelvik/railway/route");
  const std::string folders = windowsPath("zelvik") + "\r\n" + routeFolder + "\r\n" + windowsPath("trains") + "\r\n";
  writeBytes("klevane/klv.cfg", folders + "0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nZelvik Default");

  HWND window;
  HANDLE klevane = startKlevane(window);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder);
  // Each kind of entry on its own colour as the user sees it, in rows of 16 pixels: "  (..)" and
  // "  (valley)" pale yellow, broken.klf pale blue, harbour-line.csv pale green, mountain-pass.rw pale red.
  gui::Picture shown = gui::capture(window);
  POINT inRow = {300, 8};
  MapWindowPoints(GetDlgItem(window, routeList), window, &inRow, 1);
  const COLORREF folder = RGB(255, 240, 193);
  const COLORREF rows[] = {folder, folder, RGB(221, 222, 255), RGB(225, 255, 193), RGB(255, 207, 207)};
  for (int row = 0; row < 5; ++row) EXPECT_EQ(shown.pixel(inRow.x, inRow.y + row * 16), rows[row]) << "row " << row;
  gui::saveScreenshot(window, "main-window");

  // Into a folder and up again. A double click on a folder opens nothing (About, asked for after it, comes first).
  ASSERT_TRUE(gui::pick(window, routeList, "  (valley)"));
  EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder + "\\valley");
  doubleClick(window, routeList);
  HWND dialog = fromMenu(window, 'a', "About");
  EXPECT_EQ(FindWindowA("#32770", "Route information"), nullptr);
  ASSERT_TRUE(gui::close(dialog, IDOK));
  ASSERT_TRUE(gui::pick(window, routeList, "  (..)"));

  // Route information of a route file, Train information of a train, by a double click.
  ASSERT_TRUE(gui::pick(window, routeList, "mountain-pass.rw"));
  doubleClick(window, routeList);
  dialog = gui::waitForWindow("#32770", "Route information");
  EXPECT_EQ(FindWindowA("#32770", "Error"), nullptr);  // About ended without a complaint
  EXPECT_EQ(gui::itemText(dialog, {IDT_ROUTE_NAME, IDT_DEFAULT_TRAIN, IDE_ROUTE_DESCRIPTION}),
            "mountain-pass.rw|Regional|[route]\r\ncomment=mountain pass, a winding line over the ridge.\r\n"
            "developerid=11111111\r\n\r\n");
  ASSERT_TRUE(gui::close(dialog, IDOK));
  select(window, "  (valley)", "valley-line.klf", "Local");
  doubleClick(window, trainList);
  dialog = gui::waitForWindow("#32770", "Train information");
  EXPECT_EQ(gui::itemText(dialog, {IDT_TRAIN_NAME, IDE_TRAIN_DESCRIPTION}),
            "Local|" + readBytes("trains/Local/train.txt"));
  EXPECT_EQ(gui::capture(dialog).pixel(9, 9), RGB(0x32, 0x37, 0x3C));  // panel.bmp: Local has no panel2.bmp
  gui::saveScreenshot(dialog, "main-train-information");
  ASSERT_TRUE(gui::close(dialog, IDCANCEL));

  // Configure, with a new route folder, cancelled: both lists filled afresh, the routes from the
  // route folder as it was, nothing selected.
  dialog = fromMenu(window, 'c', "Configure KLV");
  gui::setItemText(dialog, IDE_ROUTE_FOLDER, routeFolder + "\\valley");
  ASSERT_TRUE(gui::close(dialog, IDCANCEL));
  EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder);
  EXPECT_EQ(SendMessageA(GetDlgItem(window, trainList), LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_FALSE(selectEnabled(window));

  // Starting options: Info on a signal system, then cancelled; the window stays (Select shows them
  // again, with the system Info showed), then confirmed.
  select(window, "  (valley)", "valley-line.klf", "Local");
  dialog = openDialog(window, selectButton, "Starting options");
  EXPECT_TRUE(gui::pick(dialog, IDC_SIGNAL_SYSTEM, "Semaphores"));
  HWND box = openDialog(dialog, IDB_SIGNAL_INFO, "Semaphores");
  EXPECT_EQ(gui::itemText(box, {0xFFFF}),  // the box's text
            "Lower-quadrant semaphore signals for the demo routes.\r\n"
            "Each signal is written with a random arm type.\r\n");
  gui::saveScreenshot(box, "signal-system-info");
  ASSERT_TRUE(gui::close(box, IDOK));
  ASSERT_TRUE(gui::close(dialog, IDCANCEL));
  dialog = openDialog(window, selectButton, "Starting options");
  gui::click(dialog, IDX_DEVELOPER_MODE);
  gui::saveScreenshot(dialog, "launch-starting-options");
  gui::press(dialog, IDOK);

  HWND simulator = gui::waitForWindow("ZelvikStandIn", "Zelvik (stand-in)", 20000);
  ASSERT_NE(simulator, nullptr);
  gui::saveScreenshot(simulator, "launch-simulator");
  PostMessageA(simulator, WM_CLOSE, 0, 0);
  ASSERT_TRUE(ended(klevane));
  EXPECT_EQ(readBytes("zelvik/zelvik.log"),  // started once
            windowsPath("zelvik") + "\\zelvik.exe \"" + routeFolder + "\\klvtemp.csv\" /d=40752918\r\n");
  EXPECT_EQ(readBytes("zelvik/railway/route/klvtemp.csv"),
            readBytes(KLV_TEST_DATA "/examples/valley-line.semaphores.expected"));
  EXPECT_EQ(readBytes("klevane/klv.cfg"), folders + "1 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nSemaphores");
  expectSignalBitmaps(true);

  // The next start puts the simulator's own bitmaps back before its window shows.
  fs::remove("zelvik/zelvik.log");
  fs::remove("zelvik/railway/route/klvtemp.csv");
  klevane = startKlevane(window);
  ASSERT_NE(window, nullptr);
  expectSignalBitmaps(false);
  EXPECT_FALSE(exists("klevane/sigswap.klv") || exists("klevane/tempswap.bmp"));

  // A route that fails: its errors, then the program ends without starting the simulator.
  select(window, nullptr, "broken.klf", "Regional");
  dialog = openDialog(window, selectButton, "Starting options");
  gui::press(dialog, IDOK);
  for (std::string error : {"#include command, file not found.\n\n" + routeFolder + "\\missing.txt",
                            std::string("An error occured during the (pre-)processing of the route. "
                                        "The route will not be playable.")}) {
    box = gui::waitForWindow("#32770", "Error", 20000);
    EXPECT_EQ(gui::itemText(box, {0xFFFF}), error);
    ASSERT_TRUE(gui::close(box, IDOK));
  }
  EXPECT_TRUE(ended(klevane));
  EXPECT_FALSE(exists("zelvik/zelvik.log") || exists("zelvik/railway/route/klvtemp.csv") ||
               exists("zelvik/railway/route/klvtemp.rw"));
}

}  // namespace
