// The five dialogs from the real resources. Their layout in the templates' own texts: every
// control inside its dialog, no text cut off, none running into or painting over another. Then
// each shown as the program shows it and worked by window messages as a user works it: what it
// shows, and after it ends what it stored in appState and klv.cfg. Each leaves a screenshot.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <tuple>

#include "app/dialogs.h"
#include "gui/gui_driver.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A control's rectangle in the dialog's client coordinates.
RECT placeOf(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// What a control needs to show all of its own: for static texts, check boxes and radio buttons the
// text (and mark) as the dialog's font lays it out, so that neighbours whose rectangles touch may
// share a line; a group box's label; other controls whole, a push button wide enough for its text.
RECT neededBy(HWND dialog, HWND control) {
  RECT box = placeOf(dialog, control), text = {0, 0, box.right - box.left, 0};
  char name[64] = "";
  GetClassNameA(control, name, sizeof name);
  const LONG style = GetWindowLongA(control, GWL_STYLE), type = std::strstr(name, "Button") ? style & 0x0F : -1;
  const bool isStatic = std::strstr(name, "Static");
  HDC dc = GetDC(dialog);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  UINT format = !isStatic ? DT_SINGLELINE : style & SS_NOPREFIX ? DT_WORDBREAK | DT_NOPREFIX : DT_WORDBREAK;
  DrawTextA(dc, gui::windowText(control).c_str(), -1, &text, DT_CALCRECT | format);
  SelectObject(dc, previous);
  ReleaseDC(dialog, dc);
  const int mark = GetSystemMetrics(SM_CXMENUCHECK) + 4, middle = (box.top + box.bottom) / 2;  // box or circle, gap
  if (isStatic) return {box.left, box.top, box.left + text.right, box.top + text.bottom};
  if (type == BS_GROUPBOX) return {box.left, box.top, box.left + text.right + 16, box.top + text.bottom};
  if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON)
    return {box.left, middle - text.bottom / 2, box.left + mark + text.right, middle + (text.bottom + 1) / 2};
  if (type >= 0) box.right = std::max(box.right, box.left + text.right + 6);
  return box;
}

bool within(const RECT& inner, const RECT& outer) {
  RECT meet;
  IntersectRect(&meet, &inner, &outer);
  return IsRectEmpty(&inner) || EqualRect(&meet, &inner);
}

INT_PTR CALLBACK templateOnly(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Each template made into a window that shows the template's own texts.
TEST(DialogLayout, EveryControlInsideNoTextCutOffNoneRunsIntoOrPaintsOverAnother) {
  for (int id : {IDD_ABOUT, IDD_CONFIGURE, IDD_ROUTE_INFO, IDD_TRAIN_INFO, IDD_START_OPTIONS}) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, templateOnly, 0);
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    RECT client, meet;
    GetClientRect(dialog, &client);
    std::vector<HWND> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      std::string what = gui::windowText(dialog) + ": \"" + gui::windowText(controls[i]) + "\"";
      RECT need = neededBy(dialog, controls[i]);
      EXPECT_TRUE(within(need, placeOf(dialog, controls[i]))) << what << " is cut off";
      EXPECT_TRUE(within(need, client)) << what << " leaves the dialog";
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        RECT other = neededBy(dialog, controls[j]);
        EXPECT_FALSE(IntersectRect(&meet, &need, &other)) << what << " runs into " << gui::windowText(controls[j]);
      }
      // Drawn alone, the control leaves every pixel of the others as it was.
      RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      gui::Picture whole = gui::capture(dialog, false);
      RedrawWindow(controls[i], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      EXPECT_TRUE(gui::capture(dialog, false).bgr == whole.bgr) << what << " paints over another control";
    }
    DestroyWindow(dialog);
  }
}

// The check boxes and radio buttons of Starting options that are checked.
std::vector<int> checkedIds(HWND dialog) {
  std::vector<int> ids;
  for (int id = IDX_DEVELOPER_MODE; id <= IDR_ADHESION_SUPER; ++id) {
    if (IsDlgButtonChecked(dialog, id)) ids.push_back(id);
  }
  return ids;
}

