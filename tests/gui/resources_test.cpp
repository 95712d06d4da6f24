// The resources as Windows sees them: each dialog template made into a window (with a procedure
// that does nothing, so the template's own texts show), its controls' classes, texts, styles and
// places; the texts measured in the dialog's font, so that none is cut off or runs into another
// control; the menu, the icon, the version and the manifest.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "gui/gui_driver.h"
#include "resources/resource_ids.h"
#include "support/test_support.h"

namespace {

struct ControlTemplate {
  int id;  // IDC_STATIC: found by class and text
  const char* className;
  const char* text;  // the template's text
  DWORD style;       // the bits that the class's mask below selects; WS_BORDER for an edit's border
  int x, y, width, height;  // dialog units; a combo box's height (its list's) is not compared
};

struct DialogTemplate {
  int id;
  const char* caption;
  const char* font;
  int width, height;
  std::vector<ControlTemplate> controls;
};

const char aboutText[] = "Klevane\n\nCopyright (c) 2026\nthe Klevane developers\n\nklevane@example.org";
const char configureExample[] =
    "Example:\nC:\\Program Files\\Zelvik\nC:\\Program Files\\Zelvik\\Railway\\Route\nC:\\Program Files\\Zelvik\\Train";

constexpr DWORD tab = WS_TABSTOP;
constexpr DWORD group = WS_GROUP;
constexpr DWORD readOnlyBox = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | tab;

const std::vector<DialogTemplate> dialogTemplates = {
    {IDD_ABOUT, "About", "Helv", 150, 80,
     {
         {IDC_STATIC, "Static", aboutText, SS_CENTER | SS_NOPREFIX, 6, 6, 134, 54},
         {IDOK, "Button", "&OK", BS_DEFPUSHBUTTON | tab, 50, 60, 50, 14},
     }},
    {IDD_CONFIGURE, "Configure KLV", "MS Sans Serif", 260, 112,
     {
         {IDC_STATIC, "Static", "Zelvik folder", SS_LEFT, 6, 8, 40, 8},
         {IDC_STATIC, "Static", "Route folder", SS_LEFT, 6, 24, 40, 8},
         {IDC_STATIC, "Static", "Train folder", SS_LEFT, 6, 40, 40, 8},
         {IDE_SIM_FOLDER, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | tab, 54, 6, 200, 12},
         {IDE_ROUTE_FOLDER, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | tab, 54, 22, 200, 12},
         {IDE_TRAIN_FOLDER, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | tab, 54, 38, 200, 12},
         {IDC_STATIC, "Static", configureExample, SS_LEFT, 6, 60, 254, 56},
         {IDB_SAVE, "Button", "&Save", BS_DEFPUSHBUTTON | tab, 204, 60, 50, 14},
         {IDB_CONFIGURE_CANCEL, "Button", "&Cancel", BS_PUSHBUTTON | tab, 204, 80, 50, 14},
     }},
    {IDD_ROUTE_INFO, "Route information", "Helv", 300, 140,
     {
         {IDOK, "Button", "&Close", BS_DEFPUSHBUTTON | tab, 244, 6, 50, 14},
         {IDE_ROUTE_DESCRIPTION, "Edit", "", readOnlyBox, 6, 36, 288, 98},
         {IDT_ROUTE_NAME, "Static", "Route name not available", SS_LEFT | SS_NOPREFIX, 6, 6, 232, 12},
         {IDT_DEFAULT_TRAIN, "Static", "Default train not available", SS_LEFT | SS_NOPREFIX, 6, 18, 232, 12},
     }},
    {IDD_TRAIN_INFO, "Train information", "Helv", 270, 200,
     {
         {IDOK, "Button", "&Close", BS_DEFPUSHBUTTON | tab, 214, 4, 50, 14},
         {IDE_TRAIN_DESCRIPTION, "Edit", "", readOnlyBox, 6, 110, 258, 84},
         {IDT_TRAIN_NAME, "Static", "", SS_LEFT | SS_NOPREFIX, 136, 8, 72, 12},
     }},
    {IDD_START_OPTIONS, "Starting options", "Helv", 266, 158,
     {
         {IDX_DEVELOPER_MODE, "Button", "Start in &developer mode", BS_AUTOCHECKBOX | tab, 6, 6, 100, 14},
         {IDC_STATIC, "Button", "Train interval", BS_GROUPBOX, 6, 22, 126, 60},
         {IDR_INTERVAL_NO_EFFECT, "Button", "&No effect", BS_AUTORADIOBUTTON | group | tab, 12, 34, 80, 14},
         {IDR_INTERVAL_RANDOMIZE, "Button", "R&andomize +/- (sec)", BS_AUTORADIOBUTTON, 12, 47, 80, 14},
         {IDR_INTERVAL_FORCE, "Button", "Forc&e random (sec)", BS_AUTORADIOBUTTON, 12, 60, 78, 14},
         {IDE_INTERVAL_SPREAD, "Edit", "", WS_BORDER | tab, 94, 46, 16, 14},
         {IDE_INTERVAL_RANGE, "Edit", "", WS_BORDER | tab, 94, 60, 32, 14},
         {IDC_STATIC, "Button", "Adhesion", BS_GROUPBOX, 140, 22, 120, 60},
         {IDR_ADHESION_NO_EFFECT, "Button", "&No effect", BS_AUTORADIOBUTTON | group | tab, 146, 34, 70, 14},
         {IDR_ADHESION_RANDOMIZE, "Button", "R&andomize +/-", BS_AUTORADIOBUTTON, 146, 47, 70, 14},
         {IDR_ADHESION_SUPER, "Button", "Sup&er adhesion", BS_AUTORADIOBUTTON, 146, 60, 70, 14},
         {IDE_ADHESION_SPREAD, "Edit", "", WS_BORDER | tab, 220, 46, 16, 14},
         {IDX_RANDOM_TRACK_QUALITY, "Button", "&Randomize track quality", BS_AUTOCHECKBOX | tab, 6, 90, 100, 14},
         {IDX_RANDOM_STATION_WAIT, "Button", "&Randomize min. station waiting time", BS_AUTOCHECKBOX | tab, 6, 103,
          130, 13},
         {IDX_RANDOM_STATION_JAM, "Button", "&Randomize station jam", BS_AUTOCHECKBOX | tab, 6, 114, 100, 14},
         {IDX_RANDOM_STARTER_ASPECT, "Button", "&Randomize starter aspect", BS_AUTOCHECKBOX | tab, 6, 126, 100, 14},
         {IDX_TILTING_TRAIN, "Button", "&Tilting train", BS_AUTOCHECKBOX | tab, 6, 138, 100, 14},
         {IDC_SIGNAL_SYSTEM, "ComboBox", "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | tab, 168, 90, 92, 68},
         {IDB_SIGNAL_INFO, "Button", "In&fo ->", BS_PUSHBUTTON | tab, 112, 90, 50, 13},
         {IDOK, "Button", "&Start Zelvik", BS_DEFPUSHBUTTON | tab, 210, 110, 50, 14},
         {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | tab, 210, 130, 50, 14},
     }},
};

// The style bits compared for each class: the kind of control and the bits the templates set.
DWORD styleMask(const std::string& className) {
  if (className == "Button") return 0x0F | WS_GROUP | WS_TABSTOP;
  if (className == "Edit") {
    return ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
  }
  if (className == "Static") return SS_TYPEMASK | SS_NOPREFIX | WS_TABSTOP;
  return 0x03 | CBS_SORT | WS_TABSTOP;  // ComboBox; WS_VSCROLL goes to its list
}

INT_PTR CALLBACK templateOnly(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The class without the version that common controls 6 may put before it ("6.0.x.y!Button").
std::string baseClassName(HWND window) {
  char name[128];
  GetClassNameA(window, name, sizeof name);
  const char* bang = std::strrchr(name, '!');
  return bang ? bang + 1 : name;
}

std::vector<HWND> childrenOf(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND findControl(HWND dialog, const ControlTemplate& wanted) {
  for (HWND child : childrenOf(dialog)) {
    bool sameId = wanted.id == IDC_STATIC ? GetDlgCtrlID(child) == static_cast<int>(static_cast<WORD>(IDC_STATIC))
                                        : GetDlgCtrlID(child) == wanted.id;
    if (sameId && baseClassName(child) == wanted.className &&
        (wanted.id != IDC_STATIC || gui::windowText(child) == wanted.text)) {
      return child;
    }
  }
  return nullptr;
}

// A place in dialog units in pixels, as the dialog manager converts it: the position and the
// size each on their own.
RECT dialogUnits(HWND dialog, int x, int y, int width, int height) {
  RECT rect = {x, y, width, height};
  MapDialogRect(dialog, &rect);
  return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

RECT clientRectOf(HWND dialog, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class TemplateTest : public ::testing::Test {
 protected:
  static HWND open(int id) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, templateOnly, 0);
    EXPECT_NE(dialog, nullptr) << "template " << id;
    return dialog;
  }
};

TEST_F(TemplateTest, DialogsCaptionsFontsAndSizes) {
  for (const DialogTemplate& layout : dialogTemplates) {
    HWND dialog = open(layout.id);
    if (!dialog) continue;
    EXPECT_EQ(gui::windowText(dialog), layout.caption);
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX),
              WS_POPUP | WS_CAPTION | WS_SYSMENU)
        << layout.caption;
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) << layout.caption;

    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << layout.caption;
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(font.lfFaceName, layout.font) << layout.caption;

    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(describe(client), describe(dialogUnits(dialog, 0, 0, layout.width, layout.height))) << layout.caption;
    DestroyWindow(dialog);
  }
}

TEST_F(TemplateTest, EveryControlWithItsClassTextStyleAndPlace) {
  for (const DialogTemplate& layout : dialogTemplates) {
    HWND dialog = open(layout.id);
    if (!dialog) continue;
    EXPECT_EQ(childrenOf(dialog).size(), layout.controls.size()) << layout.caption;
    for (const ControlTemplate& c : layout.controls) {
      std::string what = std::string(layout.caption) + ": " + std::to_string(c.id) + " \"" + c.text + "\"";
      HWND control = findControl(dialog, c);
      if (!control) {
        ADD_FAILURE() << what << ": no such " << c.className;
        continue;
      }
      EXPECT_EQ(baseClassName(control), c.className) << what;
      EXPECT_EQ(gui::windowText(control), c.text) << what;
      DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
      DWORD mask = styleMask(c.className);
      EXPECT_EQ(style & mask, c.style & mask) << what << std::hex << ": style " << style;
      EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) << what;
      if (std::string(c.className) == "Edit") {
        bool bordered = (style & WS_BORDER) || (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_TRUE(bordered) << what;
      }
      RECT expected = dialogUnits(dialog, c.x, c.y, c.width, c.height);
      RECT actual = clientRectOf(dialog, control);
      if (std::string(c.className) == "ComboBox") {
        // The list's height follows its entries under common controls 6. A list of more entries
        // than it shows has a scroll bar (the list takes WS_VSCROLL from the combo box).
        for (int i = 0; i < 40; ++i) SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("entry"));
        SendMessageA(control, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO parts = {};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(GetComboBoxInfo(control, &parts)) << what;
        EXPECT_TRUE(GetWindowLongA(parts.hwndList, GWL_STYLE) & WS_VSCROLL) << what;
        SendMessageA(control, CB_SHOWDROPDOWN, FALSE, 0);
        actual.bottom = expected.bottom;
      }
      EXPECT_EQ(describe(actual), describe(expected)) << what;
    }
    DestroyWindow(dialog);
  }
}

// What a control shows of its own, in dialog client pixels: the whole control for edits, combo
// boxes and push buttons; for check boxes, radio buttons and static texts the box and the text as
// the dialog's font lays it out, so that neighbours whose rectangles touch may share a line.
struct Content {
  RECT rect;
  bool fits;  // the text fits into the control
};

Content contentOf(HWND dialog, HWND control) {
  RECT box = clientRectOf(dialog, control);
  std::string kind = baseClassName(control);
  DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  std::string text = gui::windowText(control);
  HDC dc = GetDC(dialog);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  RECT measured = {0, 0, box.right - box.left, 0};
  UINT wrap = kind == "Static" ? DT_WORDBREAK : DT_SINGLELINE;
  UINT prefix = kind == "Static" && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  DrawTextA(dc, text.c_str(), -1, &measured, DT_CALCRECT | wrap | prefix);
  SelectObject(dc, previous);
  ReleaseDC(dialog, dc);
  int textWidth = measured.right - measured.left;
  int textHeight = measured.bottom - measured.top;
  int type = static_cast<int>(style & 0x0F);
  Content content = {box, true};
  if (kind == "Static") {
    content.rect.right = box.left + textWidth;
    content.rect.bottom = box.top + textHeight;
    content.fits = textWidth <= box.right - box.left;
  } else if (kind == "Button" && (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON)) {
    const int mark = GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box or circle and the gap to the text
    int middle = (box.top + box.bottom) / 2;
    content.rect.right = box.left + mark + textWidth;
    content.rect.top = middle - textHeight / 2;
    content.rect.bottom = middle + (textHeight + 1) / 2;
    content.fits = mark + textWidth <= box.right - box.left;
  } else if (kind == "Button" && type == BS_GROUPBOX) {
    content.fits = textWidth + 16 <= box.right - box.left;
  } else if (kind == "Button") {
    content.fits = textWidth + 6 <= box.right - box.left;
  }
  return content;
}

bool isGroupBox(HWND control) {
  return baseClassName(control) == "Button" && (GetWindowLongA(control, GWL_STYLE) & 0x0F) == BS_GROUPBOX;
}

TEST_F(TemplateTest, NoTextIsCutOffAndNoControlRunsIntoAnother) {
  for (const DialogTemplate& layout : dialogTemplates) {
    HWND dialog = open(layout.id);
    if (!dialog) continue;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> controls = childrenOf(dialog);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      std::string what = std::string(layout.caption) + ": \"" + gui::windowText(controls[i]) + "\"";
      Content content = contentOf(dialog, controls[i]);
      if (IsRectEmpty(&content.rect)) continue;  // an empty label shows nothing
      EXPECT_TRUE(content.fits) << what << " is cut off";
      RECT inside;
      IntersectRect(&inside, &content.rect, &client);
      EXPECT_TRUE(EqualRect(&inside, &content.rect)) << what << " leaves the dialog: " << describe(content.rect);
      for (std::size_t j = i + 1; j < controls.size() && !isGroupBox(controls[i]); ++j) {
        if (isGroupBox(controls[j])) continue;  // a group box holds its controls
        Content other = contentOf(dialog, controls[j]);
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &content.rect, &other.rect))
            << what << " " << describe(content.rect) << " runs into \"" << gui::windowText(controls[j]) << "\" "
            << describe(other.rect);
      }
    }
    DestroyWindow(dialog);
  }
}

