// Klevane's main window: the route browser (left), the train list (right), "Select", the menu,
// and the launch. The window keeps nothing of its own: the selection lives in appState, and the
// rules of the lists and the launch are the plain functions of route_browser.h, its layout at the
// DPI of its screen that of main_layout.h.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "app/main_layout.h"
#include "app/main_window.h"
#include "app/route_browser.h"
#include "resource_ids.h"
#include "route/build_driver.h"
#include "signals/signal_swap.h"
#include "state/app_state.h"
#include "state/start_log.h"
#include "text/random.h"

namespace {

enum ControlId : int { routeList = 300, trainList = 301, selectButton = 302, folderLabel = 303, progressBarId = 451 };

HWND control(HWND window, int id) { return GetDlgItem(window, id); }

// The DPI of the window's screen and the layout and font for it.
int windowDpi = 96;
HFONT windowFont = nullptr;

// Functions of newer Windows, looked up at run time so that the program starts on older ones.
template <typename Function>
Function userFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int dpiOf(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  if (const auto getDpi = userFunction<GetDpi>("GetDpiForWindow")) return static_cast<int>(getDpi(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// Places the controls (and sizes the window, unless `frame` is given: the place the system
// suggests on a move to a screen of another DPI) for the window's DPI.
void layOut(HWND window, const RECT* frame) {
  windowDpi = dpiOf(window);
  const MainLayout layout = mainLayout(windowDpi);
  const std::pair<int, PixelRect> places[] = {{folderLabel, layout.label}, {routeList, layout.routeList},
                                              {trainList, layout.trainList}, {selectButton, layout.select},
                                              {progressBarId, layout.progressBar}};
  HFONT previous = windowFont;
  windowFont = CreateFontA(-layout.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Shell Dlg");
  for (const auto& [id, r] : places) {
    if (HWND child = control(window, id)) {
      MoveWindow(child, r.x, r.y, r.width, r.height, TRUE);
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), TRUE);
    }
  }
  SendMessageA(control(window, routeList), LB_SETITEMHEIGHT, 0, layout.itemHeight);
  if (previous) DeleteObject(previous);
  if (frame) {
    SetWindowPos(window, nullptr, frame->left, frame->top, frame->right - frame->left, frame->bottom - frame->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // The window is as large as its client area must be, the lists' bottom rows and borders
  // included, whatever the frame, caption and menu measure on the system.
  using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const auto adjust = userFunction<Adjust>("AdjustWindowRectExForDpi");
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  RECT size = {0, 0, layout.clientWidth, layout.clientHeight};
  if (!adjust || !adjust(&size, style, TRUE, 0, static_cast<UINT>(windowDpi))) {
    AdjustWindowRectEx(&size, style, TRUE, 0);
  }
  SetWindowPos(window, nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The route list's own window procedure, and what the mouse does in the list: a click on a folder
// entry enters the folder, a selection moved by the keyboard does not. After a click refilled the
// list, the second click of a double click finds another list and is ignored.
WNDPROC routeListDefault = nullptr;
bool mouseInRouteList = false, refilledByClick = false;
HWND focusBeforeDeactivation = nullptr;

LRESULT CALLBACK routeListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDBLCLK && refilledByClick) return 0;
  if (message == WM_LBUTTONDOWN) refilledByClick = false;
  const bool outer = mouseInRouteList;  // the messages a click sends to the list on its way
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) mouseInRouteList = true;
  const LRESULT result = CallWindowProcA(routeListDefault, list, message, wParam, lParam);
  mouseInRouteList = outer;
  return result;
}

bool hasSelection(HWND list) { return SendMessageA(list, LB_GETCURSEL, 0, 0) != LB_ERR; }

std::string selectedText(HWND list) {
  LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return "";
  std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)), '\0');
  SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  return text;
}

// Fills the route list from a folder and shows the folder above it; a folder that cannot be
// listed leaves both as they were. A refilled list has no selection, so no route file is chosen.
void fillRouteList(HWND window, const char* folder) {
  std::vector<std::string> entries;
  if (!listRouteEntries(folder, entries)) return;
  HWND list = control(window, routeList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SetWindowTextA(control(window, folderLabel), folder);
  appState.routeKind = 0;
}

void fillTrainList(HWND window, const char* folder) {
  std::vector<std::string> trains;
  if (!listTrains(folder, trains)) return;
  HWND list = control(window, trainList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& train : trains) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(train.c_str()));
}

void updateSelectButton(HWND window) {
  EnableWindow(control(window, selectButton), canSelect(hasSelection(control(window, trainList))));
}

HWND createList(HWND window, int id, DWORD extraStyle) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL | LBS_NOTIFY |
                LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | extraStyle;
  HWND list = CreateWindowExA(0, "LISTBOX", nullptr, style, 0, 0, 0, 0, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!list) MessageBoxA(window, "Could not create edit box.", "Error", MB_ICONERROR);
  return list;
}

