// Drives Klevane's windows the way a user would, by window messages, for the tests that run under
// wine on a virtual display (cmake/wine-gui-run). A modal dialog blocks the thread that shows it,
// so a second thread finds it by its caption, sets texts, ticks boxes, picks entries and presses
// buttons, and takes screenshots; the showing thread then checks what the dialog stored.
//
// Clicks that end a dialog or open another modal window are posted (a sent one would block the
// driver); everything else is sent with a time limit, so that a hung window fails a test instead
// of hanging the run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace gui {

constexpr int waitLimitMs = 5000;  // for a window to appear or to go

// The visible top-level window of the thread with this class and exactly this caption; null
// when none appears within the limit.
HWND waitForWindow(DWORD thread, const char* className, const char* caption, int limitMs = waitLimitMs);
inline HWND waitForDialog(DWORD thread, const char* caption, int limitMs = waitLimitMs) {
  return waitForWindow(thread, "#32770", caption, limitMs);
}
// True once the window no longer exists.
bool waitUntilGone(HWND window, int limitMs = waitLimitMs);

// Runs `show` on this thread (it opens a modal dialog and returns the dialog's result) while
// `drive` works the dialog captioned `caption` from a second thread. Returns what `show`
// returned. When the dialog does not appear, or `drive` leaves it (or a message box) open, the
// test fails and every dialog of this thread is cancelled, so that the run goes on.
int driveModal(const char* caption, const std::function<int()>& show, const std::function<void(HWND)>& drive);

// Texts.
std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::string& text);

// Buttons. `click` is a mouse click on a check box, a radio button or a push button that neither
// ends the dialog nor opens another; `press` posts the button's command for the others.
bool isChecked(HWND dialog, int id);
void click(HWND dialog, int id);
void press(HWND dialog, int id);
// The close box of the window's caption.
void pressCloseBox(HWND window);

// Combo boxes. `selectEntry` selects the entry with exactly this text and tells the dialog, as a
// selection with the mouse does; false when there is no such entry.
std::vector<std::string> comboEntries(HWND dialog, int id);
std::string comboSelection(HWND dialog, int id);  // "<none>" when nothing is selected
bool selectEntry(HWND dialog, int id, const std::string& text);

// A picture of a window, 24-bit, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bgr;  // rows of width * 3 bytes
  COLORREF pixel(int x, int y) const;
};

// Copies what the window shows: the client area, or the whole window with its caption and frame.
// With `redraw`, the window and its children are drawn afresh first.
Picture capture(HWND window, bool wholeWindow, bool redraw = true);

// Saves the whole window as `name`.bmp in the screenshot folder (KLV_SCREENSHOT_DIR); the wrapper
// script converts it to .png after the run.
void saveScreenshot(HWND window, const std::string& name);

// Writes a 24-bit .bmp file of the given size, coloured by `colour`(x, y) with y = 0 at the top.
void writeBitmapFile(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& colour);

}  // namespace gui
