// The Starting options dialog: copies StartOptionsForm to and from its controls; the rules are
// in start_options.cpp.
#include <windows.h>

#include "app/dialog_window.h"
#include "app/dialogs.h"
#include "app/start_options.h"
#include "resources/resource_ids.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"

static_assert(IDR_INTERVAL_NO_EFFECT == intervalNoEffect && IDR_ADHESION_NO_EFFECT == adhesionNoEffect,
              "the radio buttons' ids are the modes' values");

namespace {

struct CheckBox {
  int id;
  bool StartOptionsForm::*field;
};
const CheckBox checkBoxes[] = {
    {IDX_DEVELOPER_MODE, &StartOptionsForm::developerMode},
    {IDX_RANDOM_TRACK_QUALITY, &StartOptionsForm::randomTrackQuality},
    {IDX_RANDOM_STATION_WAIT, &StartOptionsForm::randomStationWait},
    {IDX_RANDOM_STATION_JAM, &StartOptionsForm::randomStationJam},
    {IDX_RANDOM_STARTER_ASPECT, &StartOptionsForm::randomStarterAspect},
    {IDX_TILTING_TRAIN, &StartOptionsForm::tiltingTrain},
};

struct Edit {
  int id;
  std::string StartOptionsForm::*field;
};
const Edit edits[] = {
    {IDE_INTERVAL_SPREAD, &StartOptionsForm::intervalSpread},
    {IDE_INTERVAL_RANGE, &StartOptionsForm::intervalRange},
    {IDE_ADHESION_SPREAD, &StartOptionsForm::adhesionSpread},
};

void putForm(HWND dialog, const StartOptionsForm& form) {
  for (const CheckBox& box : checkBoxes) CheckDlgButton(dialog, box.id, form.*box.field ? BST_CHECKED : BST_UNCHECKED);
  for (int i = 0; i < 3; ++i) {
    CheckDlgButton(dialog, IDR_INTERVAL_NO_EFFECT + i, form.intervalButtons[i] ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDR_ADHESION_NO_EFFECT + i, form.adhesionButtons[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  for (const Edit& edit : edits) SetDlgItemTextA(dialog, edit.id, (form.*edit.field).c_str());
}

StartOptionsForm readForm(HWND dialog) {
  StartOptionsForm form;
  for (const CheckBox& box : checkBoxes) form.*box.field = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
  for (int i = 0; i < 3; ++i) {
    form.intervalButtons[i] = IsDlgButtonChecked(dialog, IDR_INTERVAL_NO_EFFECT + i) == BST_CHECKED;
    form.adhesionButtons[i] = IsDlgButtonChecked(dialog, IDR_ADHESION_NO_EFFECT + i) == BST_CHECKED;
  }
  for (const Edit& edit : edits) form.*edit.field = controlText(dialog, edit.id);
  form.signalSystem = comboChoice(dialog, IDC_SIGNAL_SYSTEM);
  return form;
}

// The simulator's own signals first selected; the catalogue then selects the system of klv.cfg.
void fillSignalSystems(HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_SIGNAL_SYSTEM);
  comboSetSelection(combo, comboAddString(combo, defaultSignalSystem));
  fillSignalSystemList(combo);
}

void onInit(HWND dialog) {
  putForm(dialog, startOptionsForm());
  fillSignalSystems(dialog);
}

void onCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
      confirmStartOptions(readForm(dialog));
      EndDialog(dialog, IDOK);
      break;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDB_SIGNAL_INFO:
      showSignalSystemInfo(dialog, comboChoice(dialog, IDC_SIGNAL_SYSTEM));
      break;
    default:
      break;
  }
}

}  // namespace

int showStartOptionsDialog(WindowHandle owner) {
  DialogHandlers handlers;
  handlers.onInit = onInit;
  handlers.onCommand = onCommand;
  return runModalDialog(static_cast<HWND>(owner), IDD_START_OPTIONS, handlers);
}