// Pixels of the dialog's client area, and its description box white behind the first letters of
// its text and below it.
void expectPixels(HWND dialog, std::vector<std::tuple<int, int, COLORREF>> spots, int descriptionBox) {
  gui::Picture picture = gui::capture(dialog);
  RECT box = placeOf(dialog, GetDlgItem(dialog, descriptionBox));
  const COLORREF white = RGB(255, 255, 255);
  spots.insert(spots.end(), {{box.left + 3, box.top + 3, white}, {box.left + 40, box.bottom - 10, white}});
  for (auto [x, y, colour] : spots) EXPECT_EQ(picture.pixel(x, y), colour) << x << "," << y;
}

const COLORREF trainColour = RGB(200, 30, 30), panel2Colour = RGB(40, 60, 110);

// A .bmp file of 4x4 pixels of one colour (rows of 12 bytes: no padding).
void writeBitmapFile(const std::string& path, COLORREF c) {
  gui::Picture picture{4, 4, {0, 0}, {}};
  for (int i = 0; i < 16; ++i) picture.bgr.insert(picture.bgr.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
  picture.write(path);
}

// What every dialog finds: the folders "sim", "." and "."; starting options other than the start
// values; the signal systems Alpine (chosen) and Coastal; no route file; the train "Express & Co"
// with its description, its train picture and both panel pictures.
void arrangeWorld() {
  initAppState();
  writeBytes("klv.cfg", "sim\r\n.\r\n.\r\n0 1 0 1 0 1\r\n651 45 20 90\r\n655 7\r\nAlpine");
  loadConfig();
  writeBytes("alpine/sigsys.txt", "Alpine\r\nMountain signals\r\n#end#\r\n");
  writeBytes("coastal/sigsys.txt", "Coastal\r\nSignals of the coast\r\n#end#\r\n");
  std::strcpy(appState.routeFile, "missing.csv");
  appState.routeKind = 2;
  std::strcpy(appState.trainName, "Express & Co");
  writeBytes("Express & Co/train.txt", "Express\r\nTop speed");
  writeBitmapFile("Express & Co/train.bmp", trainColour);
  writeBitmapFile("Express & Co/panel2.bmp", panel2Colour);
  writeBitmapFile("Express & Co/panel.bmp", RGB(40, 110, 60));
}

// A dialog as a user works it: `drive` checks what it shows, works it, ends it and checks what it
// stored; the dialog's result is `result`.
struct DialogRun {
  const char* caption;
  int (*show)(WindowHandle);
  void (*drive)(HWND dialog);
  int result;
};
void PrintTo(const DialogRun& run, std::ostream* out) { *out << run.caption; }

// Check boxes: 631 developer mode, 637 to 641 random track quality, station wait, station jam,
// starter aspect, tilting train; each box checked before and after unlike its neighbours, so that
// a box wired to another's id shows. Radio buttons: 650 to 652 train interval, 653 to 655 adhesion.
const DialogRun runs[] = {
    {"Starting options", showStartOptionsDialog,
     [](HWND dialog) {
       EXPECT_EQ(checkedIds(dialog), (std::vector<int>{637, 639, 641, 651, 655}));
       EXPECT_EQ(gui::itemText(dialog, {IDE_INTERVAL_SPREAD, IDE_INTERVAL_RANGE, IDE_ADHESION_SPREAD}), "45|20-90|7");
       EXPECT_EQ(gui::itemText(dialog, {IDC_SIGNAL_SYSTEM}), "Alpine");
       LPARAM ownSignals = reinterpret_cast<LPARAM>("Zelvik Default");  // sorted: after Alpine and Coastal
       EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SIGNAL_SYSTEM, CB_FINDSTRINGEXACT, 0, ownSignals), 2);
       for (int id : {631, 639, 640, 652, 654}) gui::click(dialog, id);
       EXPECT_EQ(checkedIds(dialog), (std::vector<int>{631, 637, 640, 641, 652, 654}));  // each group's others went out
       gui::setItemText(dialog, IDE_INTERVAL_SPREAD, "900");
       gui::setItemText(dialog, IDE_INTERVAL_RANGE, "300-100");
       gui::setItemText(dialog, IDE_ADHESION_SPREAD, "x");
       EXPECT_TRUE(gui::pick(dialog, IDC_SIGNAL_SYSTEM, "Coastal"));
       gui::saveScreenshot(dialog, "start-options");
       ASSERT_TRUE(gui::close(dialog, IDOK));
       EXPECT_EQ(readBytes("klv.cfg"), "sim\r\n.\r\n.\r\n1 1 0 0 1 1\r\n652 600 100 300\r\n654 0\r\nCoastal");
       EXPECT_TRUE(appState.swapSignals);
     },
     1},
    {"Configure KLV", showConfigureDialog,
     [](HWND dialog) {
       EXPECT_EQ(gui::itemText(dialog, {IDE_SIM_FOLDER, IDE_ROUTE_FOLDER, IDE_TRAIN_FOLDER}), "sim|.|.");
       gui::setItemText(dialog, IDE_SIM_FOLDER, "d:\\sim\\");
       gui::setItemText(dialog, IDE_ROUTE_FOLDER, "");
       gui::setItemText(dialog, IDE_TRAIN_FOLDER, "d:\\trains");
       gui::saveScreenshot(dialog, "configure");
       ASSERT_TRUE(gui::close(dialog, IDB_SAVE));
       EXPECT_EQ(readBytes("klv.cfg"), "d:\\sim\r\n.\r\nd:\\trains\r\n0 1 0 1 0 1\r\n651 45 20 90\r\n655 7\r\nAlpine");
     },
     404},
    {"About", showAboutDialog, [](HWND dialog) { gui::saveScreenshot(dialog, "about"); }, 2},  // then cancelled
    {"Route information", showRouteInfoDialog,
     [](HWND dialog) {
       expectPixels(dialog, {}, IDE_ROUTE_DESCRIPTION);
       SendDlgItemMessageA(dialog, IDE_ROUTE_DESCRIPTION, WM_CHAR, 'x', 0);  // read-only: typing changes nothing
       EXPECT_EQ(gui::itemText(dialog, {IDE_ROUTE_DESCRIPTION}), "Description not available");
       gui::saveScreenshot(dialog, "route-information");
       EXPECT_TRUE(gui::close(dialog, IDOK));
     },
     1},
    // The train picture at 194,40 as 202x129 and the panel at 9,9 as 176x160, panel2.bmp before
    // panel.bmp; the dialog's face around them; both released with the dialog.
    {"Train information", showTrainInfoDialog,
     [](HWND dialog) {
       EXPECT_EQ(gui::itemText(dialog, {IDT_TRAIN_NAME, IDE_TRAIN_DESCRIPTION}), "Express & Co|Express\r\nTop speed");
       const COLORREF face = GetSysColor(COLOR_BTNFACE);
       expectPixels(dialog, {{194, 40, trainColour}, {395, 168, trainColour}, {193, 100, face}, {396, 100, face},
                             {294, 169, face}, {9, 9, panel2Colour}, {184, 168, panel2Colour}, {185, 50, face},
                             {50, 169, face}}, IDE_TRAIN_DESCRIPTION);
       gui::saveScreenshot(dialog, "train-information");
       GdiHandle shown[] = {appState.trainBitmap, appState.panelBitmap};
       ASSERT_TRUE(gui::close(dialog, IDOK));
       EXPECT_EQ(appState.trainBitmap, nullptr);
       for (GdiHandle picture : shown) EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(picture)), 0u) << "not released";
     },
     1},
};

class DialogTest : public WorkFolderTest, public ::testing::WithParamInterface<DialogRun> {};

// The dialog is shown on a thread of its own (a modal dialog blocks it) and worked from this one;
// one that `drive` left open is cancelled.
TEST_P(DialogTest, WorkedLikeAUser) {
  arrangeWorld();
  std::future<int> result = std::async(std::launch::async, GetParam().show, nullptr);
  HWND dialog = gui::waitForWindow("#32770", GetParam().caption);
  ASSERT_NE(dialog, nullptr);
  GetParam().drive(dialog);
  gui::close(dialog, IDCANCEL);
  EXPECT_EQ(result.get(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Each, DialogTest, ::testing::ValuesIn(runs));

}  // namespace
