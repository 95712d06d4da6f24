#include "state/start_log.h"

#include <cstdio>
#include <ctime>
#include <sstream>
#include <vector>

namespace {

constexpr std::size_t keptStarts = 200;

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::vector<std::string> logLines(const char* path) {
  std::vector<std::string> lines;
  std::string text;
  if (!readTextFile(path, text)) return lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::string startLogLine(const StartRecord& r) {
  const StartOptions& o = r.options;
  char options[120];
  std::snprintf(options, sizeof options, "%d %d %d %d %d %d / %d %d %d %d / %d %d", o.developerMode,
                o.randomTrackQuality, o.randomStationWait, o.randomStationJam, o.randomStarterAspect, o.tiltingTrain,
                o.intervalMode, o.intervalSpread, o.intervalMin, o.intervalMax, o.adhesionMode, o.adhesionSpread);
  return oneLine(r.time) + "\t" + oneLine(r.route) + "\t" + oneLine(r.train) + "\t" + oneLine(r.signalSystem) + "\t" +
         options + "\t" + std::to_string(r.seed) + "\t" + (r.answers.empty() ? "-" : oneLine(r.answers)) + "\t" +
         oneLine(r.outcome);
}

bool parseStartLogLine(const std::string& line, StartRecord& r) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  if (fields.size() != 8) return false;
  StartOptions& o = r.options;
  char rest = 0;
  if (std::sscanf(fields[4].c_str(), "%d %d %d %d %d %d / %d %d %d %d / %d %d%c", &o.developerMode,
                  &o.randomTrackQuality, &o.randomStationWait, &o.randomStationJam, &o.randomStarterAspect,
                  &o.tiltingTrain, &o.intervalMode, &o.intervalSpread, &o.intervalMin, &o.intervalMax,
                  &o.adhesionMode, &o.adhesionSpread, &rest) != 12) {
    return false;
  }
  unsigned long seed = 0;
  if (std::sscanf(fields[5].c_str(), "%lu%c", &seed, &rest) != 1) return false;
  if (fields[6].find_first_not_of("yn-") != std::string::npos) return false;
  r.time = fields[0], r.route = fields[1], r.train = fields[2], r.signalSystem = fields[3];
  r.seed = static_cast<std::uint32_t>(seed);
  r.answers = fields[6] == "-" ? "" : fields[6];
  r.outcome = fields[7];
  return true;
}

bool appendStartLog(const StartRecord& record, const char* path) {
  std::vector<std::string> lines = logLines(path);
  lines.push_back(startLogLine(record));
  std::string text;
  for (std::size_t i = lines.size() > keptStarts ? lines.size() - keptStarts : 0; i < lines.size(); ++i) {
    text += lines[i] + "\n";
  }
  const std::string fresh = std::string(path) + ".new";
  if (writeTextFile(fresh.c_str(), text) && replaceFile(fresh.c_str(), path)) return true;
  deleteFile(fresh.c_str());
  return false;
}

bool readStartLog(int newest, StartRecord& record, const char* path) {
  const std::vector<std::string> lines = logLines(path);
  if (newest < 1 || static_cast<std::size_t>(newest) > lines.size()) return false;
  return parseStartLogLine(lines[lines.size() - static_cast<std::size_t>(newest)], record);
}

std::string localTimeText() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}
