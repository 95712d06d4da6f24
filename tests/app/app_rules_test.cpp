// The rules of the main window and of the dialogs, apart from their windows: the route browser and
// the decisions of Select, the starting options as the controls show and store them, the folders,
// and the train information.
#include "app/folder_settings.h"
#include "app/main_layout.h"
#include "app/route_browser.h"
#include "app/start_options.h"
#include "app/train_info.h"
#include "support/app_state_fixture.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Names = std::vector<std::string>;

class AppRulesTest : public WorkFolderTest {};

// Ticked boxes, and decisions taken, as 'x'; the others as '-'.
std::string ticked(std::initializer_list<bool> boxes) {
  std::string text;
  for (bool box : boxes) text += box ? 'x' : '-';
  return text;
}

// Select wants a route file and a train; the simulator starts for a route file whose build
// succeeded. (The colours of the entries: the main window's test under wine.) The simulator's
// command line names the program, and stays unquoted.
TEST(RouteBrowserRules, RouteFilesDecisionsAndTheSimulatorCommandLine) {
  // A name, and 10 for a route file plus its kind.
  const std::pair<const char*, int> names[] = {{".rw", 1}, {"a.rw", 11}, {".csv", 2}, {"a.csv", 12}, {"A.KLF", 13},
                                                {"a_rw", 1}, {"route.txt", 0}, {"", 0}};
  for (const auto& [name, want] : names) EXPECT_EQ(isRouteFileName(name) * 10 + routeKindOf(name), want) << name;
  resetAppState("c:\\program files\\zelvik");
  for (const auto& d : {std::make_pair(0, "---"), {1, "x-x"}, {11, "--x"}}) {  // the kind, plus 10 for a failed build
    appState.routeKind = static_cast<std::int8_t>(d.first % 10);
    appState.buildFailed = d.first > 10;
    EXPECT_EQ(ticked({shouldStartSimulator(), canSelect(false), canSelect(true)}), d.second) << d.first;
  }
  std::snprintf(appState.csvOutPath, sizeof appState.csvOutPath, "c:\\r\\klvtemp.csv");
  appState.outputIsCsv = true;
  appState.options.developerMode = 1;
  EXPECT_EQ(simulatorProgram() + "|" + simulatorCommandLine(), "c:\\program files\\zelvik\\zelvik.exe|"
            "c:\\program files\\zelvik\\zelvik.exe \"c:\\r\\klvtemp.csv\" /d=40752918");
}

// The lists of route files and folders and of trains. Then, a route file is selected; a folder
// entry moves the browser, up to at least "c:\", and into a sub-folder that exists within 260
// characters; but not when the keyboard moved onto it.
TEST_F(AppRulesTest, ListingsOfRoutesAndTrainsAndChoosingEntries) {
  const std::string d251(251, 'd'), e252(252, 'e');
  for (const std::string& file : Names{"routes/a.csv", "routes/B.RW", "routes/klvtemp.csv", "routes/KLVTEMP.RW",
                                       "routes/d.txt", "routes/x/f", "routes/y.csv/f", "trains/Local/train.dat",
                                       "trains/Odd/train.dat/f", "trains/train.dat", "trains/Empty/f",
                                       "routes/x/" + d251 + "/f", "routes/x/" + e252 + "/f"})
    writeBytes(file, "");
  Names entries, trains;
  ASSERT_TRUE(listRouteEntries("routes", entries) && listTrains("trains", trains));
  for (Names* list : {&entries, &trains}) std::sort(list->begin(), list->end());
  EXPECT_EQ(entries, (Names{"  (..)", "  (x)", "  (y.csv)", "B.RW", "KLVTEMP.RW", "a.csv", "y.csv"}));
  EXPECT_EQ(trains, (Names{".", "Local"}));
  EXPECT_FALSE(listRouteEntries("none", entries) || listTrains("none", trains));
  // The browser's folder, the entry, then whether the list is filled anew, the browser's folder, the
  // route file and its kind; a fourth field: the keyboard moved onto the entry.
  std::vector<Names> cases = {
      {"routes", "Line.CSV", "0 routes Line.CSV 2"}, {"routes", "  (x)", "1 routes\\x r 0"},
      {"routes", "  (gone)", "1 routes r 0"},        {"c:\\routes\\line1", "  (..)", "1 c:\\routes r 0"},
      {"c:\\routes", "  (..)", "1 c:\\ r 0"},        {"routes", "  (x)", "0 routes r 0", "by key"},
  };
#ifndef _WIN32  // Windows itself refuses such long paths below a temporary folder
  cases.push_back({"routes\\x", "  (" + d251 + ")", "1 routes\\x\\" + d251 + " r 0"});
  cases.push_back({"routes\\x", "  (" + e252 + ")", "1 routes\\x r 0"});
#endif
  for (const auto& c : cases) {
    std::snprintf(appState.browseFolder, sizeof appState.browseFolder, "%s", c[0].c_str());
    std::snprintf(appState.routeFile, sizeof appState.routeFile, "r");
    appState.routeKind = 9;
    const bool refill = chooseRouteEntry(c[1].c_str(), c.size() < 4);
    EXPECT_EQ(std::to_string(refill) + " " + appState.browseFolder + " " + appState.routeFile + " " +
                  std::to_string(appState.routeKind), c[2]) << c[1];
  }
}

