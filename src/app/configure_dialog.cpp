// The Configure and About dialogs of the main window's menu. Configure copies FolderForm to and
// from its three edits; the rules are in folder_settings.cpp. About only shows its template.
#include <windows.h>

#include "app/dialog_window.h"
#include "app/dialogs.h"
#include "app/folder_settings.h"
#include "resources/resource_ids.h"

namespace {

struct FolderEdit {
  int id;
  std::string FolderForm::*field;
};
const FolderEdit folderEdits[] = {
    {IDE_SIM_FOLDER, &FolderForm::simFolder},
    {IDE_ROUTE_FOLDER, &FolderForm::routeFolder},
    {IDE_TRAIN_FOLDER, &FolderForm::trainFolder},
};

void onConfigureInit(HWND dialog) {
  FolderForm form = folderForm();
  for (const FolderEdit& edit : folderEdits) SetDlgItemTextA(dialog, edit.id, (form.*edit.field).c_str());
}

void onConfigureCommand(HWND dialog, int id) {
  switch (id) {
    case IDB_SAVE: {
      FolderForm form;
      for (const FolderEdit& edit : folderEdits) form.*edit.field = controlText(dialog, edit.id);
      saveFolderForm(form);
      EndDialog(dialog, IDB_SAVE);
      break;
    }
    case IDB_CONFIGURE_CANCEL:
    case IDCANCEL:  // Escape and the close box
      EndDialog(dialog, IDB_CONFIGURE_CANCEL);
      break;
    default:
      break;
  }
}

void onAboutCommand(HWND dialog, int id) {
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
}

}  // namespace

int showConfigureDialog(WindowHandle owner) {
  DialogHandlers handlers;
  handlers.onInit = onConfigureInit;
  handlers.onCommand = onConfigureCommand;
  int result = runModalDialog(static_cast<HWND>(owner), IDD_CONFIGURE, handlers);
  returnBrowserToRouteFolder();
  return result;
}

int showAboutDialog(WindowHandle owner) {
  DialogHandlers handlers;
  handlers.onCommand = onAboutCommand;
  return runModalDialog(static_cast<HWND>(owner), IDD_ABOUT, handlers);
}
