// Drives Klevane's windows the way a user would, by window messages, for the tests that run under
// wine on a virtual display (cmake/wine-gui-run): klevane.exe's windows in another process as well
// as the test program's own dialogs. A click that ends a dialog or opens a modal window is posted
// (a sent one would block the driver); everything else is sent with a time limit, so that a hung
// window fails a test instead of hanging the run.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace gui {

inline LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result))
    ADD_FAILURE() << "window " << window << " did not answer message " << message;
  return static_cast<LRESULT>(result);
}

// Polls every 20 ms until `done`; false when it is not within the limit.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 5000) {
  for (int waited = 0; !done(); waited += 20, Sleep(20)) {
    if (waited > limitMs) return false;
  }
  return true;
}

// The visible top-level window of any process with this class and caption; null when none
// appears within the limit.
inline HWND waitForWindow(const char* className, const char* caption, int limitMs = 5000) {
  HWND window = nullptr;
  auto shown = [&] { return (window = FindWindowA(className, caption)) && IsWindowVisible(window); };
  return waitUntil(shown, limitMs) ? window : nullptr;
}

inline void press(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Presses a button that ends the dialog; false when the dialog stays.
inline bool close(HWND dialog, int id) {
  press(dialog, id);
  return waitUntil([dialog] { return !IsWindow(dialog); });
}

inline std::string windowText(HWND window) {
  std::vector<char> text(static_cast<std::size_t>(send(window, WM_GETTEXTLENGTH)) + 1, '\0');
  send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// The texts of a window's controls, joined by "|".
inline std::string itemText(HWND window, std::initializer_list<int> ids) {
  std::string texts;
  for (int id : ids) texts += (texts.empty() ? "" : "|") + windowText(GetDlgItem(window, id));
  return texts;
}

inline void setItemText(HWND dialog, int id, const std::string& text) {
  send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A check box or a radio button clicked with the mouse.
inline void click(HWND dialog, int id) { send(GetDlgItem(dialog, id), BM_CLICK); }

// Selects the entry of a list box or combo box that begins with `text` and tells the window, as
// the mouse does; false when there is none.
inline bool pick(HWND window, int id, const std::string& text) {
  HWND control = GetDlgItem(window, id);
  char name[64] = "";
  GetClassNameA(control, name, sizeof name);
  UINT message = std::strstr(name, "ComboBox") ? CB_SELECTSTRING : LB_SELECTSTRING;
  if (send(control, message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())) < 0) return false;
  send(window, WM_COMMAND, MAKEWPARAM(id, 1), reinterpret_cast<LPARAM>(control));  // LBN_ and CBN_SELCHANGE
  return true;
}

// What a window shows, with its caption and frame, as a 24-bit .bmp file holds it: the bottom
// row first, rows padded to 4 bytes. Pixels are addressed in client coordinates.
struct Picture {
  int width, height;
  POINT client;  // the client area's origin in the picture
  std::vector<unsigned char> bgr;
  BITMAPINFOHEADER header() const { return {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}; }
  int rowBytes() const { return (width * 3 + 3) & ~3; }
  COLORREF pixel(int x, int y) const {  // CLR_INVALID outside
    x += client.x, y += client.y;
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const unsigned char* p = &bgr[static_cast<std::size_t>((height - 1 - y) * rowBytes() + x * 3)];
    return RGB(p[2], p[1], p[0]);
  }
  void write(const std::string& path) const {
    BITMAPINFOHEADER info = header();
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(offset + bgr.size()), 0, 0, offset};  // "BM"
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    if (!out.write(reinterpret_cast<const char*>(bgr.data()), static_cast<std::streamsize>(bgr.size())))
      ADD_FAILURE() << "could not write " << path;
  }
};

// With `redraw`, the window and its children are drawn afresh first.
inline Picture capture(HWND window, bool redraw = true) {
  if (redraw) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(200);
  }
  RECT frame;
  GetWindowRect(window, &frame);
  POINT client = {0, 0};
  ClientToScreen(window, &client);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  Picture picture{width, height, {client.x - frame.left, client.y - frame.top}, {}};
  picture.bgr.resize(static_cast<std::size_t>(picture.rowBytes() * picture.height));
  HDC source = GetWindowDC(window), memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, picture.width, picture.height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info = {picture.header(), {}};
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(picture.height), picture.bgr.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return picture;
}

// Saves the window as `name`.bmp in the screenshot folder (KLV_SCREENSHOT_DIR); the wrapper script
// converts it to .png after the run.
inline void saveScreenshot(HWND window, const std::string& name) {
  std::filesystem::create_directories(KLV_SCREENSHOT_DIR);
  capture(window).write(std::string(KLV_SCREENSHOT_DIR) + "/" + name + ".bmp");
}

}  // namespace gui