// The main window at any DPI: every control inside the client area and none over another, but the
// progress bar, which lies over the label and Select; lengths and the font grow with the DPI.
TEST(MainLayout, FitsTheClientAreaAtEveryDpi) {
  std::string sizes;
  for (int dpi : {72, 96, 120, 144, 168, 192, 288}) {
    const MainLayout l = mainLayout(dpi);
    const PixelRect places[] = {l.label, l.routeList, l.trainList, l.select, l.progressBar};
    auto apart = [](const PixelRect& a, const PixelRect& b) { return a.x + a.width <= b.x || b.x + b.width <= a.x ||
                                                                      a.y + a.height <= b.y || b.y + b.height <= a.y; };
    for (const PixelRect& r : places)
      EXPECT_TRUE(r.x > 0 && r.y > 0 && r.x + r.width < l.clientWidth && r.y + r.height < l.clientHeight) << dpi;
    for (int i = 0; i < 4; ++i)
      for (int j = i + 1; j < 4; ++j) EXPECT_TRUE(apart(places[i], places[j])) << dpi << " " << i << " " << j;
    EXPECT_FALSE(apart(l.progressBar, l.label) || apart(l.progressBar, l.select)) << dpi;
    sizes += std::to_string(l.clientWidth) + "x" + std::to_string(l.clientHeight) + " " +
             std::to_string(l.routeList.height) + " " + std::to_string(l.itemHeight) + " " +
             std::to_string(l.fontHeight) + "|";
  }
  EXPECT_EQ(sizes, "630x414 376 16 11|630x414 376 16 11|788x518 470 20 13|945x621 564 24 16|1103x725 658 28 19|"
                   "1260x828 752 32 21|1890x1242 1128 48 32|");
}

