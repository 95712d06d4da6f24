// The operating system as Klevane sees it: whole files, text files, folders, the message box,
// the progress bar, GDI handles and the start of another program. This layer is the only code
// that includes windows.h or POSIX headers; everything above it is the same on every platform.
//
// Names of files reach this layer as the program formats them: routes and klv.cfg use Windows
// paths (a backslash between folder and file). Outside Windows a backslash in a name is taken as
// a slash when the file is opened, so route authors' `parts\a.txt` is found everywhere.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

using WindowHandle = void*;  // HWND in the Windows build
using GdiHandle = void*;     // HBRUSH or HBITMAP in the Windows build; always null elsewhere

#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

// ---- Files ---------------------------------------------------------------------------------

// The name as the operating system wants it: backslashes become slashes outside Windows.
std::string nativePath(const char* path);

// Reads a whole file into a new zero-filled block of its size plus `spare` bytes (freed by the
// caller with std::free) and stores the size. Null when the file cannot be opened, is larger
// than INT_MAX - spare bytes, memory runs out or fewer bytes arrive than the file's size.
char* loadWholeFile(const char* path, int spare, int* size);

// Creates or truncates the file and writes `length` bytes. True only when every byte was written
// and the file was closed without error.
bool saveWholeFile(const char* path, const char* data, std::size_t length);

// True when the path names a file that can be opened for reading (a folder is not a file).
bool fileExists(const char* path);

// True when the path names a file (not a folder), whether or not it can be opened: a file held
// open by another program, or one without read permission, is present without existing.
bool filePresent(const char* path);

// True when the path names a folder that can be listed.
bool folderExists(const char* path);

// Deletes a file. False when it could not be deleted (a missing file included).
bool deleteFile(const char* path);

// Renames a file. Never replaces an existing `to`: then, as on failure, it returns false and both
// files stay as they were. On Windows the new name is on the disk when it returns.
bool renameFile(const char* from, const char* to);

// Puts `from` in the place of `to` in one step, replacing `to` when it exists: at any moment the
// name `to` holds the old file or the new one, whole, never a mix or nothing. False when it could
// not be done; both files then stay as they were. For files that are rewritten whole (klv.cfg):
// write the new contents beside the file, then replace it.
bool replaceFile(const char* from, const char* to);

// Writes the file whole or not at all: the bytes go to `path` + ".new", reach the disk, and take
// the place of `path` in one step (replaceFile). False when that could not be done; `path` then
// holds what it held, and the ".new" file is deleted when it can be.
bool saveFileInOneStep(const char* path, const char* data, std::size_t length);

// Fault injection for tests. The operations that change the disk (saveWholeFile, deleteFile,
// renameFile, replaceFile, and writeTextFile through saveWholeFile) are counted from the moment a
// fault is set. The one numbered failAt (1 for the first) fails without touching the disk, and so
// do the next count - 1; with `kill`, every later one fails too, as if the process had died
// there. With `keep` 0 or more, the failing operation, when it writes a file, writes the first
// `keep` bytes before it fails: a write cut short. failAt 0 only counts.
struct FileFault {
  int failAt;
  bool kill;
  int count = 1;
  bool denied = false;  // the failures are refusals of the rights to write
  int keep = -1;
};
void setFileFaultHook(FileFault fault);
int fileOperationCount();  // operations counted since the fault was set

// Whether the system refused an operation that changes the disk for lack of rights (as it does
// under Program Files to a program without administrator rights) since the last call. The message
// that names the folder, and what to do:
bool takeRightsRefused();
inline constexpr char rightsRefusedText[] =
    "Windows does not let Klevane write in this folder.\r\nStart Klevane as administrator, or keep the simulator "
    "outside Program Files:";

// A lock shared by the processes of the machine, held through the file `path`: while one process
// holds it, lockFile in another waits, up to `waitMilliseconds`, and then gives null. The file is
// deleted when the lock is released; a process that dies releases its locks. A refusal of the
// rights to create the file gives null at once, noted for takeRightsRefused.
struct FileLock;
FileLock* lockFile(const char* path, int waitMilliseconds);
void unlockFile(FileLock* lock);

// fopen with the native path; `mode` as for fopen ("rt" and "wt" translate line ends on Windows).
FILE* openFile(const char* path, const char* mode);

