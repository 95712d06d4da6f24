// The two passes of a macro run. The preprocessor expands includes and macros into "klv.tmp"
// (passing through "klv2.tmp" between its expansion cycles); the processor reads "klv.tmp" once
// and writes the finished route: conditions, repeats and definitions carried out, inline
// commands replaced by their results. Both files lie in the working folder, the program's own.
#pragma once

#include "platform/platform.h"

constexpr const char* preprocessedFile = "klv.tmp";
constexpr const char* intermediateFile = "klv2.tmp";

// Expands the source into "klv.tmp", in as many passes as includes and macro definitions need
// (at most 100, reading at most maxCharactersRead characters in all). False after showing a
// message when a file, an include, a macro definition or use fails, or when the result would be
// cut.
bool preprocessRoute(const char* sourcePath, WindowHandle progressBar);

// Processes "klv.tmp" into the destination, which is removed first and written only on success.
// False after showing a message when a command fails, a repeat section runs away or the result
// would be cut.
bool processRoute(const char* destinationPath, WindowHandle progressBar);

// Bounds of one processing call: jumps back to a repeat section's start, and characters read
// in all (a section read again counts again, and each command in it, and each inline command
// evaluated in its arguments, counts as many characters as repeatedCommandCost). A repeat
// section that reaches them fails the run, and so, at once, does one whose output no longer
// fits: every bad route is answered within a second. The preprocessor's passes read at most
// maxCharactersRead characters in all, too.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr long long maxRepeatJumps = 15625;
constexpr long long maxCharactersRead = 262144;
#else
constexpr long long maxRepeatJumps = 1000000;
constexpr long long maxCharactersRead = 16LL * 1048576;
#endif
constexpr long long repeatedCommandCost = 256;
