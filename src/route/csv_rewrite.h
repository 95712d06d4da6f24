// The preparation of a route in the simulator's csv format: the source is copied to
// appState.csvOutPath with the starting options applied to the commands they concern (train
// folder, track accuracy, adhesion, stations, train interval, developer id, curve cant) and, with
// a custom signal system, every signal and relay command written from the system's templates.
#pragma once

#include "platform/platform.h"

class TextBuffer;

// Rewrites the csv route at `sourcePath` into appState.csvOutPath, reporting the share of the
// source read to the progress bar. The old prepared route is deleted first. False, after its own
// message, when the source cannot be read or the prepared route cannot be written whole; no
// prepared route exists then.
bool rewriteCsvRoute(const char* sourcePath, WindowHandle progressBar);

// Recognises a command keyword of the csv group at the read position, just after a '.': the
// first entry (in table order) whose text the following characters spell, letters in either
// case. Returns its index 0..11 with the position after it, or -1 with the position unchanged.
int matchCsvKeyword(TextBuffer& source);
