// One preparation of the selected route, from the source file to "klvtemp.csv" or "klvtemp.rw"
// in the route folder: a macro run first for a route of the macro language, then the rewriting
// by the starting options, then, with a custom signal system, one more macro run so that the
// commands of the signal templates are evaluated. The outcome is left in appState.buildFailed
// and appState.outputIsCsv.
#pragma once

#include "platform/platform.h"

// Prepares "browseFolder\routeFile" by appState.routeKind (0 builds nothing). Every failing pass
// has shown its message; buildFailed is then set and outputIsCsv keeps its value.
void buildRoute(WindowHandle progressBar);

// One macro run over a file into csvOutPath (toCsv) or rwOutPath, with fresh symbol stores.
// On success "klv.tmp" and "klv2.tmp" are removed; on failure the general message follows the
// pass's own and the temporary files stay.
bool runMacroPasses(const char* sourcePath, WindowHandle progressBar, bool toCsv);

// Whether the file holds ".folder" anywhere, in any case (a route of the macro language with it
// becomes a csv route). A file that cannot be opened counts as holding it.
bool hasFolderCommand(const char* path);
