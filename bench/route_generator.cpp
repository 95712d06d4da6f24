#include "route_generator.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <fstream>

namespace bench {

namespace {

// A small fixed generator, so that a size always gives the same route on every machine.
struct Draws {
  std::uint32_t state = 12345;
  int below(int n) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
  }
  double between(int low, int high) { return low + below(high - low + 1); }
};

// The numbers come in a braced list, so that the draws that make them happen in the order written.
std::string format(const char* pattern, std::initializer_list<double> numbers) {
  double n[4] = {0, 0, 0, 0};
  int i = 0;
  for (double number : numbers) n[i++] = number;
  char text[256];
  std::snprintf(text, sizeof text, pattern, n[0], n[1], n[2], n[3]);
  return text;
}

const char* const stationNames[] = {"Quay Street", "Harbour Gate", "Mill Lane", "Oakfield", "Bridge End",
                                    "Castle Hill", "Upper Ford",   "Lighthouse"};

// The commands of one piece of track in the csv form, without the position and the line end.
// The mix follows real routes: mostly rails and scenery, now and then a curve, a signal, a
// station. Decimal numbers are frequent, so many a '.' is no command.
std::string csvTrackCommands(Draws& d, int index) {
  switch (d.below(40)) {
    case 0: case 1: return format(".Curve %.0f;%.0f,", {d.between(300, 4000), d.between(0, 120)});
    case 2:
      if (index % 2) return format(".Signal %.0f;S%.0f;2.2;0;1,", {d.between(2, 5), static_cast<double>(index)});
      return format(".Sig %.0f;B%.0f,", {d.between(2, 5), static_cast<double>(index)});
    case 3: return index % 2 ? format(".Relay %.1f;1,", {d.between(20, 40) / 10.0}) : ".Back 1,";
    case 4: return format(".Marker 0;%.0f;marker.bmp,", {d.between(100, 400)});
    case 5: {
      const char* name = stationNames[d.below(8)];
      const char* keyword = d.below(2) ? ".Sta " : ".Station ";
      const char* fields = d.below(4) ? ";;%04.0f;%04.0f;0;0;;;30;100;," : ";P;%04.0f;%04.0f;1;0;;;45;120;,";
      return keyword + (name + format(fields, {d.between(600, 2200), d.between(600, 2200)}));
    }
    case 6: return format(".Limit %.0f;0;0,", {d.between(4, 14) * 10});
    case 7: return format(".Pitch %.0f,", {d.between(-25, 25)});
    case 8: return format(".Height %.1f,", {d.between(0, 30) / 10.0});
    case 9: case 10: return format(".Ground %.0f,", {d.between(0, 3)});
    case 11: case 12: return format(".Wall 0;%.0f;%.0f,", {d.below(2) ? 1.0 : -1.0, d.between(0, 4)});
    case 13: case 14: return format(".Pole 0;1;%.0f;1;0,", {d.between(-1, 1)});
    case 15: return format(".Beacon %.0f;%.0f;%.0f,", {d.between(0, 40), d.between(1, 9), d.between(0, 3)});
    case 16: return format(".Form 1;L;0;%.0f,", {d.between(0, 3)});
    case 17: return format(".Back %.0f,.Fog 0;%.0f;128;128;128,", {d.between(0, 3), d.between(200, 900)});
    case 18: case 19: case 20:
      return format(".Rail %.0f;%.1f;0;%.0f,.FreeObj %.0f;12;-4.5;0.0;0,", {d.between(1, 3), d.between(30, 45) / 10.0,
                    d.between(0, 5), d.between(0, 3)});
    case 21: case 22: case 23: case 24:
      return format(".RailType 0;%.0f,.FreeObj 0;%.0f;%.1f;0.0;0,", {d.between(0, 9), d.between(0, 30),
                    d.between(-120, 120) / 10.0});
    case 25: return ".RailEnd 1,";
    case 26: return format(".Crack 0;1;%.0f,", {d.between(0, 2)});
    default:
      return format(".FreeObj %.0f;%.0f;%.1f;0.0;%.0f,", {d.between(0, 2), d.between(0, 40),
                    d.between(-150, 150) / 10.0, d.between(0, 359)});
  }
}

// The same in the rw form: "@Name(arguments)".
std::string rwTrackCommands(Draws& d, int index) {
  switch (d.below(40)) {
    case 0: case 1: return format("@Curve(%.0f,%.0f)", {d.between(-4000, 4000), d.between(0, 120)});
    case 2:
      if (index % 2) return format("@Signal(%.0f,S%.0f,2.2,0,1)", {d.between(2, 5), static_cast<double>(index)});
      return format("@Sig(%.0f,B%.0f)", {d.between(2, 5), static_cast<double>(index)});
    case 3: return index % 2 ? format("@Relay(%.1f,1)", {d.between(20, 40) / 10.0}) : "@Back(1)";
    case 4: return format("@Marker(0,%.0f,marker.bmp)", {d.between(100, 400)});
    case 5: {
      const char* name = stationNames[d.below(8)];
      const char* keyword = d.below(2) ? "@Sta(" : "@Station(";
      const char* fields = d.below(4) ? ",,%04.0f,0,1,30)" : ",L,%04.0f,1,0,45)";
      return keyword + (name + format(fields, {d.between(600, 2200)}));
    }
    case 6: return format("@Limit(%.0f)", {d.between(4, 14) * 10});
    case 7: return format("@Pitch(%.0f) ; grade", {d.between(-25, 25)});
    case 8: return format("@Height(%.1f)", {d.between(0, 30) / 10.0});
    case 9: case 10: return format("@Ground(%.0f)", {d.between(0, 3)});
    case 11: case 12: return format("@Wall(0,%.0f,%.0f)", {d.below(2) ? 1.0 : -1.0, d.between(0, 4)});
    case 13: case 14: return format("@Pole(0,1,%.0f,1,0)", {d.between(-1, 1)});
    case 15: return format("@Beacon(%.0f,%.0f,%.0f)", {d.between(0, 40), d.between(1, 9), d.between(0, 3)});
    case 16: return format("@Form(1,L,0,%.0f)", {d.between(0, 3)});
    case 17: return format("@Back(%.0f)@Fog(0,%.0f,128,128,128)", {d.between(0, 3), d.between(200, 900)});
    case 18: case 19: case 20:
      return format("@Rail(%.0f,%.1f,0,%.0f)@FreeObj(%.0f,12,-4.5,0.0,0)", {d.between(1, 3),
                    d.between(30, 45) / 10.0, d.between(0, 5), d.between(0, 3)});
    case 21: case 22: case 23: case 24:
      return format("@RailType(0,%.0f)@FreeObj(0,%.0f,%.1f,0.0,0)", {d.between(0, 9), d.between(0, 30),
                    d.between(-120, 120) / 10.0});
    case 25: return "@RailEnd(1) ; end of the siding";
    case 26: return format("@Crack(0,1,%.0f)", {d.between(0, 2)});
    default:
      return format("@FreeObj(%.0f,%.0f,%.1f,0.0,%.0f)", {d.between(0, 2), d.between(0, 40),
                    d.between(-150, 150) / 10.0, d.between(0, 359)});
  }
}

const char csvHeader[] =
    "With Route\r\n"
    ".Comment Benchmark line, generated for measuring the route passes.\r\n"
    ".Timetable Benchmark line$chr(13)weekday service\r\n"
    ".RunInterval 240\r\n"
    ".Accuracy 2\r\n"
    ".Adhesion 100\r\n"
    ".Gauge 1435\r\n"
    "\r\n"
    "With Train\r\n"
    ".Folder Local\r\n"
    "\r\n"
    "With Track\r\n";

// Track lines "position,commands" until the text reaches `bytes`; now and then a blank line and
// an indented line, whose breaks and tab the output drops.
template <typename Commands>
void appendTrack(std::string& text, int bytes, Draws& d, Commands commands) {
  for (int line = 0; static_cast<int>(text.size()) < bytes; ++line) {
    if (line % 97 == 96) text += "\r\n\t";
    text += std::to_string(line * 25) + "," + commands(d, line) + "\r\n";
  }
}

// The macro route's head: notes, definitions, values and words used further down.
const char macroHeader[] =
    "#notes<>\r\n"
    "Benchmark line in the macro language, generated for measuring the route passes.\r\n"
    "#endnotes<>\r\n"
    "#version<1>\r\n"
    "#definemacro<station>.Sta #endmacro<>\r\n"
    "#definemacro<gantry>.FreeObj 0;5;0;0;0,.Pole 0;1;0;1;0,#endmacro<>\r\n"
    "#definerndset<trees,10,11,12,13,14,endlisting>\r\n"
    "#setvalue<minute,0>\r\n"
    "#setvalue<speed,#rnd<60,140>>\r\n"
    "#setvalue<cant,#rnd25<0,100>>\r\n"
    "#setvalue<grade,#rnd<-5,5>>\r\n"
    "#setvalue<aspects,3>\r\n"
    "#setvalue<section,0>\r\n"
    "#setword<prefix,S>\r\n"
    "With Route\r\n"
    ".Comment Benchmark line in the macro language\r\n"
    ".RunInterval #rnd<180,300>\r\n"
    ".Accuracy #if<#train<Local>>1#else<>3#endif<>\r\n"
    ".Adhesion #rnd<80,120>\r\n"
    "\r\n"
    "With Train\r\n"
    ".Folder Local\r\n"
    "\r\n"
    "With Track\r\n";

// The file that the macro route includes a few times: plain track with a few values in it.
const char sidings[] =
    "; sidings, included\r\n"
    "0,.Rail 2;3.8;0;1,.FreeObj 0;12;-4.5;0.0;0,\r\n"
    "25,.Curve #mul<#value<cant>,4>;0,\r\n"
    "50,.Rail 2;7.6;0;1,\r\n"
    "75,.Limit 40;0;0,.FreeObj 1;14;4.5;0.0;0,\r\n"
    "100,.RailEnd 2,\r\n";

// One line (or a few) of macro commands at track position `position`; they take turns.
std::string macroLines(int position, int turn) {
  std::string at = std::to_string(position) + ",";
  switch (turn % 9) {
    case 0:
      return at + "#macro<station>" + stationNames[turn / 9 % 8] + ";;#time<8,#value<minute>,0>;;0;0;;;30;100;,\r\n" +
             "#setvalue<minute,#add<#value<minute>,2>>\r\n";
    case 1: return at + ".Curve #rnd<400,900>;#mul<#value<cant>,2>,\r\n";
    case 2:
      return "#if<#greater<#value<speed>,#rnd<60,120>>>" + at + ".Limit 120;0;0,#elseif<#chance<50>>" + at +
             ".Limit 100;0;0,#else<>" + at + ".Limit 80;0;0,#endif<>\r\n";
    case 3: return at + ".Pitch #sub<#value<grade>,1>,\r\n";
    case 4:
      return "#if<#equal<#value<section>,0>>\r\n" + at + ".Wall 0;1;2,\r\n" + at + ".Ground 2,\r\n#else<>\r\n" + at +
             ".Wall 0;-1;3,\r\n" + at + ".Ground 1,\r\n#endif<>\r\n";
    case 5: return at + ".Signal #dv<aspects,1>;#word<prefix>" + std::to_string(turn) + ";2.2;0;1,\r\n";
    case 6: return at + ".FreeObj 0;#rndset<trees>;#div<#rnd<-90,-30>,10>;0;0,\r\n";
    case 7: return "#setvalue<section,#less<#value<section>,1>>\r\n";
    default: return at + "#macro<gantry>\r\n";
  }
}

const char repeatSection[] =
    "#setvalue<loop,0>\r\n"
    "#repeat<>\r\n"
    "#setvalue<loop,#add<#value<loop>,1>>\r\n"
    "0,.FreeObj 0;7;#mul<#value<loop>,3>;0;0,\r\n"
    "#if<#equal<#value<loop>,4>>#breakrepeat<>#endif<>\r\n"
    "#endrepeat<>\r\n";

constexpr int includeCount = 4;

const char signalSystem[] =
    "Semaphores\r\n"
    "Lower-quadrant semaphore signals, each written with a random arm type.\r\n"
    "#end#\r\n"
    "#speeds#\r\n"
    ".Limit 40;0;0,\r\n"
    "#end#\r\n"
    "#signaldef#\r\n"
    "\xA7s\xA7" "a\xA7p\xA7n#rnd<1,2>\xA7p\xA7x\xA7p\xA7y\xA7p\xA7t\xA7" "e\r\n"
    "#end#\r\n"
    "#relaydef#\r\n"
    "\xA7r\xA7x\xA7p\xA7y\xA7" "e\r\n"
    "#end#\r\n";

// Every starting option that rewrites route text switched on; the simulator's own signals.
const char startingOptions[] =
    "c:\\zelvik\n"
    "c:\\zelvik\\railway\\route\n"
    "c:\\zelvik\\train\n"
    "0 1 1 1 1 1\n"
    "651 30 30 240\n"
    "654 20\n"
    "Zelvik default";

bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

std::string csvRoute(int bytes) {
  Draws d;
  std::string text = csvHeader;
  appendTrack(text, bytes, d, csvTrackCommands);
  return text;
}

std::string rwRoute(int bytes) {
  Draws d;
  std::string text =
      "; Benchmark line, generated for measuring the route passes\r\n"
      "[Route]\r\n"
      "Comment=Benchmark line in the rw form.\r\n"
      "DeveloperID=11111111\r\n"
      "Gauge=1435\r\n"
      "\r\n"
      "[Train]\r\n"
      "File=Regional\r\n"
      "Velocity=100\r\n"
      "Interval=300\r\n"
      "\r\n"
      "[Railway]\r\n";
  appendTrack(text, bytes, d, rwTrackCommands);
  return text;
}

std::string macroRoute(int bytes) {
  Draws d;
  std::string text = macroHeader;
  int lines = 0;
  int turn = 0;
  int includes = 0;
  bool repeated = false;
  while (static_cast<int>(text.size()) < bytes) {
    int position = lines * 25;
    if (lines % 50 == 49) {
      text += macroLines(position, turn++);
    } else if (includes < includeCount && static_cast<long long>(text.size()) * includeCount >
                                              static_cast<long long>(bytes) * includes + bytes / 8) {
      text += "#include<parts\\sidings.txt>\r\n";
      includes++;
    } else if (!repeated && static_cast<int>(text.size()) > bytes / 2) {
      text += repeatSection;
      repeated = true;
    } else {
      text += std::to_string(position) + "," + csvTrackCommands(d, lines) + "\r\n";
    }
    lines++;
  }
  return text;
}

bool writeBenchFolder(const std::string& folder, int bytes) {
  namespace fs = std::filesystem;
  const fs::path base(folder);
  std::error_code error;
  fs::create_directories(base / "parts", error);
  fs::create_directories(base / "semaphore", error);
  return writeFile(base / "bench.csv", csvRoute(bytes)) && writeFile(base / "bench.rw", rwRoute(bytes)) &&
         writeFile(base / "bench.klf", macroRoute(bytes)) && writeFile(base / "parts" / "sidings.txt", sidings) &&
         writeFile(base / "semaphore" / "sigsys.txt", signalSystem) && writeFile(base / "bench.cfg", startingOptions);
}

}  // namespace bench
