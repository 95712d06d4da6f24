// The Route information and Train information dialogs: what route_info.cpp and train_info.cpp
// find, put into the controls; the train's pictures loaded, drawn and released.
#include <windows.h>

#include "app/dialog_window.h"
#include "app/dialogs.h"
#include "app/train_info.h"
#include "resources/resource_ids.h"
#include "route/route_info.h"
#include "state/app_state.h"

namespace {

void onInfoCommand(HWND dialog, int id) {
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
}

// The description boxes (read-only edits ask for static colours) are white.
HBRUSH routeStaticColor(HWND control, HDC dc) {
  return GetDlgCtrlID(control) == IDE_ROUTE_DESCRIPTION ? whiteBackground(dc) : nullptr;
}

HBRUSH trainStaticColor(HWND control, HDC dc) {
  return GetDlgCtrlID(control) == IDE_TRAIN_DESCRIPTION ? whiteBackground(dc) : nullptr;
}

void onRouteInit(HWND dialog) {
  RouteInfo info = showRouteInfo();
  SetDlgItemTextA(dialog, IDT_ROUTE_NAME, info.routeName.c_str());
  SetDlgItemTextA(dialog, IDT_DEFAULT_TRAIN, info.defaultTrain.c_str());
  SetDlgItemTextA(dialog, IDE_ROUTE_DESCRIPTION, info.description.c_str());
}

// A bitmap file stretched or shrunk to the size given; null when it cannot be loaded.
GdiHandle loadPicture(const std::string& path, int width, int height) {
  return LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, width, height, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

// Copies a picture to the dialog at its own size; a picture that was not loaded is not drawn.
void drawPicture(HDC dc, HDC memory, GdiHandle picture, int x, int y) {
  BITMAP size;
  if (!picture || !GetObjectA(static_cast<HBITMAP>(picture), sizeof size, &size)) return;
  HGDIOBJ previous = SelectObject(memory, static_cast<HBITMAP>(picture));
  BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
}

void onTrainInit(HWND dialog) {
  TrainInfo info = readTrainInfo();
  SetDlgItemTextA(dialog, IDT_TRAIN_NAME, info.name.c_str());
  SetDlgItemTextA(dialog, IDE_TRAIN_DESCRIPTION, info.description.c_str());
  appState.trainBitmap = loadPicture(info.trainPicture, trainPictureWidth, trainPictureHeight);
  appState.panelBitmap = loadPicture(info.panelPictures[0], panelPictureWidth, panelPictureHeight);
  if (!appState.panelBitmap) {
    appState.panelBitmap = loadPicture(info.panelPictures[1], panelPictureWidth, panelPictureHeight);
  }
}

void onTrainPaint(HWND, HDC dc) {
  HDC memory = CreateCompatibleDC(dc);
  drawPicture(dc, memory, appState.trainBitmap, 194, 40);
  drawPicture(dc, memory, appState.panelBitmap, 9, 9);
  DeleteDC(memory);
}

void releasePicture(GdiHandle& picture) {
  if (picture) DeleteObject(static_cast<HBITMAP>(picture));
  picture = nullptr;
}

void onTrainDestroy(HWND) {
  releasePicture(appState.trainBitmap);
  releasePicture(appState.panelBitmap);
}

}  // namespace

int showRouteInfoDialog(WindowHandle owner) {
  DialogHandlers handlers;
  handlers.onInit = onRouteInit;
  handlers.onCommand = onInfoCommand;
  handlers.onStaticColor = routeStaticColor;
  return runModalDialog(static_cast<HWND>(owner), IDD_ROUTE_INFO, handlers);
}

int showTrainInfoDialog(WindowHandle owner) {
  DialogHandlers handlers;
  handlers.onInit = onTrainInit;
  handlers.onCommand = onInfoCommand;
  handlers.onStaticColor = trainStaticColor;
  handlers.onPaint = onTrainPaint;
  handlers.onDestroy = onTrainDestroy;
  return runModalDialog(static_cast<HWND>(owner), IDD_TRAIN_INFO, handlers);
}