// Controls whose rectangles overlap must not damage each other: each control drawn alone leaves
// every pixel of the dialog as it was.
TEST_F(TemplateTest, DrawingAControlAloneLeavesTheOthersAlone) {
  for (const DialogTemplate& layout : dialogTemplates) {
    HWND dialog = open(layout.id);
    if (!dialog) continue;
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    for (HWND control : childrenOf(dialog)) {
      RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      gui::Picture whole = gui::capture(dialog, false, false);
      RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      EXPECT_TRUE(gui::capture(dialog, false, false).bgr == whole.bgr)
          << layout.caption << ": drawing \"" << gui::windowText(control) << "\" paints over another control";
    }
    DestroyWindow(dialog);
  }
}

TEST(Resources, Menu) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  char text[64];
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Menu");
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  struct Item {
    UINT id;
    const char* text;
  } items[] = {{IDM_CONFIGURE, "&Configure"}, {IDM_ABOUT, "&About"}, {IDM_QUIT, "&Quit"}};
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(GetMenuItemID(popup, i), items[i].id) << i;
    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].text) << i;
  }
  DestroyMenu(menu);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(Resources, IconHolds32And16PixelImages) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDI_KLEVANE), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const IconGroup* group = static_cast<const IconGroup*>(LockResource(LoadResource(module, found)));
  std::vector<int> sizes;
  for (int i = 0; i < group->count; ++i) sizes.push_back(group->entries[i].width);
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

TEST(Resources, Version) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  DWORD size = GetFileVersionInfoSizeA(path, nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(0, 9)));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  char* name = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&name),
                             &length));
  EXPECT_STREQ(name, "Klevane");
}

TEST(Resources, ManifestAsksForCommonControls6AndNoElevation) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                       SizeofResource(module, found));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);  // Windows scales the program

  HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, templateOnly, 0);
  ASSERT_NE(dialog, nullptr);
  char path[MAX_PATH] = "";
  GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
  DestroyWindow(dialog);
  std::string loaded = path;
  for (char& c : loaded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(loaded.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
}

}  // namespace
