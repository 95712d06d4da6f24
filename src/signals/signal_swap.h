// The exchange of a signal system's bitmaps with the simulator's own files of the same names, and
// its undoing. While a system is engaged the swap record "sigswap.klv" in the program's folder
// holds the system's folder name (nothing else, no line end); the simulator's folder then holds
// the system's files and the system's folder holds the simulator's.
//
// The simulator's bitmaps exist nowhere else, so no file is ever deleted or renamed onto another:
// each pair moves through the parking name "tempswap.bmp" in three renames, and before every
// rename the journal "sigswap.jnl" beside the record says which pairs are exchanged and how far
// the current one has come. A run that dies between two renames is finished or rolled back at the
// next start; a rename that fails is undone at once.
#pragma once

// Nothing when appState.swapSignals is false. Otherwise loads the definition texts of the chosen
// system and engages it; after "Could not load signal system:" nothing is exchanged.
void prepareSignalSystem();

// Restores whatever is engaged, then exchanges every signal file of the folder signalSystemFolder
// with the simulator's and writes the swap record. A signal file is a file of that folder whose
// name begins with "signal" or "relay" (any case) and whose name is also a file in
// appState.simFolder. Stops at the first pair that cannot be exchanged, with a message: that pair
// stays as it was, the pairs before it stay engaged and recorded. Engages nothing while an
// earlier engagement could not be restored.
void engageSignalSystem();

// Puts back the simulator's own files: first settles a pair that an earlier run left in the
// middle of its exchange, then exchanges back every pair still exchanged. The record and the
// journal go only when every pair is back; otherwise a message names the file that could not be
// restored, and the next start tries again. Nothing when nothing is engaged.
void restoreDefaultSignals();

// Exchanges the contents of files a and b through "tempswap.bmp". A file found under that name is
// first moved to the free name "tempswap<n>.bmp" and reported, never deleted. When a rename fails
// the renames made are reversed, so both files stand as they were; the result is then false.
bool swapSignalFile(const char* a, const char* b);
