// The preparation of a route in the simulator's rw format: the source is copied to
// appState.rwOutPath without its comments, with the train file, velocity, interval and developer
// id rewritten before the [Railway] section, starter aspects and curve cants after it and, with
// a custom signal system, every signal and relay command written from the system's templates.
#pragma once

#include "platform/platform.h"

class TextBuffer;

// Rewrites the rw route at `sourcePath` into appState.rwOutPath, reporting the share of the
// source read to the progress bar. The old prepared route is deleted first. False, after its own
// message, when the source cannot be read or the prepared route cannot be written whole; no
// prepared route exists then.
bool rewriteRwRoute(const char* sourcePath, WindowHandle progressBar);

// Recognises a keyword of the rw group beginning with the character just read: the first entry
// (in table order; only the @-commands 5..10 when railwayOnly) whose text the characters from
// there spell, letters in either case. Returns its index with the position after it, or -1 with
// the position just after the character in hand.
int matchRwKeyword(TextBuffer& source, bool railwayOnly);
