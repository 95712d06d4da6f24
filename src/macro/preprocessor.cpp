// The preprocessor: notes blocks removed, includes replaced by the files they name, macro
// definitions taken into the macro store and macro uses replaced by their bodies. Included text
// and bodies are inserted unscanned, so the passes repeat over their own output until one pass
// handles no include and no definition. Every other command is written back in canonical form
// (lower case, '<' and '>'); its arguments are copied like ordinary text and scanned in turn.
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "macro/keyword_table.h"
#include "macro/passes.h"
#include "macro/symbol_stores.h"
#include "text/text_buffer.h"

namespace {

constexpr int maxPasses = 100;
constexpr long long commandCost = 32;  // a command handled counts as this many characters read
constexpr int nameSize = 260;

// The state of one pass over one source.
struct PreprocessPass {
  TextBuffer& source;
  TextBuffer& output;
  const char* sourcePath;
  bool expanded = false;  // an include or a macro definition was handled
  bool failed = false;    // a command error was reported
};

// "include<": the name is taken relative to the folder of this pass's source (the program's
// folder for every pass after the first, whose source is "klv2.tmp").
void includeFile(PreprocessPass& pass) {
  char name[nameSize];
  readArgument(pass.source, name, nameSize);
  const char* slash = std::strrchr(pass.sourcePath, '\\');
  const char* otherSlash = std::strrchr(pass.sourcePath, '/');
  if (!slash || (otherSlash && otherSlash > slash)) slash = otherSlash;
  std::string path(pass.sourcePath, slash ? static_cast<std::size_t>(slash - pass.sourcePath + 1) : 0);
  path += name;
  pass.expanded = true;
  TextBuffer included(path.c_str());
  if (!included.isValid()) {
    showError("#include command, file not found.", path.c_str());
    pass.failed = true;
    return;
  }
  if (included.endsEarly()) {
    showError(sourceEndsEarlyText, path.c_str());
    pass.failed = true;
    return;
  }
  static constexpr RunStops noStops("");
  for (;;) {
    pass.output.copyRun(included, noStops, INT_MAX);
    int c = included.getChar();
    if (c == -1) break;
    pass.output.putChar(c);
  }
}

// "notes<>": everything up to and including the next "endnotes<>" is dropped.
void dropNotes(PreprocessPass& pass) {
  for (int c = pass.source.getChar(); c != -1; c = pass.source.getChar()) {
    if (c == '#' && matchCommand(pass.source, cmdEndNotes, false) == cmdEndNotes) return;
  }
}

// "definemacro<": the body runs from behind the name's bracket to "endmacro<>", at most 8190
// characters; the character read when the body is full is lost and the rest stays source text.
void defineMacro(PreprocessPass& pass) {
  char name[nameSize];
  readArgument(pass.source, name, nameSize);
  if (std::strlen(name) > maxNameLength) {
    showError("#definemacro command, too long macro name.", name);
    pass.failed = true;
    return;
  }
  int slot = findOrClaimSlot(symbolStores.macros, name);
  if (slot < 0) {
    showError("#definemacro command, no macro with specified name and all macros already used.", name);
    pass.failed = true;
    return;
  }
  char* body = symbolStores.macros[slot].body;
  std::memset(body, 0, sizeof symbolStores.macros[slot].body);
  int stored = 0;
  for (int c = pass.source.getChar(); c != -1; c = pass.source.getChar()) {
    if (stored >= maxMacroBody) break;
    if (c == '#' && matchCommand(pass.source, cmdEndMacro, false) == cmdEndMacro) break;
    body[stored++] = static_cast<char>(c);
  }
  pass.expanded = true;
}

// "macro<": the body, unscanned. A name not yet defined is written back for the next pass when
// this pass already expanded something; otherwise the macro does not exist.
void useMacro(PreprocessPass& pass) {
  char name[nameSize];
  readArgument(pass.source, name, nameSize);
  int slot = findSlot(symbolStores.macros, name);
  if (slot >= 0) {
    pass.output.putText(symbolStores.macros[slot].body);
  } else if (pass.expanded) {
    char command[nameSize + 16];
    std::snprintf(command, sizeof command, "#%s%s%c", commandKeyword(cmdMacro), name, '>');
    pass.output.putText(command);
  } else {
    showError("#macro command, macro with such name doesn't exist.", name);
    pass.failed = true;
  }
}

void handleCommand(PreprocessPass& pass, int command) {
  switch (command) {
    case cmdInclude: includeFile(pass); break;
    case cmdNotes: dropNotes(pass); break;
    case cmdDefineMacro: defineMacro(pass); break;
    case cmdMacro: useMacro(pass); break;
    case noCommand: pass.output.putChar('#'); break;
    default:
      pass.output.putChar('#');
      pass.output.putText(commandKeyword(command));
      break;
  }
}

enum class PassResult { Failed, Done, Again };

// One pass from `sourcePath` into "klv.tmp", which is written also after a command failed. Kept
// out of line, so that a profile shows each pass as one call.
// `charactersRead` grows by the length of the source and the cost of its commands.
[[gnu::noinline]] PassResult runPass(const char* sourcePath, WindowHandle progressBar, long long& charactersRead) {
  std::unique_ptr<TextBuffer> source(new TextBuffer(sourcePath));
  if (!source->isValid()) {
    showError("Unable to open source file for pre-processing.", sourcePath);
    return PassResult::Failed;
  }
  if (source->endsEarly()) {
    showError(sourceEndsEarlyText, sourcePath);
    return PassResult::Failed;
  }
  std::unique_ptr<TextBuffer> output(new TextBuffer(passOutputSize));
  if (!output->isValid()) {
    showError("Unable to open destination file for pre-processing.", preprocessedFile);
    return PassResult::Failed;
  }
  const RunStops& commandStart = commandRunStops();
  PreprocessPass pass{*source, *output, sourcePath};
  ProgressReporter progress{progressBar};
  int length = source->getLength();
  charactersRead += length;
  while (!pass.failed) {
    output->copyRun(*source, commandStart, progress.samePercentUntil - 1);
    int c = source->getChar();
    if (c == -1) break;
    if (c == '#') {
      charactersRead += commandCost;
      handleCommand(pass, matchCommand(*source, -1, false));
    } else {
      output->putChar(c);
    }
    progress.update(source->getPosition(), length);
  }
  source.reset();

  deleteFile(preprocessedFile);
  if (!output->saveAs(preprocessedFile)) {
    showError("Unable to write destination file for pre-processing.", preprocessedFile);
    return PassResult::Failed;
  }
  if (pass.failed) return PassResult::Failed;
  if (output->wasCut()) {
    showError("Pre-processing, the route is longer than 1048576 characters.", sourcePath);
    return PassResult::Failed;
  }
  return pass.expanded ? PassResult::Again : PassResult::Done;
}

}  // namespace

bool preprocessRoute(const char* sourcePath, WindowHandle progressBar) {
  const char* passSource = sourcePath;
  long long charactersRead = 0;
  for (int passes = 1;; ++passes) {
    PassResult result = runPass(passSource, progressBar, charactersRead);
    if (result == PassResult::Failed) return false;
    if (result == PassResult::Done) return true;
    // A file that includes itself would expand for ever, and one that grows with each pass would
    // take long before the pass count stops it.
    if (passes == maxPasses || charactersRead > maxCharactersRead) {
      showError("#include command, too many nested includes or macro definitions.", sourcePath);
      return false;
    }
    deleteFile(intermediateFile);
    if (!renameFile(preprocessedFile, intermediateFile)) {
      showError("Unable to write destination file for pre-processing.", intermediateFile);
      return false;
    }
    passSource = intermediateFile;
  }
}
