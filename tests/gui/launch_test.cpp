// Klevane end to end, under wine on a virtual display: the real klevane.exe (the build with a
// fixed random seed) in a program folder of its own, beside a simulator folder with the stand-in
// zelvik.exe, worked by window messages as a user works it. The main window: the route list's
// colours, a second start that only brings the first forward, browsing, Route and Train
// information by a double click, About and Configure from the menu, Starting options cancelled,
// then with Info on a signal system confirmed. Then the stand-in's command line, the prepared
// route's bytes and the exchanged signal bitmaps; the next start puts the simulator's own bitmaps
// back, and a route that fails there starts nothing; then the keyboard alone. Each start under
// other window metrics or DPI, its main window laid out to fit.
#include <process.h>

#include "gui/gui_driver.h"
#include "resources/resource_ids.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int routeList = 300, trainList = 301, selectButton = 302, folderLabel = 303;

std::string windowsPath(const std::string& path) { return fs::absolute(path).make_preferred().string(); }

// Opens a modal dialog by a control's notification to `window`.
HWND openDialog(HWND window, int id, const char* caption, int code = BN_CLICKED) {
  gui::press(window, id, code);
  return gui::waitForWindow("#32770", caption);
}

// Opens a dialog from the main window's menu, by the keyboard: Alt+M, then the item's letter.
HWND fromMenu(HWND window, char letter, const char* caption) {
  PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 'm');
  gui::waitForWindow("#32768", nullptr);  // the menu's list open
  PostMessageA(window, WM_CHAR, static_cast<WPARAM>(letter), 0);
  return gui::waitForWindow("#32770", caption);
}

// Picks a route and a train.
void select(HWND window, const char* route, const char* train) {
  ASSERT_GE(gui::pick(window, routeList, route), 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, selectButton)));  // no train yet
  ASSERT_GE(gui::pick(window, trainList, train), 0);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, selectButton)));
}

// The DPI and window metrics of the next start: wine's own, or Windows 10's caption, menu and
// padded borders (in twips: 22, 19, 4 and 1 pixels).
void setDisplay(DWORD dpi, bool windows10) {
  const char* const metrics[][2] = {{"CaptionHeight", "-330"}, {"MenuHeight", "-285"}, {"PaddedBorderWidth", "-60"},
                                    {"BorderWidth", "-15"}};
  RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
  for (auto [name, twips] : metrics)
    if (!windows10) RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", name);
    else RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", name, REG_SZ, twips,
                         static_cast<DWORD>(std::strlen(twips) + 1));
}

class LaunchTest : public WorkFolderTest {};

