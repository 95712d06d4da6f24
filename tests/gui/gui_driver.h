// Drives Klevane's windows the way a user would, by window messages, for the tests that run under
// wine on a virtual display (cmake/wine-gui-run): klevane.exe's windows in another process as well
// as the test program's own dialogs. A click that ends a dialog or opens a modal window is posted
// (a sent one would block the driver); everything else is sent with a time limit, so that a hung
// window fails a test instead of hanging the run.
#pragma once

#include <windows.h>

#include "support/test_support.h"

namespace gui {

inline LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result)) << message;
  return static_cast<LRESULT>(result);
}

// Polls every 20 ms until `done`; false when it is not within the limit.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 5000) {
  for (int waited = 0; !done(); waited += 20, Sleep(20)) if (waited > limitMs) return false;
  return true;
}

// The visible top-level window of any process with this class and caption; null when none
// appears within the limit.
inline HWND waitForWindow(const char* className, const char* caption, int limitMs = 5000) {
  HWND window = nullptr;
  auto shown = [&] { return (window = FindWindowA(className, caption)) && IsWindowVisible(window); };
  return waitUntil(shown, limitMs) ? window : nullptr;
}

// A control's notification to its window: a button pressed, or another `code` (LBN_DBLCLK).
inline void press(HWND to, int id, int code = BN_CLICKED) { PostMessageA(to, WM_COMMAND, MAKEWPARAM(id, code), 0); }

// Presses a button that ends the dialog; false when the dialog stays, or when there is none.
inline bool close(HWND dialog, int id) {
  press(dialog, id);
  return dialog && waitUntil([dialog] { return !IsWindow(dialog); });
}

inline std::string windowText(HWND window) {
  char text[4096] = "";
  send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The texts of a window's controls, joined by "|".
inline std::string itemText(HWND window, std::initializer_list<int> ids) {
  std::string texts;
  for (int id : ids) texts += "|" + windowText(GetDlgItem(window, id));
  return texts.substr(1);
}

inline void setItemTexts(HWND dialog, std::initializer_list<std::pair<int, std::string>> texts) {
  for (auto& [id, text] : texts) send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Clicks the entry of a list box that begins with `text`, as the mouse does (or selects it in a
// combo box with CB_SELECTSTRING, without a notification: the dialogs read their combo boxes when
// they need the choice); the entry's index, negative when there is none.
inline LRESULT pick(HWND window, int id, const std::string& text, UINT message = LB_FINDSTRING) {
  HWND control = GetDlgItem(window, id);
  const LRESULT index = send(control, message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0 || message != LB_FINDSTRING) return index;
  // The entry's place, by numbers: no rectangle crosses processes.
  const LRESULT height = send(control, LB_GETITEMHEIGHT), row = index - send(control, LB_GETTOPINDEX);
  const LPARAM at = MAKELPARAM(8, row * height + height / 2);
  send(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  send(control, WM_LBUTTONUP, 0, at);
  return index;
}

// What a window shows, with its caption and frame, as a 32-bit .bmp file holds it (wine reads
// only bottom-up files whole). Pixels are addressed in client coordinates.
struct Picture {
  int width, height;
  POINT client;                // the client area's origin in the picture
  std::vector<DWORD> pixels;  // 0xAARRGGBB, the bottom row first
  COLORREF pixel(int x, int y) const {
    const DWORD p = pixels.at(static_cast<std::size_t>((height - 1 - y - client.y) * width + x + client.x));
    return RGB(GetBValue(p), GetGValue(p), GetRValue(p));  // a COLORREF is 0x00BBGGRR
  }
  const Picture& write(const std::string& path) const {
    const BITMAPINFOHEADER head = {sizeof head, width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof head, size = static_cast<DWORD>(pixels.size() * 4);
    const BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};  // "BM"
    auto raw = [](const void* data, std::size_t n) { return std::string(static_cast<const char*>(data), n); };
    testing_support::writeBytes(path, raw(&file, sizeof file) + raw(&head, sizeof head) + raw(pixels.data(), size));
    return *this;
  }
};

// The window as it is on the screen now; an empty picture for no window.
inline Picture capture(HWND window) {
  RECT frame = {};
  GetWindowRect(window, &frame);
  POINT client = {-frame.left, -frame.top};
  ClientToScreen(window, &client);  // the client area's origin in the picture
  Picture picture{frame.right - frame.left, frame.bottom - frame.top, client, {}};
  BITMAPINFO info = {{sizeof info.bmiHeader, picture.width, picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC source = GetWindowDC(window), memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
  picture.pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + picture.width * picture.height);
  for (DWORD& p : picture.pixels) p |= 0xFF000000;  // opaque: drawing leaves stray bytes in the alpha's place
  DeleteDC(memory);  // releases the bitmap
  DeleteObject(bitmap);
  ReleaseDC(window, source);
  return picture;
}

// The window and its children drawn afresh and saved as `name`.bmp in the screenshot folder
// (KLV_SCREENSHOT_DIR, which the wrapper script makes, converting the files to .png after the
// run); what it showed.
inline Picture saveScreenshot(HWND window, const std::string& name) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(200);
  return capture(window).write(std::string(KLV_SCREENSHOT_DIR) + "/" + name + ".bmp");
}

}  // namespace gui
