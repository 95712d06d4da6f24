#include "gui/gui_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace gui {

namespace {

constexpr int pollMs = 20;
constexpr UINT sendLimitMs = 3000;
constexpr int settleMs = 200;  // after a redraw, before a picture is taken

LRESULT sendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, sendLimitMs, &result)) {
    ADD_FAILURE() << "window " << window << " did not answer message " << message;
  }
  return static_cast<LRESULT>(result);
}

struct WindowSearch {
  const char* className;
  const char* caption;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
  char className[64];
  GetClassNameA(window, className, sizeof className);
  if (IsWindowVisible(window) && std::string(className) == search->className &&
      windowText(window) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM data) {
  char className[64];
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770") reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// Cancels every dialog and message box of the thread, the innermost first, until none is left.
void cancelAllDialogs(DWORD thread) {
  for (int round = 0; round < waitLimitMs / pollMs; ++round) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(thread, collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    if (dialogs.empty()) return;
    for (HWND dialog : dialogs) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Sleep(pollMs * 5);
  }
}

std::string screenshotPath(const std::string& name) {
  std::filesystem::create_directories(KLV_SCREENSHOT_DIR);
  return std::string(KLV_SCREENSHOT_DIR) + "/" + name + ".bmp";
}

int rowBytes(int width) { return (width * 3 + 3) & ~3; }

void writeBmp(const std::string& path, const Picture& picture) {
  const int stride = rowBytes(picture.width);
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = picture.width;
  info.biHeight = picture.height;  // bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(stride * picture.height);
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  std::vector<char> row(static_cast<std::size_t>(stride), '\0');
  for (int y = picture.height - 1; y >= 0; --y) {
    std::copy_n(picture.bgr.begin() + static_cast<std::ptrdiff_t>(y) * picture.width * 3, picture.width * 3,
                row.begin());
    out.write(row.data(), stride);
  }
  if (!out) ADD_FAILURE() << "could not write " << path;
}

}  // namespace

HWND waitForWindow(DWORD thread, const char* className, const char* caption, int limitMs) {
  for (int waited = 0; waited <= limitMs; waited += pollMs) {
    WindowSearch search{className, caption, nullptr};
    EnumThreadWindows(thread, matchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(pollMs);
  }
  return nullptr;
}

bool waitUntilGone(HWND window, int limitMs) {
  for (int waited = 0; waited <= limitMs; waited += pollMs) {
    if (!IsWindow(window)) return true;
    Sleep(pollMs);
  }
  return false;
}

int driveModal(const char* caption, const std::function<int()>& show, const std::function<void(HWND)>& drive) {
  const DWORD thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND dialog = waitForDialog(thread, caption);
    if (!dialog) {
      ADD_FAILURE() << "the dialog \"" << caption << "\" did not appear";
      cancelAllDialogs(thread);
      return;
    }
    drive(dialog);
    if (!waitUntilGone(dialog)) {
      ADD_FAILURE() << "the dialog \"" << caption << "\" was left open";
      cancelAllDialogs(thread);
    }
  });
  int result = show();
  driver.join();
  return result;
}

std::string windowText(HWND window) {
  LRESULT length = sendWithLimit(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  sendWithLimit(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::string itemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    ADD_FAILURE() << "no control " << id;
    return "<no control>";
  }
  return windowText(item);
}

void setItemText(HWND dialog, int id, const std::string& text) {
  sendWithLimit(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool isChecked(HWND dialog, int id) { return sendWithLimit(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void click(HWND dialog, int id) { sendWithLimit(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void pressCloseBox(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<std::string> comboEntries(HWND dialog, int id) {
  HWND combo = GetDlgItem(dialog, id);
  std::vector<std::string> entries;
  LRESULT count = sendWithLimit(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::vector<char> text(static_cast<std::size_t>(sendWithLimit(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    sendWithLimit(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    entries.push_back(text.data());
  }
  return entries;
}

std::string comboSelection(HWND dialog, int id) {
  LRESULT index = sendWithLimit(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return "<none>";
  std::vector<std::string> entries = comboEntries(dialog, id);
  return index < static_cast<LRESULT>(entries.size()) ? entries[index] : "<bad index>";
}

bool selectEntry(HWND dialog, int id, const std::string& text) {
  HWND combo = GetDlgItem(dialog, id);
  LRESULT index =
      sendWithLimit(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return false;
  sendWithLimit(combo, CB_SETCURSEL, index, 0);
  sendWithLimit(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  return true;
}

COLORREF Picture::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const unsigned char* p = &bgr[(static_cast<std::size_t>(y) * width + x) * 3];
  return RGB(p[2], p[1], p[0]);
}

Picture capture(HWND window, bool wholeWindow, bool redraw) {
  if (redraw) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(settleMs);
  }
  RECT area;
  if (wholeWindow) {
    GetWindowRect(window, &area);
  } else {
    GetClientRect(window, &area);
  }
  Picture picture;
  picture.width = area.right - area.left;
  picture.height = area.bottom - area.top;
  HDC source = wholeWindow ? GetWindowDC(window) : GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const int stride = rowBytes(picture.width);
  picture.bgr.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* row = static_cast<const unsigned char*>(bits) + static_cast<std::ptrdiff_t>(y) * stride;
    std::copy_n(row, picture.width * 3, picture.bgr.begin() + static_cast<std::ptrdiff_t>(y) * picture.width * 3);
  }
  SelectObject(memory, previous);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return picture;
}

void saveScreenshot(HWND window, const std::string& name) { writeBmp(screenshotPath(name), capture(window, true)); }

void writeBitmapFile(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& colour) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.bgr.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = colour(x, y);
      unsigned char* p = &picture.bgr[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  writeBmp(path, picture);
}

}  // namespace gui
