// The exchange of a signal system's bitmaps with the simulator's own files of the same names, and
// its undoing. While a system is engaged the swap record "sigswap.klv" in the program's folder
// holds the system's folder name (nothing else, no line end), and the journal "sigswap.jnl" beside
// it names the simulator's folder, the system's folder and every pair exchanged; the simulator's
// folder then holds the system's files and the system's folder holds the simulator's.
//
// The simulator's bitmaps exist nowhere else, so no file is ever deleted or renamed onto another:
// each pair moves through the parking name "tempswap.bmp" in three renames, and before the renames
// the journal says how far the current pair may have come. The journal and the record are
// written whole or not at all, and reach the disk before the renames they allow, so a run that
// dies or loses its power anywhere is finished or rolled back at the next start. A rename that
// fails is undone at once. One process at a time moves files: the exchange holds the lock
// "sigswap.lck" in the program's folder. Messages are shown once the lock is released.
#pragma once

// Nothing when appState.swapSignals is false. Otherwise loads the definition texts of the chosen
// system and engages it; after "Could not load signal system:" nothing is exchanged.
void prepareSignalSystem();

// Restores whatever is engaged, then exchanges every signal file of the folder signalSystemFolder
// with the simulator's and records it. A signal file is a file of that folder whose name begins
// with "signal" or "relay" (any case) and whose name is also a file in appState.simFolder. Stops at
// the first pair that cannot be exchanged, with a message: that pair stays as it was, the pairs
// before it stay engaged and recorded. Engages nothing while an earlier engagement could not be
// restored, and records nothing for a system without pairs.
void engageSignalSystem();

// Puts back the simulator's own files of the pairs the journal names, in the simulator folder of
// the engagement: first settles a pair that an earlier run left in the middle of its exchange,
// then exchanges back every pair it can. A pair whose files are no longer where the exchange left
// them (one deleted, another in the way) is named in a message and left as it is; a pair whose
// rename fails stays recorded, and the next start tries again. A record without a journal, from
// an earlier version, restores every pair its folder lists. Nothing when nothing is engaged.
void restoreDefaultSignals();

// Exchanges the contents of files a and b through "tempswap.bmp". A file found under that name is
// first moved to the free name "tempswap<n>.bmp" and reported, never deleted. When a rename fails
// the renames made are reversed, so both files stand as they were; the result is then false.
bool swapSignalFile(const char* a, const char* b);
