// The signal-system catalogue over a sigsys.txt of any content, beside a well-formed system.
// Input: a byte choosing the system asked for (the fuzzed one, the well-formed one, none, or a
// name from the next 16 bytes), a byte choosing the size of the description buffer, the 16 bytes,
// then the file.
// Properties: names and folders keep to 15 characters; the description keeps to its buffer and
// breaks its lines with CR LF; the folder found is the last one listed with the name; loading
// succeeds exactly when a system carries the name and its file reads whole, says why otherwise, keeps each text within
// 2047 characters and lets no section keyword into a text; loading twice gives the same texts.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "signals/signal_catalog.h"
#include "state/app_state.h"

namespace fuzzing {

namespace {

const int describeSizes[] = {1, 2, 3, 4, 16, 128, 512, 513};
const char wellFormed[] = "Std\r\nStandard signals.\r\n#end#\r\n#speeds#\r\n.Limit 40\r\n#end#\r\n";

bool holdsSectionKeyword(const char* text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* k : {"#end#", "#speeds#", "#signaldef#", "#relaydef#"}) {
    if (lower.find(k) != std::string::npos) return true;
  }
  return false;
}

void checkDescription(int size) {
  std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(size)]);
  describeSignalSystem(buffer.get(), size);
  std::size_t length = strnlen(buffer.get(), static_cast<std::size_t>(size));
  check(length < static_cast<std::size_t>(size), "the description keeps to its buffer");
  for (std::size_t i = 0; i < length; ++i) {
    if (buffer[i] == '\n') check(i > 0 && buffer[i - 1] == '\r', "description lines end in CR LF");
  }
}

struct Texts {
  bool ok;
  std::string speeds, signaldef, relaydef;
};

Texts load(const std::string& name) {
  MessageLog log;
  bool ok = loadSignalSystemDefs();
  for (const char* text : {speeds, signaldef, relaydef}) {
    check(text[signalTextSize - 1] == '\0', "a definition text holds at most 2047 characters");
    check(!holdsSectionKeyword(text), "no section keyword stands in a definition text");
  }
  std::vector<std::string> expected;
  if (!ok) expected.push_back("Could not load signal system:\n\n" + name);
  check(log.texts == expected, "loading fails exactly with its message");
  return {ok, speeds, signaldef, relaydef};
}

}  // namespace

int fuzzSignalSystem(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const unsigned choice = in.byte() % 4;
  const int describeSize = describeSizes[in.byte() % 8];
  char ownName[16];
  for (char& c : ownName) c = static_cast<char>(in.byte());
  const std::string file = in.rest();

  std::filesystem::create_directories("sys");
  std::filesystem::create_directories("std");
  writeFile("sys/sigsys.txt", file);
  writeFile("std/sigsys.txt", wellFormed);

  std::vector<SignalSystemEntry> entries = scanSignalSystems();
  std::string fuzzedName;
  for (const SignalSystemEntry& entry : entries) {
    check(entry.name.size() <= 15 && entry.folder.size() <= 15, "names and folders keep to 15 characters");
    if (entry.folder == "sys") fuzzedName = entry.name;
  }
  std::memset(appState.signalSystem, 0, sizeof appState.signalSystem);
  const char* names[] = {fuzzedName.c_str(), "Std", "nosuch"};
  if (choice < 3) {
    std::snprintf(appState.signalSystem, sizeof appState.signalSystem, "%s", names[choice]);
  } else {
    std::memcpy(appState.signalSystem, ownName, sizeof appState.signalSystem);  // need not be terminated
  }
  const std::string chosen(appState.signalSystem, strnlen(appState.signalSystem, sizeof appState.signalSystem));

  checkDescription(describeSize);
  std::string lastFolder;
  for (const SignalSystemEntry& entry : entries) {
    if (entry.name == chosen) lastFolder = entry.folder;
  }
  bool found = findSignalSystemFolder();
  check(signalSystemFolder[signalNameSize - 1] == '\0', "the folder name is terminated");
  check(found == !lastFolder.empty() && lastFolder == signalSystemFolder, "the folder found is the last one listed");

  Texts first = load(chosen);
  const bool cut = lastFolder == "sys" && file.find_first_of(std::string("\0\xFF", 2)) != std::string::npos;
  check(first.ok == (found && !cut), "loading succeeds exactly when a system carries the name and its file is whole");
  Texts second = load(chosen);
  check(first.speeds == second.speeds && first.signaldef == second.signaldef && first.relaydef == second.relaydef,
        "loading twice gives the same texts");
  return 0;
}

}  // namespace fuzzing
