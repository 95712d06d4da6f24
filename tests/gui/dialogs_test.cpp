// The five dialogs opened from the real resources and worked like a user would, by window
// messages from a second thread; afterwards AppState and klv.cfg are checked. Each dialog leaves
// a screenshot in out/screenshots.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "gui/gui_driver.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const char defaultFolders[] =
    "c:\\program files\\zelvik\r\nc:\\program files\\zelvik\\railway\\route\r\nc:\\program files\\zelvik\\train\r\n";
constexpr int msgBoxText = 0xFFFF;  // the id of a message box's text

template <std::size_t size>
void setField(char (&field)[size], const std::string& text) {
  std::snprintf(field, size, "%s", text.c_str());
}

class DialogTest : public WorkFolderTest {
 protected:
  void SetUp() override {
    WorkFolderTest::SetUp();
    std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
    appState.swapSignals = false;
    initAppState();
    loadConfig();  // no file: the default folders
  }

  // The program's folder (the current directory) as Windows writes it.
  std::string here() const { return folder.string(); }

  static void makeSignalSystem(const std::string& folderName, const std::string& sigsys) {
    std::filesystem::create_directories(folderName);
    writeBytes(folderName + "/sigsys.txt", sigsys);
  }
};

// ---- Starting options ------------------------------------------------------------------------

const int checkBoxIds[] = {IDX_DEVELOPER_MODE,     IDX_RANDOM_TRACK_QUALITY,  IDX_RANDOM_STATION_WAIT,
                           IDX_RANDOM_STATION_JAM, IDX_RANDOM_STARTER_ASPECT, IDX_TILTING_TRAIN};

class StartOptionsDialogTest : public DialogTest {
 protected:
  int show(const std::function<void(HWND)>& drive) {
    return gui::driveModal("Starting options", [] { return showStartOptionsDialog(nullptr); }, drive);
  }

  // The radio buttons checked, of 650 to 655.
  static std::vector<int> checkedRadioButtons(HWND dialog) {
    std::vector<int> checked;
    for (int id = IDR_INTERVAL_NO_EFFECT; id <= IDR_ADHESION_SUPER; ++id) {
      if (gui::isChecked(dialog, id)) checked.push_back(id);
    }
    return checked;
  }
};