TEST_F(LaunchTest, FromTheRouteBrowserToTheSimulatorAndBack) {
  // The program folder "klevane"; "zelvik sim" with the simulator's signal bitmaps and the routes
  // (harbour-line.csv, mountain-pass.rw, valley-line.klf, broken.klf, and the folder valley with the
  // same three); "trains". The simulator's folder has a blank in its name, and a program is planted
  // where the folder's path up to the blank, with ".exe", would name it: only the simulator itself
  // may start.
  const std::string route = "zelvik sim/railway/route", routeFolder = windowsPath(route);
  fs::create_directories(route + "/valley");
  const std::pair<std::string, std::string> copies[] = {{KLV_EXAMPLES "/program", "klevane"},
      {KLV_PROGRAM, "klevane/klevane.exe"}, {KLV_STANDIN, "zelvik.exe"}, {KLV_STANDIN, "zelvik sim/zelvik.exe"},
      {KLV_EXAMPLES "/demo/trains", "trains"}, {KLV_EXAMPLES "/demo/zelvik", "zelvik sim"},
      {KLV_EXAMPLES "/routes", route}, {KLV_EXAMPLES "/routes", route + "/valley"}};
  for (auto& [from, to] : copies) fs::copy(from, to, fs::copy_options::recursive);
  writeBytes(route + "/broken.klf", ".folder x\r\n#include<missing.txt>\r\n");
  writeBytes("klevane/klv.cfg", windowsPath("zelvik sim") + "\r\n" + routeFolder + "\r\n" + windowsPath("trains") +
                                    "\r\n0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nZelvik Default");

  // klevane.exe started from another current directory, as a shortcut may: at 96 DPI under wine's
  // window metrics, then at 144 DPI under Windows 10's, then under wine's. Wine's own again at the
  // end, also after a failure.
  struct Defaults { ~Defaults() { setDisplay(96, false); } } defaults;
  auto spawn = [] { return reinterpret_cast<HANDLE>(_spawnl(_P_NOWAIT, "klevane\\klevane.exe", "klevane", nullptr)); };
  HANDLE klevane = nullptr;
  HWND window = nullptr;
  // Each start's main window, once it shows: every control inside its client area, none over
  // another, the route list's rows as high as the DPI makes them.
  auto start = [&](DWORD dpi, bool windows10) {
    setDisplay(dpi, windows10);
    klevane = spawn();
    window = gui::waitForWindow("MainWindowC", "Klevane 9", 20000);
    RECT client = {}, r, both;
    GetClientRect(window, &client);
    std::vector<RECT> places;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << dpi;
      for (const RECT& other : places) EXPECT_FALSE(IntersectRect(&both, &r, &other)) << dpi;
      places.push_back(r);
    }
    EXPECT_EQ(places.size(), 4u) << dpi;
    EXPECT_EQ(gui::send(GetDlgItem(window, routeList), LB_GETITEMHEIGHT), dpi / 6) << dpi;
  };
  start(96, false);
  ASSERT_NE(window, nullptr);
  // Each kind of entry on its own colour as the user sees it, in rows of 16 pixels: the folders
  // "  (..)", "  (valley)" and "  (valley-line)" pale yellow, then broken.klf pale blue,
  // harbour-line.csv pale green, mountain-pass.rw pale red. The list's client area begins at 7,33
  // (the list at 6,32, inside its border).
  const gui::Picture shown = gui::saveScreenshot(window, "main-window");
  const COLORREF rows[] = {RGB(255, 240, 193), RGB(221, 222, 255), RGB(225, 255, 193), RGB(255, 207, 207)};
  for (int row = 2; row < 6; ++row) EXPECT_EQ(shown.pixel(307, 41 + row * 16), rows[row - 2]) << row;
  EXPECT_EQ(shown.pixel(495, 12), RGB(192, 192, 192));  // the folder's label on the window's grey

  // A second start, while the window is minimised behind another, restores it to the front and
  // ends at once.
  gui::send(window, WM_SYSCOMMAND, SC_MINIMIZE);
  HWND other = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(IsIconic(window) && GetForegroundWindow() == other);
  EXPECT_EQ(WaitForSingleObject(spawn(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(klevane, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(gui::waitUntil([window] { return !IsIconic(window) && GetForegroundWindow() == window; }, 2000));
  DestroyWindow(other);

  // Route information of a route file by a double click. Into a folder, where a double click opens
  // nothing: About, asked for after it, comes and goes. Train information of a train (its
  // panel.bmp: it has no panel2.bmp) by a double click.
  ASSERT_GE(gui::pick(window, routeList, "mountain-pass.rw"), 0);
  HWND dialog = openDialog(window, routeList, "Route information", LBN_DBLCLK);
  EXPECT_EQ(gui::itemText(dialog, {IDT_ROUTE_NAME, IDT_DEFAULT_TRAIN}), "mountain-pass.rw|Regional");
  ASSERT_TRUE(gui::close(dialog, IDOK));
  ASSERT_GE(gui::pick(window, routeList, "  (valley)"), 0);
  EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder + "\\valley");
  gui::press(window, routeList, LBN_DBLCLK);
  ASSERT_TRUE(gui::close(fromMenu(window, 'a', "About"), IDOK));
  EXPECT_EQ(FindWindowA("#32770", "Route information"), nullptr);
  select(window, "valley-line.klf", "Local");
  dialog = openDialog(window, trainList, "Train information", LBN_DBLCLK);
  EXPECT_EQ(gui::saveScreenshot(dialog, "main-train-information").pixel(9, 9), RGB(0x32, 0x37, 0x3C));
  ASSERT_TRUE(gui::close(dialog, IDCANCEL));

  // Configure, with a new route folder, cancelled: both lists filled afresh from the folders as
  // they were, nothing selected, Select disabled.
  dialog = fromMenu(window, 'c', "Configure KLV");
  gui::setItemTexts(dialog, {{IDE_ROUTE_FOLDER, routeFolder + "\\valley"}});
  ASSERT_TRUE(gui::close(dialog, IDCANCEL));
  EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, selectButton)));

  // Starting options cancelled: the window stays, Select shows them again. Info on a signal system,
  // then confirmed with it and developer mode.
  select(window, "valley-line.klf", "Local");
  ASSERT_TRUE(gui::close(openDialog(window, selectButton, "Starting options"), IDCANCEL));
  dialog = openDialog(window, selectButton, "Starting options");
  EXPECT_GE(gui::pick(dialog, IDC_SIGNAL_SYSTEM, "Semaphores", CB_SELECTSTRING), 0);
  ASSERT_TRUE(gui::close(openDialog(dialog, IDB_SIGNAL_INFO, "Semaphores"), IDOK));
  gui::send(GetDlgItem(dialog, IDX_DEVELOPER_MODE), BM_CLICK);
  gui::press(dialog, IDOK);

  // The prepared route and the exchanged signal bitmaps; the stand-in's command line is checked at
  // the end, with the last start's.
  PostMessageA(gui::waitForWindow("ZelvikStandIn", "Zelvik (stand-in)", 20000), WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(klevane, 30000), WAIT_OBJECT_0);
  EXPECT_EQ(readBytes(route + "/klvtemp.csv"), readBytes(KLV_TEST_DATA "/examples/valley-line.semaphores.expected"));
  // The start is in klevane.log, and klevane-prepare prepares the same route again from it.
  EXPECT_TRUE(std::strstr(readBytes("klevane/klevane.log").c_str(), "valley-line.klf\tLocal\tSemaphores\t1 0 0 0 0 0"));
  fs::current_path("klevane");
  EXPECT_EQ(_spawnl(_P_WAIT, KLV_PREPARE, "klevane-prepare", "--replay", "--out-dir", "..", nullptr), 0);
  fs::current_path("..");
  EXPECT_EQ(readBytes("klvtemp.csv"), readBytes(route + "/klvtemp.csv"));
  // The exchanged bitmaps stay in the simulator's folder after it ends.
  EXPECT_TRUE(readBytes("zelvik sim/signal1.bmp") == readBytes(KLV_EXAMPLES "/program/semaphore/signal1.bmp"));

  // The next start puts the simulator's own bitmaps back before its window shows.
  start(144, true);
  gui::saveScreenshot(window, "main-window-144dpi");
  EXPECT_TRUE(readBytes("zelvik sim/signal1.bmp") == readBytes(KLV_EXAMPLES "/demo/zelvik/signal1.bmp")) << "not back";

  // Configure with a route folder that cannot be listed: the old selection is gone, and Select
  // stays disabled whatever train is picked. Then the folder is set back.
  select(window, "broken.klf", "Regional");
  for (const std::string& folder : {routeFolder + "\\missing", routeFolder}) {
    HWND configure = openDialog(window, IDM_CONFIGURE, "Configure KLV");  // as the menu item does
    gui::setItemTexts(configure, {{IDE_ROUTE_FOLDER, folder}});
    ASSERT_TRUE(gui::close(configure, IDB_SAVE));
    ASSERT_GE(gui::pick(window, trainList, "Regional"), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, selectButton))) << folder;
  }

  // A route that fails: its two error messages (what is wrong, and that the route will not be
  // playable), then the program ends without starting the simulator (the stand-in's log, checked
  // at the end, has no start of it).
  ASSERT_GE(gui::pick(window, routeList, "broken.klf"), 0);
  HWND options = openDialog(window, selectButton, "Starting options");
  gui::saveScreenshot(options, "start-options-144dpi");
  gui::press(options, IDOK);
  for (int message = 0; message < 2; ++message)
    ASSERT_TRUE(gui::close(gui::waitForWindow("#32770", "Error", 20000), IDOK)) << message;
  EXPECT_EQ(WaitForSingleObject(klevane, 30000), WAIT_OBJECT_0);

  // By the keyboard alone: the focus starts on the route list; the arrows move without entering a
  // folder, Enter enters one and goes back up; a typed letter finds a route, Tab goes on to the
  // trains, Enter presses Select and then confirms Starting options.
  start(144, false);
  // Sharing the window's input state, GetFocus names the control that has the focus there.
  AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr), TRUE);
  ASSERT_TRUE(gui::waitUntil([] { return GetDlgCtrlID(GetFocus()) == routeList; }));
  // Down twice, onto "  (valley)"; Enter; Down onto "  (..)"; Enter; 'v'; Tab; Down: the folder shown
  // after each key. A letter is typed (WM_CHAR), any other key pressed.
  const std::pair<WPARAM, const char*> keys[] = {{VK_DOWN, ""}, {VK_DOWN, ""}, {VK_RETURN, "\\valley"},
      {VK_DOWN, "\\valley"}, {VK_RETURN, ""}, {'v', ""}, {VK_TAB, ""}, {VK_DOWN, ""}};
  for (auto [key, folder] : keys) {
    PostMessageA(GetFocus(), key >= 'a' ? WM_CHAR : WM_KEYDOWN, key, 0);
    Sleep(300);
    EXPECT_EQ(gui::itemText(window, {folderLabel}), routeFolder + folder) << key;
  }
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), trainList);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, selectButton)));
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_NE(gui::waitForWindow("#32770", "Starting options"), nullptr);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(gui::waitForWindow("ZelvikStandIn", "Zelvik (stand-in)", 20000), WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(klevane, 30000), WAIT_OBJECT_0);
  // The simulator itself started twice in all, on the prepared route, and the planted program never.
  const std::string started =
      windowsPath("zelvik sim") + "\\zelvik.exe \"" + routeFolder + "\\klvtemp.csv\" /d=40752918\r\n";
  EXPECT_EQ(readBytes("zelvik sim/zelvik.log"), started + started);
  EXPECT_FALSE(exists("zelvik.log")) << "the planted program was started";
}

}  // namespace