// Reads a text file whole; CR LF and bare LF line ends both arrive as "\n". False when the file
// cannot be read.
bool readTextFile(const char* path, std::string& text);

// Writes a text file whole, "\n" becoming the platform's line end (CR LF on Windows). True only
// when everything was written.
bool writeTextFile(const char* path, const std::string& text);

// Folder listing in the manner of opendir/readdir. The entries come in the order the system gives,
// "." and ".." included.
struct FolderScan;
FolderScan* openFolder(const char* path);  // null when the folder cannot be listed
const char* nextFolderEntry(FolderScan* scan);  // null after the last entry
void closeFolder(FolderScan* scan);

// ---- Message box ---------------------------------------------------------------------------

// Styles and answers, with the values of the Windows message box.
enum MessageStyle : unsigned {
  mbOk = 0x0,
  mbYesNo = 0x4,
  mbIconError = 0x10,
  mbIconQuestion = 0x20,
  mbIconExclamation = 0x30,
  mbIconInformation = 0x40,
  mbTaskModal = 0x2000,
};
enum MessageAnswer : int { answerOk = 1, answerYes = 6, answerNo = 7 };

struct MessageBoxCall {
  WindowHandle owner;
  std::string caption;
  std::string text;
  unsigned style;
};

// A handler sees every message box instead of the user and gives the answer. Tests and the
// command-line tool install one; an empty handler restores the default, which is the real box
// on Windows and, elsewhere, a line on standard error answered with OK (or No for a question).
using MessageHandler = std::function<int(const MessageBoxCall&)>;
void setMessageHandler(MessageHandler handler);

// The default itself, for a handler that only watches the boxes go by.
int showDefaultMessageBox(const MessageBoxCall& call);

// Shows a message box (or hands it to the handler) and returns the answer.
int showMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned style);

// ---- Progress bar --------------------------------------------------------------------------

// A handler sees every progress report; without one the report goes to the progress bar window
// (PBM_SETPOS) on Windows and nowhere elsewhere.
using ProgressHandler = std::function<void(WindowHandle bar, int percent)>;
void setProgressHandler(ProgressHandler handler);
void setProgressPosition(WindowHandle bar, int percent);

// Reports the share of a source read so far, position * 100 / length truncated, to a progress
// bar; a report goes out only when the percentage differs from the last one sent, so a pass over
// a large route sends at most 101 reports. A pass calls update after every character: for a
// position that gives the last percentage again it costs two comparisons.
struct ProgressReporter {
  WindowHandle bar = nullptr;
  int lastPercent = -1;
  // For a source of `lengthSent` characters, the positions from `samePercentFrom` up to
  // `samePercentUntil` (not included) give lastPercent: reading up to there sends nothing.
  int samePercentFrom = 0;
  int samePercentUntil = 0;
  int lengthSent = -1;

  void update(int position, int length) {
    if (position < samePercentUntil && position >= samePercentFrom && length == lengthSent) return;
    send(position, length);
  }
  void send(int position, int length);
};

// ---- Combo box -----------------------------------------------------------------------------

// Adds a line to the list of a combo box (CB_ADDSTRING) and returns its index; a negative result
// when it could not be added, and always outside Windows, where there are no controls.
int comboAddString(WindowHandle combo, const char* text);

// Selects the line of the given index (CB_SETCURSEL); nothing outside Windows.
void comboSetSelection(WindowHandle combo, int index);

// ---- Memory --------------------------------------------------------------------------------

// Asks the C library to keep the memory that the program releases for its next requests instead
// of handing it back to the system: every pass of a build takes two blocks of a megabyte and
// releases them, and pages fresh from the system cost more than the pass's own work. Called once
// at the start of a program; nothing where the C library has no such setting.
void keepReleasedMemory();

// ---- Graphics and processes ------------------------------------------------------------------

// A solid GDI brush of the colour; null outside Windows.
GdiHandle createSolidBrush(int red, int green, int blue);

// Makes the folder of the running program the current directory: the program's files are there.
bool enterProgramFolder();

// Whether standard input is a terminal that a question can be asked on.
bool standardInputIsTerminal();

// Starts `program`, named by its path (never searched for), with a Windows-style command line
// (program path, then arguments; double quotes group a path with blanks) that it receives as it
// is; detached, without waiting for it. True when it was started.
bool startDetachedProcess(const char* program, const char* commandLine);
