#include "app/dialog_window.h"

#include <vector>

#include "app/start_options.h"
#include "state/app_state.h"

namespace {

const DialogHandlers* handlersOf(HWND dialog) {
  return reinterpret_cast<const DialogHandlers*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The one dialog procedure: WM_INITDIALOG brings the dialog's handlers, kept in DWLP_USER.
INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const DialogHandlers* handlers = handlersOf(dialog);
    if (handlers->onInit) handlers->onInit(dialog);
    return TRUE;
  }
  const DialogHandlers* handlers = handlersOf(dialog);
  if (!handlers) return FALSE;  // messages before WM_INITDIALOG
  switch (message) {
    case WM_COMMAND:
      if (!handlers->onCommand) return FALSE;
      handlers->onCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (!handlers->onStaticColor) return FALSE;
      return reinterpret_cast<INT_PTR>(handlers->onStaticColor(reinterpret_cast<HWND>(lParam),
                                                               reinterpret_cast<HDC>(wParam)));
    case WM_PAINT: {
      if (!handlers->onPaint) return FALSE;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(dialog, &paint);
      handlers->onPaint(dialog, dc);
      EndPaint(dialog, &paint);
      return TRUE;
    }
    case WM_DESTROY:
      if (handlers->onDestroy) handlers->onDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int runModalDialog(HWND owner, int templateId, const DialogHandlers& handlers) {
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, dialogProcedure,
                                   reinterpret_cast<LPARAM>(&handlers));
  return static_cast<int>(result);
}

std::string controlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  int length = GetWindowTextLengthA(control);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(control, text.data(), length + 1);
  return text.data();
}

ComboChoice comboChoice(HWND dialog, int id) {
  ComboChoice choice;
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return choice;
  LRESULT length = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return choice;
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  choice.selected = true;
  choice.text = text.data();
  return choice;
}

HBRUSH whiteBackground(HDC dc) {
  SetBkColor(dc, RGB(255, 255, 255));
  return static_cast<HBRUSH>(appState.whiteBrush);
}
