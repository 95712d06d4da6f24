// The five dialogs from the real resources, each shown as the program shows it and worked by
// window messages as a user works it. First its layout as it shows: no text cut off, every control
// inside the dialog, none painting over another, the description boxes white. Then what it shows,
// and after it ends what it stored in appState and klv.cfg. Each leaves a screenshot.
#include <future>

#include "app/dialogs.h"
#include "gui/gui_driver.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"

using namespace testing_support;

namespace {

const COLORREF trainColour = RGB(200, 30, 30), panel2Colour = RGB(40, 60, 110), face = GetSysColor(COLOR_BTNFACE);

// A dialog as a user works it: `drive` checks what it shows (`shown`, saved as `screenshot`), works
// it, ends it and checks what it stored; the dialog's result is `result`.
struct DialogRun {
  const char *caption, *screenshot;
  int (*show)(WindowHandle);
  int result;
  void (*drive)(HWND dialog, const gui::Picture& shown);
};
void PrintTo(const DialogRun& run, std::ostream* out) { *out << run.caption; }

// Starting options. Check boxes: 631 developer mode, 637 to 641 random track quality, station wait,
// station jam, starter aspect, tilting train; each box checked before and after unlike its
// neighbours, so that a box wired to another's id shows. Radio buttons: 650 to 652 train interval,
// 653 to 655 adhesion; each group's others go out as one is clicked. Edits: 633 and 634 the train
// interval's spread and range, 636 the adhesion's spread; 642 the signal systems, sorted. Configure's
// edits: 401 to 403 the simulator's, the routes' and the trains' folders.
const DialogRun runs[] = {
    {"Starting options", "start-options", showStartOptionsDialog, 1, [](HWND dialog, const gui::Picture&) {
       for (int id : {637, 639, 641, 651, 655}) EXPECT_TRUE(IsDlgButtonChecked(dialog, id)) << id;
       EXPECT_EQ(gui::itemText(dialog, {633, 634, 636, 642}), "45|20-90|7|Alpine");
       for (int id : {631, 639, 640, 652, 654}) gui::send(GetDlgItem(dialog, id), BM_CLICK);
       gui::setItemTexts(dialog, {{633, "900"}, {634, "300-100"}, {636, "x"}});
       EXPECT_EQ(gui::pick(dialog, 642, "Zelvik Default", CB_SELECTSTRING), 1);  // sorted: after Alpine
       ASSERT_TRUE(gui::close(dialog, IDOK));
       EXPECT_EQ(readBytes("klv.cfg"), "sim\r\n.\r\n.\r\n1 1 0 0 1 1\r\n652 600 100 300\r\n654 0\r\nZelvik Default");
     }},
    {"Configure KLV", "configure", showConfigureDialog, 404, [](HWND dialog, const gui::Picture&) {
       EXPECT_EQ(gui::itemText(dialog, {401, 402, 403}), "sim|.|.");
       gui::setItemTexts(dialog, {{401, "d:\\sim\\"}, {402, ""}, {403, "d:\\trains"}});
       ASSERT_TRUE(gui::close(dialog, IDB_SAVE));
       EXPECT_EQ(readBytes("klv.cfg"), "d:\\sim\r\n.\r\nd:\\trains\r\n0 1 0 1 0 1\r\n651 45 20 90\r\n655 7\r\nAlpine");
     }},
    {"About", "about", showAboutDialog, 2, [](HWND, const gui::Picture&) {}},  // cancelled
    {"Route information", "route-information", showRouteInfoDialog, 2, [](HWND dialog, const gui::Picture&) {
       SendDlgItemMessageA(dialog, IDE_ROUTE_DESCRIPTION, WM_CHAR, 'x', 0);  // read-only: typing changes nothing
       EXPECT_EQ(gui::itemText(dialog, {IDE_ROUTE_DESCRIPTION}), "Description not available");
     }},
    // The train picture at 194,40 as 202x129 and the panel at 9,9 as 176x160, panel2.bmp before
    // panel.bmp; the dialog's face beyond them; both released with the dialog.
    {"Train information", "train-information", showTrainInfoDialog, 1, [](HWND dialog, const gui::Picture& shown) {
       EXPECT_EQ(gui::itemText(dialog, {IDT_TRAIN_NAME, IDE_TRAIN_DESCRIPTION}), "Express & Co|Express\r\nTop speed");
       const struct { int x, y; COLORREF colour; } spots[] = {
           {194, 40, trainColour}, {395, 168, trainColour}, {396, 100, face}, {294, 169, face},
           {9, 9, panel2Colour}, {184, 168, panel2Colour}, {185, 50, face}, {50, 169, face}};
       for (auto spot : spots) EXPECT_EQ(shown.pixel(spot.x, spot.y), spot.colour) << spot.x << "," << spot.y;
       GdiHandle pictures[] = {appState.trainBitmap, appState.panelBitmap};
       ASSERT_TRUE(gui::close(dialog, IDOK));
       for (GdiHandle picture : pictures) EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(picture)), 0u) << "not released";
     }},
};