TEST_F(StartOptionsDialogTest, OpensWithTheStartValuesAndConfirmsThemUnchanged) {
  int result = show([](HWND dialog) {
    for (int id : checkBoxIds) EXPECT_FALSE(gui::isChecked(dialog, id)) << id;
    EXPECT_EQ(checkedRadioButtons(dialog), (std::vector<int>{650, 653}));
    EXPECT_EQ(gui::itemText(dialog, IDE_INTERVAL_SPREAD), "0");
    EXPECT_EQ(gui::itemText(dialog, IDE_ADHESION_SPREAD), "0");
    EXPECT_EQ(gui::itemText(dialog, IDE_INTERVAL_RANGE), "30-240");
    EXPECT_EQ(gui::comboEntries(dialog, IDC_SIGNAL_SYSTEM), std::vector<std::string>{"Zelvik Default"});
    EXPECT_EQ(gui::comboSelection(dialog, IDC_SIGNAL_SYSTEM), "Zelvik Default");
    gui::press(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(readBytes("klv.cfg"),
            std::string(defaultFolders) + "0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\nZelvik Default");
  EXPECT_STREQ(appState.signalSystem, "Zelvik Default");
  EXPECT_FALSE(appState.swapSignals);
}

TEST_F(StartOptionsDialogTest, EverythingChangedLikeAUserWould) {
  makeSignalSystem("coastal", "Coastal\r\nSignals of the coast\r\n#end#\r\n");
  makeSignalSystem("alpine", "Alpine\r\nMountain signals\r\n#end#\r\n");
  setField(appState.signalSystem, "Coastal");
  appState.options.tiltingTrain = 1;
  int result = show([](HWND dialog) {
    EXPECT_TRUE(gui::isChecked(dialog, IDX_TILTING_TRAIN));
    EXPECT_EQ(gui::comboEntries(dialog, IDC_SIGNAL_SYSTEM),
              (std::vector<std::string>{"Alpine", "Coastal", "Zelvik Default"}));  // sorted
    EXPECT_EQ(gui::comboSelection(dialog, IDC_SIGNAL_SYSTEM), "Coastal");
    for (int id : {IDX_DEVELOPER_MODE, IDX_RANDOM_STATION_JAM, IDX_RANDOM_STARTER_ASPECT, IDX_TILTING_TRAIN}) {
      gui::click(dialog, id);
    }
    gui::click(dialog, IDR_INTERVAL_FORCE);
    gui::click(dialog, IDR_ADHESION_RANDOMIZE);
    EXPECT_EQ(checkedRadioButtons(dialog), (std::vector<int>{652, 654}));  // the others went out
    gui::setItemText(dialog, IDE_INTERVAL_SPREAD, "900");
    gui::setItemText(dialog, IDE_ADHESION_SPREAD, "abc");
    gui::setItemText(dialog, IDE_INTERVAL_RANGE, "300-100");
    EXPECT_TRUE(gui::selectEntry(dialog, IDC_SIGNAL_SYSTEM, "Alpine"));
    gui::saveScreenshot(dialog, "start-options");
    gui::press(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  const StartOptions& o = appState.options;
  EXPECT_EQ(o.developerMode, 1);
  EXPECT_EQ(o.randomStationJam, 1);
  EXPECT_EQ(o.randomStarterAspect, 1);
  EXPECT_EQ(o.tiltingTrain, 0);
  EXPECT_EQ(o.intervalMode, 652);
  EXPECT_EQ(o.intervalSpread, 600);
  EXPECT_EQ(o.intervalMin, 100);
  EXPECT_EQ(o.intervalMax, 300);
  EXPECT_EQ(o.adhesionMode, 654);
  EXPECT_EQ(o.adhesionSpread, 0);
  EXPECT_STREQ(appState.signalSystem, "Alpine");
  EXPECT_TRUE(appState.swapSignals);
  EXPECT_EQ(readBytes("klv.cfg"), std::string(defaultFolders) + "1 0 0 1 1 0\r\n652 600 100 300\r\n654 0\r\nAlpine");
}

TEST_F(StartOptionsDialogTest, InfoShowsTheDescriptionAndStaysAfterCancel) {
  makeSignalSystem("alpine", "Alpine\r\nMountain signals\r\nwith three aspects\r\n#end#\r\n");
  setField(appState.signalSystem, "Zelvik Default");
  setMessageHandler(nullptr);  // the real message box
  const DWORD thread = GetCurrentThreadId();
  int result = show([thread](HWND dialog) {
    gui::press(dialog, IDB_SIGNAL_INFO);  // the simulator's own signals: no box
    EXPECT_EQ(gui::waitForDialog(thread, "Zelvik Default", 500), nullptr);

    EXPECT_TRUE(gui::selectEntry(dialog, IDC_SIGNAL_SYSTEM, "Alpine"));
    gui::press(dialog, IDB_SIGNAL_INFO);
    HWND box = gui::waitForDialog(thread, "Alpine");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    EXPECT_EQ(gui::itemText(box, msgBoxText), "Mountain signals\r\nwith three aspects\r\n");
    gui::saveScreenshot(box, "signal-system-info");
    gui::press(box, IDOK);
    EXPECT_TRUE(gui::waitUntilGone(box));
    gui::press(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 2);
  EXPECT_STREQ(appState.signalSystem, "Alpine");  // what Info showed stays chosen
  EXPECT_FALSE(appState.swapSignals);
  EXPECT_FALSE(exists("klv.cfg"));
}

TEST_F(StartOptionsDialogTest, ModesFromAHandEditedFileThatAreNoButton) {
  appState.options.intervalMode = 0;
  appState.options.adhesionMode = 650;
  int result = show([](HWND dialog) {
    EXPECT_EQ(checkedRadioButtons(dialog), std::vector<int>{});
    gui::press(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(appState.options.intervalMode, 650);
  EXPECT_EQ(appState.options.adhesionMode, 653);
}

TEST_F(StartOptionsDialogTest, TheCloseBoxCancels) {
  int result = show([](HWND dialog) {
    gui::click(dialog, IDX_DEVELOPER_MODE);
    gui::pressCloseBox(dialog);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(appState.options.developerMode, 0);
  EXPECT_FALSE(exists("klv.cfg"));
}

// ---- Configure and About -----------------------------------------------------------------------

class ConfigureDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    setField(appState.simFolder, "c:\\sim");
    setField(appState.routeFolder, "c:\\routes");
    setField(appState.trainFolder, "c:\\trains");
    setField(appState.browseFolder, "c:\\routes\\line1");
  }

  int show(const std::function<void(HWND)>& drive) {
    return gui::driveModal("Configure KLV", [] { return showConfigureDialog(nullptr); }, drive);
  }
};

TEST_F(ConfigureDialogTest, SavesTheFoldersEntered) {
  int result = show([](HWND dialog) {
    EXPECT_EQ(gui::itemText(dialog, IDE_SIM_FOLDER), "c:\\sim");
    EXPECT_EQ(gui::itemText(dialog, IDE_ROUTE_FOLDER), "c:\\routes");
    EXPECT_EQ(gui::itemText(dialog, IDE_TRAIN_FOLDER), "c:\\trains");
    gui::setItemText(dialog, IDE_SIM_FOLDER, "d:\\sim\\");
    gui::setItemText(dialog, IDE_ROUTE_FOLDER, "");
    gui::setItemText(dialog, IDE_TRAIN_FOLDER, "d:\\Program Files\\Zelvik\\Train");
    gui::saveScreenshot(dialog, "configure");
    gui::press(dialog, IDB_SAVE);
  });
  EXPECT_EQ(result, 404);
  EXPECT_STREQ(appState.simFolder, "d:\\sim");
  EXPECT_STREQ(appState.routeFolder, "c:\\routes");
  EXPECT_STREQ(appState.trainFolder, "d:\\Program Files\\Zelvik\\Train");
  EXPECT_STREQ(appState.browseFolder, "c:\\routes");
  EXPECT_STREQ(appState.csvOutPath, "c:\\routes\\klvtemp.csv");
  EXPECT_EQ(readBytes("klv.cfg"),
            "d:\\sim\r\nc:\\routes\r\nd:\\Program Files\\Zelvik\\Train\r\n0 0 0 0 0 0\r\n650 0 30 240\r\n653 0\r\n");
}

// The example text's rectangle reaches under the two buttons: drawing it alone must leave them.
TEST_F(ConfigureDialogTest, TheExampleTextDrawsAroundTheButtons) {
  int result = show([](HWND dialog) {
    gui::Picture before = gui::capture(dialog, false);
    HWND example = FindWindowExA(dialog, nullptr, "Static", nullptr);
    while (example && gui::windowText(example).rfind("Example:", 0) != 0) {
      example = FindWindowExA(dialog, example, "Static", nullptr);
    }
    ASSERT_NE(example, nullptr);
    RedrawWindow(example, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Sleep(200);
    gui::Picture after = gui::capture(dialog, false, false);
    EXPECT_TRUE(before.bgr == after.bgr) << "the buttons were painted over";
    gui::press(dialog, IDB_CONFIGURE_CANCEL);
  });
  EXPECT_EQ(result, 405);
}

TEST_F(ConfigureDialogTest, EveryWayOfCancellingChangesNothingButTheBrowser) {
  struct Case {
    const char* what;
    void (*cancel)(HWND);
  } cases[] = {
      {"Cancel", [](HWND dialog) { gui::press(dialog, IDB_CONFIGURE_CANCEL); }},
      {"Escape", [](HWND dialog) { gui::press(dialog, IDCANCEL); }},
      {"close box", [](HWND dialog) { gui::pressCloseBox(dialog); }},
  };
  for (const Case& c : cases) {
    setField(appState.browseFolder, "c:\\routes\\line1");
    int result = show([&c](HWND dialog) {
      for (int id : {IDE_SIM_FOLDER, IDE_ROUTE_FOLDER, IDE_TRAIN_FOLDER}) gui::setItemText(dialog, id, "x:\\other");
      c.cancel(dialog);
    });
    EXPECT_EQ(result, 405) << c.what;
    EXPECT_STREQ(appState.simFolder, "c:\\sim") << c.what;
    EXPECT_STREQ(appState.routeFolder, "c:\\routes") << c.what;
    EXPECT_STREQ(appState.trainFolder, "c:\\trains") << c.what;
    EXPECT_STREQ(appState.browseFolder, "c:\\routes") << c.what;  // the list shows routeFolder again
    EXPECT_FALSE(exists("klv.cfg")) << c.what;
  }
}

TEST_F(DialogTest, About) {
  for (int command : {IDOK, IDCANCEL}) {
    int result = gui::driveModal("About", [] { return showAboutDialog(nullptr); }, [command](HWND dialog) {
      EXPECT_EQ(gui::windowText(FindWindowExA(dialog, nullptr, "Static", nullptr)),
                "Klevane\n\nCopyright (c) 2026\nthe Klevane developers\n\nklevane@example.org");
      if (command == IDOK) gui::saveScreenshot(dialog, "about");
      gui::press(dialog, command);
    });
    EXPECT_EQ(result, command);
  }
}

// ---- Route and train information ---------------------------------------------------------------

bool isWhite(COLORREF colour) { return colour == RGB(255, 255, 255); }

TEST_F(DialogTest, RouteInformationOfACsvRoute) {
  writeBytes("line.csv",
             ".Timetable Harbour & Hills$chr(13)Line\r\n.Folder Express\r\n"
             ".Comment This is a line$chr(13)Second line$chr(44) with comma\r\n");
  setField(appState.browseFolder, here());
  setField(appState.routeFile, "line.csv");
  appState.routeKind = 2;
  int result = gui::driveModal("Route information", [] { return showRouteInfoDialog(nullptr); }, [](HWND dialog) {
    EXPECT_EQ(gui::itemText(dialog, IDT_ROUTE_NAME), "Harbour & Hills Line");
    EXPECT_EQ(gui::itemText(dialog, IDT_DEFAULT_TRAIN), "Express");
    EXPECT_EQ(gui::itemText(dialog, IDE_ROUTE_DESCRIPTION), "This is a line\r\nSecond line, with comma");
    // The description box is white, the dialog around it is not.
    gui::Picture picture = gui::capture(dialog, false);
    RECT box;
    GetWindowRect(GetDlgItem(dialog, IDE_ROUTE_DESCRIPTION), &box);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_TRUE(isWhite(picture.pixel(box.left + 40, box.bottom - 10)));
    EXPECT_TRUE(isWhite(picture.pixel(box.left + 3, box.top + 3)));
    EXPECT_FALSE(isWhite(picture.pixel(box.left - 3, box.bottom - 10)));
    gui::saveScreenshot(dialog, "route-information");
    gui::press(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
}

TEST_F(DialogTest, RouteInformationOfAFileThatCannotBeRead) {
  setField(appState.browseFolder, here());
  setField(appState.routeFile, "missing.rw");
  appState.routeKind = 1;
  int result = gui::driveModal("Route information", [] { return showRouteInfoDialog(nullptr); }, [](HWND dialog) {
    EXPECT_EQ(gui::itemText(dialog, IDT_ROUTE_NAME), "Unable to open file");
    EXPECT_EQ(gui::itemText(dialog, IDT_DEFAULT_TRAIN), "Default train not available");
    EXPECT_EQ(gui::itemText(dialog, IDE_ROUTE_DESCRIPTION), "Description not available");
    gui::press(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 2);
}

// Test pictures: a train under a sky on a rail, and a driver's panel with one dial.
const COLORREF sky = RGB(150, 200, 240), loco = RGB(200, 30, 30), rail = RGB(90, 90, 90);
const COLORREF panel2Colour = RGB(40, 60, 110), panelColour = RGB(40, 110, 60), dial = RGB(250, 250, 250);

COLORREF trainPixel(int x, int y) {
  if (y >= 58) return rail;
  if (x >= 15 && x < 85 && y >= 20 && y < 52) {
    bool window = y >= 25 && y < 33 && ((x >= 21 && x < 31) || (x >= 36 && x < 46) || (x >= 70 && x < 80));
    return window ? sky : loco;
  }
  int wheel = x < 50 ? x - 30 : x - 70;
  if (y >= 52 && wheel * wheel < 25) return RGB(20, 20, 20);
  return sky;
}

std::function<COLORREF(int, int)> panelPixels(COLORREF background) {
  return [background](int x, int y) {
    int dx = x - 44, dy = y - 40;
    return dx * dx + dy * dy < 400 ? dial : background;
  };
}

class TrainInfoDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    setField(appState.trainFolder, here() + "\\trains");
    setField(appState.trainName, "Express & Co");
    std::filesystem::create_directories(trainFolder());
  }

  static std::string trainFolder() { return "trains/Express & Co"; }

  int show(const std::function<void(HWND)>& drive) {
    return gui::driveModal("Train information", [] { return showTrainInfoDialog(nullptr); }, drive);
  }
};

TEST_F(TrainInfoDialogTest, NameDescriptionAndPictures) {
  writeBytes(trainFolder() + "/train.txt", "Express & Co\r\nTop speed 160 km/h\r\nTilting: yes");
  gui::writeBitmapFile(trainFolder() + "/train.bmp", 101, 65, trainPixel);  // shown at twice its size
  gui::writeBitmapFile(trainFolder() + "/panel2.bmp", 88, 80, panelPixels(panel2Colour));
  gui::writeBitmapFile(trainFolder() + "/panel.bmp", 88, 80, panelPixels(panelColour));
  GdiHandle shown[2] = {};
  int result = show([&shown](HWND dialog) {
    EXPECT_EQ(gui::itemText(dialog, IDT_TRAIN_NAME), "Express & Co");
    EXPECT_EQ(gui::itemText(dialog, IDE_TRAIN_DESCRIPTION), "Express & Co\r\nTop speed 160 km/h\r\nTilting: yes");
    shown[0] = appState.trainBitmap;
    shown[1] = appState.panelBitmap;
    BITMAP size = {};
    GetObjectA(static_cast<HBITMAP>(appState.trainBitmap), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 202);
    EXPECT_EQ(size.bmHeight, 129);
    GetObjectA(static_cast<HBITMAP>(appState.panelBitmap), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 176);
    EXPECT_EQ(size.bmHeight, 160);
    // The train at 194,40 stretched to 202x129; panel2.bmp, not panel.bmp, at 9,9 as 176x160.
    gui::Picture picture = gui::capture(dialog, false);
    struct Spot {
      int x, y;
      COLORREF colour;
    } spots[] = {
        {194, 40, sky}, {194 + 201, 40, sky}, {194 + 100, 40 + 70, loco}, {194, 40 + 128, rail},
        {194 + 201, 40 + 128, rail}, {9, 9, panel2Colour}, {9 + 175, 9 + 159, panel2Colour}, {9 + 88, 9 + 80, dial},
    };
    for (const Spot& s : spots) EXPECT_EQ(picture.pixel(s.x, s.y), s.colour) << s.x << "," << s.y;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const Spot& s : {Spot{193, 100, face}, Spot{194 + 202, 100, face}, Spot{194 + 100, 40 + 129, face},
                          Spot{9 + 176, 50, face}, Spot{50, 9 + 160, face}}) {
      EXPECT_EQ(picture.pixel(s.x, s.y), s.colour) << "outside the pictures: " << s.x << "," << s.y;
    }
    gui::saveScreenshot(dialog, "train-information");
    gui::press(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(appState.trainBitmap, nullptr);
  EXPECT_EQ(appState.panelBitmap, nullptr);
  for (GdiHandle picture : shown) {
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(picture)), 0u) << "a picture was not released";
  }
}

TEST_F(TrainInfoDialogTest, PanelWithoutPanel2AndNoTrainPicture) {
  gui::writeBitmapFile(trainFolder() + "/panel.bmp", 88, 80, panelPixels(panelColour));
  writeBytes(trainFolder() + "/train.bmp", "not a picture");
  int result = show([](HWND dialog) {
    EXPECT_EQ(gui::itemText(dialog, IDE_TRAIN_DESCRIPTION), "");  // no train.txt
    EXPECT_EQ(appState.trainBitmap, nullptr);
    gui::Picture picture = gui::capture(dialog, false);
    EXPECT_EQ(picture.pixel(9, 9), panelColour);
    EXPECT_EQ(picture.pixel(194 + 100, 40 + 64), GetSysColor(COLOR_BTNFACE));  // nothing drawn there
    gui::press(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(appState.panelBitmap, nullptr);
}

}  // namespace