void onCreate(HWND window) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  windowDpi = dpiOf(window);  // for the route list's item height, asked for as it is created
  // The folder's name as it is: no '&' in it underlines the next character.
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOPREFIX, 0, 0, 0, 0, window,
                  reinterpret_cast<HMENU>(folderLabel), instance, nullptr);
  if (HWND list = createList(window, routeList, LBS_OWNERDRAWFIXED)) {
    routeListDefault = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(routeListProcedure)));
    fillRouteList(window, appState.routeFolder);
  }
  if (createList(window, trainList, 0)) fillTrainList(window, appState.trainFolder);
  const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_DISABLED | BS_DEFPUSHBUTTON;
  CreateWindowExA(0, "BUTTON", "Select", buttonStyle, 0, 0, 0, 0, window, reinterpret_cast<HMENU>(selectButton),
                  instance, nullptr);
  layOut(window, nullptr);
}

// A route list entry on the colour of its kind, with a dotted frame when it is selected.
void drawRouteEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  if (!(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return;
  char text[300] = "";
  if (SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0) < static_cast<LRESULT>(sizeof text))
    SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
  unsigned colour = routeEntryColour(text);
  COLORREF background = RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(item.hDC, &item.rcItem, brush);
  DeleteObject(brush);
  COLORREF previous = SetBkColor(item.hDC, background);
  TEXTMETRICA metrics;
  GetTextMetricsA(item.hDC, &metrics);
  int top = (item.rcItem.top + item.rcItem.bottom - metrics.tmHeight) / 2;
  ExtTextOutA(item.hDC, item.rcItem.left + 2, top, ETO_CLIPPED, &item.rcItem, text, static_cast<UINT>(lstrlenA(text)),
              nullptr);
  SetBkColor(item.hDC, previous);
  if (item.itemState & ODS_SELECTED) DrawFocusRect(item.hDC, &item.rcItem);
}

// A selection in the route list: by a click, a folder entry is entered; by the keyboard (or Enter
// on a folder entry, `enter`) only when asked.
void onRouteSelected(HWND window, bool enter) {
  if (chooseRouteEntry(selectedText(control(window, routeList)).c_str(), enter)) {
    fillRouteList(window, appState.browseFolder);
    refilledByClick = mouseInRouteList;
  }
  updateSelectButton(window);
}

// Enter in the route list on a folder entry enters it; anywhere else Enter is Select's.
bool enterFolderByKey(HWND window, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || msg.hwnd != control(window, routeList))
    return false;
  const std::string entry = selectedText(msg.hwnd);
  if (entry.empty() || entry.back() != ')') return false;
  onRouteSelected(window, true);
  return true;
}

void onTrainSelected(HWND window) {
  std::string train = selectedText(control(window, trainList));
  std::snprintf(appState.trainName, sizeof appState.trainName, "%s", train.c_str());
  updateSelectButton(window);
}

// Starting options, the signal system, the build, the simulator; the window closes in any case
// once the options were confirmed. The start goes into klevane.log with what its route depends
// on: the seed of its random choices, the answers to its questions, and its outcome.
void launch(HWND window) {
  if (showStartOptionsDialog(window) != 1) return;
  StartRecord record;
#ifdef KLV_FIXED_SEED
  record.seed = KLV_FIXED_SEED;  // the test build prepares the same route every time
#else
  record.seed = timeSeed();
#endif
  seedRandom(record.seed);
  std::string firstMessage;
  setMessageHandler([&](const MessageBoxCall& call) {
    const int answer = showDefaultMessageBox(call);
    if ((call.style & 0xF) == mbYesNo) record.answers += answer == answerYes ? 'y' : 'n';
    else if (firstMessage.empty()) firstMessage = call.text;
    return answer;
  });
  const PixelRect place = mainLayout(windowDpi).progressBar;
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, place.x, place.y, place.width,
                             place.height, window, reinterpret_cast<HMENU>(progressBarId), GetModuleHandleA(nullptr),
                             nullptr);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  // Above the label and Select, which clip themselves where it lies.
  SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  UpdateWindow(window);
  prepareSignalSystem();
  buildRoute(bar);
  const bool started =
      shouldStartSimulator() && startDetachedProcess(simulatorProgram().c_str(), simulatorCommandLine().c_str());
  setMessageHandler(nullptr);
  record.time = localTimeText();
  record.route = joinFolder(appState.browseFolder, appState.routeFile);
  record.train = appState.trainName;
  record.signalSystem = appState.signalSystem;
  record.options = appState.options;
  if (firstMessage.empty()) firstMessage = "the simulator did not start";
  record.outcome = started ? "started" : "failed: " + firstMessage;
  appendStartLog(record);
  PostMessageA(window, WM_CLOSE, 0, 0);
}