class DialogTest : public WorkFolderTest, public ::testing::WithParamInterface<DialogRun> {};

// What every dialog finds: the folders "sim", "." and "."; starting options other than the start
// values; the signal system Alpine (chosen); no route chosen; the train "Express & Co" with its
// description, its train picture and both panel pictures, each 4x4 pixels of one colour. The
// dialog is shown on a thread of its own (a modal dialog blocks it) and worked from this one; one
// that `drive` left open is cancelled (Escape, the close box).
TEST_P(DialogTest, LaidOutAndWorkedLikeAUser) {
  initAppState();
  writeBytes("klv.cfg", "sim\r\n.\r\n.\r\n0 1 0 1 0 1\r\n651 45 20 90\r\n655 7\r\nAlpine");
  loadConfig();
  writeBytes("alpine/sigsys.txt", "Alpine\r\nMountain signals\r\n#end#\r\n");
  std::strcpy(appState.trainName, "Express & Co");
  writeBytes("Express & Co/train.txt", "Express\r\nTop speed");
  const std::pair<const char*, COLORREF> pictures[] = {{"train", trainColour}, {"panel2", panel2Colour}, {"panel", 0}};
  for (auto [name, c] : pictures)
    gui::Picture{4, 4, {}, std::vector<DWORD>(16, RGB(GetBValue(c), GetGValue(c), GetRValue(c)))}.write(
        std::string("Express & Co/") + name + ".bmp");
  std::future<int> result = std::async(std::launch::async, GetParam().show, nullptr);
  HWND dialog = gui::waitForWindow("#32770", GetParam().caption);
  ASSERT_NE(dialog, nullptr);

  // The layout as it shows. What a control needs to show all of its own, with its rectangle `box`:
  // a static text its text as the dialog's font lays it out, wrapped at its width; a button all of
  // its rectangle and its text on one line, a check box's and a radio button's after the mark, a
  // group box's label a little inside, a push button's with a margin; edits and combo boxes all of
  // their rectangle. That must lie within the control's rectangle and the dialog's client area.
  // Drawn alone, the control leaves every pixel of the others as it was: RedrawWindow only asks
  // another thread's windows to draw; a sent WM_PAINT has the dialog's thread draw them before it
  // answers, the dialog under its controls. The read-only boxes (the descriptions: no other control
  // of these dialogs has that style bit) are white below the text.
  auto within = [](RECT inner, RECT outer) { return UnionRect(&inner, &inner, &outer) && EqualRect(&inner, &outer); };
  std::vector<HWND> windows = {dialog};
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) windows.push_back(c);
  auto redrawn = [&windows](HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    for (HWND w : windows) gui::send(w, WM_PAINT);
    return gui::capture(windows.front());
  };
  RECT client, box;
  GetClientRect(dialog, &client);
  HDC dc = GetDC(dialog);
  SelectObject(dc, reinterpret_cast<HFONT>(gui::send(dialog, WM_GETFONT)));
  for (HWND control : std::vector<HWND>(windows.begin() + 1, windows.end())) {
    const std::string what = gui::windowText(dialog) + ": \"" + gui::windowText(control) + "\"";
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    char kind[2] = "";
    GetClassNameA(control, kind, sizeof kind);  // "Button", "Static", "Edit", "ComboBox"
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & 0x0F;
    const int mark = type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 6;
    const int before = kind[0] == 'S' ? 0 : type == BS_GROUPBOX ? 16 : mark;
    UINT format = kind[0] != 'S' ? DT_SINGLELINE : style & SS_NOPREFIX ? DT_WORDBREAK | DT_NOPREFIX : DT_WORDBREAK;
    RECT text = {box.left + before, box.top, box.right, box.top}, need;
    DrawTextA(dc, gui::windowText(control).c_str(), -1, &text, DT_CALCRECT | format);
    UnionRect(&need, kind[0] == 'S' ? &text : &box, kind[0] == 'E' || kind[0] == 'C' ? &box : &text);
    EXPECT_TRUE(within(need, box) && within(need, client)) << what << " is cut off or leaves the dialog";
    const gui::Picture whole = redrawn(dialog);
    EXPECT_TRUE(redrawn(control).pixels == whole.pixels) << what << " paints over another control";
    EXPECT_TRUE(!(style & ES_READONLY) || whole.pixel(box.left + 40, box.bottom - 10) == 0xFFFFFF) << what << " grey";
  }
  ReleaseDC(dialog, dc);

  // What it shows, and what it stores.
  GetParam().drive(dialog, gui::saveScreenshot(dialog, GetParam().screenshot));
  gui::close(dialog, IDCANCEL);
  EXPECT_EQ(result.get(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Each, DialogTest, ::testing::ValuesIn(runs));

}  // namespace
