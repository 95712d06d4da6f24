// Klevane's main window: the route browser (left), the train list (right), "Select", the menu,
// and the launch. The window keeps nothing of its own: the selection lives in appState, and the
// rules of the lists and the launch are the plain functions of route_browser.h.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/route_browser.h"
#include "resource_ids.h"
#include "route/build_driver.h"
#include "signals/signal_swap.h"
#include "state/app_state.h"

namespace {

enum ControlId : int { routeList = 300, trainList = 301, selectButton = 302, folderLabel = 303, progressBarId = 451 };

HWND control(HWND window, int id) { return GetDlgItem(window, id); }

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

HWND createList(HWND window, int id, int x, DWORD extraStyle) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | extraStyle;
  HWND list = CreateWindowExA(0, "LISTBOX", nullptr, style, x, 32, id == routeList ? 400 : 200, 376, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!list) MessageBoxA(window, "Could not create edit box.", "Error", MB_ICONERROR);
  return list;
}

void onCreate(HWND window) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 6, 6, 500, 20, window,
                               reinterpret_cast<HMENU>(folderLabel), instance, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  if (createList(window, routeList, 6, LBS_OWNERDRAWFIXED)) fillRouteList(window, appState.routeFolder);
  if (createList(window, trainList, 424, 0)) fillTrainList(window, appState.trainFolder);
  CreateWindowExA(0, "BUTTON", "Select", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_DEFPUSHBUTTON, 514, 6, 110, 20,
                  window, reinterpret_cast<HMENU>(selectButton), instance, nullptr);
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

void onRouteSelected(HWND window) {
  if (chooseRouteEntry(selectedText(control(window, routeList)).c_str()))
    fillRouteList(window, appState.browseFolder);
  updateSelectButton(window);
}

void onTrainSelected(HWND window) {
  std::string train = selectedText(control(window, trainList));
  std::snprintf(appState.trainName, sizeof appState.trainName, "%s", train.c_str());
  updateSelectButton(window);
}

// Starting options, the signal system, the build, the simulator; the window closes in any case
// once the options were confirmed.
void launch(HWND window) {
  if (showStartOptionsDialog(window) != 1) return;
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 5, 5, 620, 22, window,
                             reinterpret_cast<HMENU>(progressBarId), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  UpdateWindow(window);
  prepareSignalSystem();
  buildRoute(bar);
  if (shouldStartSimulator()) startDetachedProcess(simulatorCommandLine().c_str());
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
  fillRouteList(window, appState.routeFolder);
  fillTrainList(window, appState.trainFolder);
  EnableWindow(control(window, selectButton), FALSE);
}

void onCommand(HWND window, int id, int notification) {
  switch (id) {
    case routeList:
      if (notification == LBN_SELCHANGE) onRouteSelected(window);
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
      if (wParam == routeList) reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
      return 0;
    case WM_DRAWITEM:
      if (wParam == routeList) drawRouteEntry(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return 0;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

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
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