void onMenu(HWND window, int command) {
  if (command == IDM_QUIT) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return;
  }
  int result = command == IDM_CONFIGURE ? showConfigureDialog(window) : showAboutDialog(window);
  if (result == -1) MessageBoxA(window, "Dialog failed!", "Error", MB_ICONINFORMATION);
  if (command != IDM_CONFIGURE) return;
  // The lists and the selection go, also where a new folder cannot be listed: the old entries
  // belong to the folders before.
  appState.routeKind = 0;
  for (int list : {routeList, trainList}) SendMessageA(control(window, list), LB_RESETCONTENT, 0, 0);
  SetWindowTextA(control(window, folderLabel), appState.routeFolder);
  fillRouteList(window, appState.routeFolder);
  fillTrainList(window, appState.trainFolder);
  EnableWindow(control(window, selectButton), FALSE);
}

void onCommand(HWND window, int id, int notification) {
  switch (id) {
    case routeList:
      if (notification == LBN_SELCHANGE) onRouteSelected(window, mouseInRouteList);
      if (notification == LBN_DBLCLK && appState.routeKind > 0) showRouteInfoDialog(window);
      break;
    case trainList:
      if (notification == LBN_SELCHANGE) onTrainSelected(window);
      if (notification == LBN_DBLCLK) showTrainInfoDialog(window);
      break;
    case selectButton: launch(window); break;
    case IDM_QUIT:
    case IDM_CONFIGURE:
    case IDM_ABOUT: onMenu(window, id); break;
    default: break;
  }
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: onCreate(window); return 0;
    case WM_MEASUREITEM:
      if (wParam == routeList) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(mainLayout(windowDpi).itemHeight);
      }
      return 0;
    case WM_DPICHANGED:  // moved to a screen of another DPI
      layOut(window, reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DRAWITEM:
      if (wParam == routeList) drawRouteEntry(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return 0;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case DM_GETDEFID: return MAKELRESULT(selectButton, DC_HASDEFID);  // Enter presses Select
    case WM_ACTIVATE:  // the keyboard focus comes back to the control that had it
      if (LOWORD(wParam) == WA_INACTIVE) focusBeforeDeactivation = GetFocus();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS: {
      HWND focus = focusBeforeDeactivation;
      SetFocus(focus && IsChild(window, focus) ? focus : control(window, routeList));
      return 0;
    }
    case WM_CTLCOLORSTATIC:  // the folder's label on the window's own background
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
      return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
      if (windowFont) DeleteObject(windowFont);
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

void declareDpiAwareness() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  using SetAware = BOOL(WINAPI*)();
  const auto setContext = userFunction<SetContext>("SetProcessDpiAwarenessContext");
  if (setContext && setContext(reinterpret_cast<HANDLE>(-4))) return;  // per monitor, version 2
  if (const auto setAware = userFunction<SetAware>("SetProcessDPIAware")) setAware();
}

bool showRunningCopy() {
  HWND window = nullptr;
  for (int tries = 0; !(window = FindWindowA("MainWindowC", nullptr)) && tries < 50; ++tries) Sleep(100);
  if (!window) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(window));  // a dialog open over the window keeps the input
  return true;
}

int runMainWindow(int show) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = mainWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KLEVANE));
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_KLEVANE), IMAGE_ICON, 16, 16, 0));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN);
  windowClass.lpszClassName = "MainWindowC";
  if (!RegisterClassExA(&windowClass)) {
    MessageBoxA(nullptr, "Window Registration Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    return 0;
  }
  HWND window = CreateWindowExA(0, "MainWindowC", "Klevane 9", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, 640, 460, nullptr, nullptr, instance, nullptr);
  if (!window) {
    MessageBoxA(nullptr, "Window Creation Failed!", "Error!", MB_ICONEXCLAMATION | MB_OK);
    return 0;
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab and Shift+Tab between the lists and Select, Enter for Select (or into a folder).
    if (enterFolderByKey(window, msg) || IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