// Info takes the choice and shows the system's description, but nothing for the simulator's own.
// Only a flag of 1 ticks its box; a mode that is no button of its group checks none and stores "no
// effect". Spreads are unsigned numbers with blanks around them, capped at 600 and 200; the range
// is cut to 7 characters, read as "%d-%d" into what it holds, brought into 10..600 and put in
// order. A selected name of at most 15 characters is taken; any spelling of the simulator's own
// signals engages no system.
TEST_F(AppRulesTest, StartOptionsShownAndStoredAndTheSystemsDescription) {
  resetAppState();
  writeBytes("alpine/sigsys.txt", "Alpine\r\nMountain signals\r\nwith $chr(44) three aspects\r\n#end#\r\n");
  MessageRecorder boxes;
  showSignalSystemInfo(nullptr, {true, "Zelvik Default"});
  showSignalSystemInfo(&boxes, {true, "Alpine"});
  ASSERT_TRUE(boxes.calls.size() == 1 && boxes.calls[0].owner == &boxes);
  EXPECT_EQ(boxes.calls[0].caption + "|" + boxes.calls[0].text + "|" + std::to_string(boxes.calls[0].style) + "|" +
                appState.signalSystem, "Alpine|Mountain signals\r\nwith , three aspects\r\n|" +
                                           std::to_string(mbOk | mbIconInformation) + "|Alpine");
  EXPECT_FALSE(exists("klv.cfg"));
  const struct { StartOptions before; const char *spreads[2], *range, *system; ComboChoice choice;
                 const char *shown, *options, *interval, *adhesion, *stored; bool swap; } cases[] = {
      {{1, 0, 1, 0, 2, 1, 651, 655, 0, 0, 30, 240}, {"601", "201"}, "100-1000", "", {true, "Zelvik Default"},
       "x-x--x -x- --x", "1 0 1 0 0 1", "651 600 100 100", "655 200", "Zelvik Default", false},
      {{0, 1, 0, 1, 0, 0, 652, 654, 0, 0, 30, 240}, {" 42 ", "\t3"}, "600-9", "Zelvik Default",
       {true, "Fifteen chars!!"}, "-x-x-- --x -x-", "0 1 0 1 0 0", "652 42 10 600", "654 3", "Fifteen chars!!", true},
      {{0, 0, 0, 0, 0, 0, 653, 650, 0, 0, 30, 20}, {"12abc", "abc"}, "45", "Alpine", {true, "Sixteen chars ok"},
       "------ --- ---", "0 0 0 0 0 0", "650 0 20 45", "653 0", "Alpine", true},
      {{0, 0, 0, 0, 0, 0, -1, 656, 0, 0, 700, 5}, {"", "-5"}, "", "zELVIK DEFAULT", {false, "Alpine"},
       "------ --- ---", "0 0 0 0 0 0", "650 0 10 600", "653 0", "zELVIK DEFAULT", false},
      {{0, 0, 0, 0, 0, 0, 650, 653, 0, 0, 50, 60}, {"99999999999", "109"}, "x", "Zelvik Defaul", {false, ""},
       "------ x-- x--", "0 0 0 0 0 0", "650 600 50 60", "653 109", "Zelvik Defaul", true},
  };
  for (const auto& c : cases) {
    resetAppState();
    appState.options = c.before;
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", c.system);
    appState.swapSignals = !c.swap;
    StartOptionsForm f = startOptionsForm();
    const bool *i = f.intervalButtons, *a = f.adhesionButtons;
    EXPECT_EQ(ticked({f.developerMode, f.randomTrackQuality, f.randomStationWait, f.randomStationJam,
                      f.randomStarterAspect, f.tiltingTrain}) + " " + ticked({i[0], i[1], i[2]}) + " " +
                  ticked({a[0], a[1], a[2]}), c.shown) << c.stored;
    f.intervalSpread = c.spreads[0], f.adhesionSpread = c.spreads[1], f.intervalRange = c.range;
    f.signalSystem = c.choice;
    confirmStartOptions(f);
    EXPECT_EQ(readBytes("klv.cfg"), configText(c.options, c.interval, c.adhesion, c.stored)) << c.stored;
    EXPECT_EQ(appState.swapSignals, c.swap) << c.stored;
  }
}

// A text of 1 to 259 characters becomes its folder without a trailing backslash (klv.cfg, read
// back, takes another); then the browser lists the route folder. The train information is read
// from the train folder.
TEST_F(AppRulesTest, EnteredTextsBecomeTheFoldersAndTheTrainInformation) {
  const std::string long259 = "c:\\" + std::string(256, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"d:\\r\\\\", "d:\\r"}, {"\\", "\n"}, {"", "routes"}, {long259, long259}, {long259 + "x", "routes"},
  };
  for (const auto& c : cases) {
    resetAppState();
    saveFolderForm({"s", c.first, ""});
    const FolderForm form = folderForm();
    EXPECT_EQ(form.simFolder + "|" + form.routeFolder + "|" + form.trainFolder + "|" + appState.browseFolder,
              "s|" + c.second + "|trains|" + c.second) << c.first;
  }
  EXPECT_EQ(readBytes("klv.cfg"), configText("0 0 0 0 0 0", "650 0 30 240", "653 0", "", "s|routes|trains"));
  // The description is train.txt's bytes as they are, up to its end and at most 4090 of them.
  std::snprintf(appState.trainName, sizeof appState.trainName, "Express 2");
  writeBytes("trains/Express 2/train.txt", "\r\n" + std::string(4087, 'a') + "bcdef");
  const TrainInfo info = readTrainInfo();
  writeBytes("trains/Express 2/train.txt", "Tilting\xFF.");  // a 0xFF byte ends the text
  EXPECT_EQ(readTrainInfo().description, "Tilting");
  EXPECT_EQ(info.name + "|" + info.trainPicture + "|" + info.panelPictures[0] + "|" + info.panelPictures[1] + "|" +
                info.description, "Express 2|trains\\Express 2\\train.bmp|trains\\Express 2\\panel2.bmp|"
                                  "trains\\Express 2\\panel.bmp|\r\n" + std::string(4087, 'a') + "b");
}

}  // namespace
