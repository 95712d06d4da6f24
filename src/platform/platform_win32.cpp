// The platform layer on Windows: KERNEL32 files, the runtime's folder listing, USER32 message
// boxes, the common controls' progress bar, GDI brushes and CreateProcessA.
#include "platform/platform.h"

#include <windows.h>
#include <commctrl.h>
#include <io.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

std::string nativePath(const char* path) { return std::string(path ? path : ""); }

char* loadWholeFile(const char* path, int spare, int* size) {
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  char* block = nullptr;
  LARGE_INTEGER length;
  if (GetFileSizeEx(file, &length) && length.QuadPart <= INT_MAX - spare) {
    DWORD wanted = static_cast<DWORD>(length.QuadPart);
    block = static_cast<char*>(std::malloc(static_cast<std::size_t>(wanted) + spare));  // zeroed below
    DWORD got = 0;
    if (block && (!ReadFile(file, block, wanted, &got, nullptr) || got != wanted)) {
      std::free(block);  // fewer bytes than the file's size
      block = nullptr;
    }
    if (block) {
      std::memset(block + wanted, 0, static_cast<std::size_t>(spare));  // the file's bytes fill the rest
      *size = static_cast<int>(wanted);
    }
  }
  CloseHandle(file);
  return block;
}

bool saveWholeFileOs(const char* path, const char* data, std::size_t length) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < length) {
    DWORD chunk = static_cast<DWORD>(length - done > 0x40000000 ? 0x40000000 : length - done);
    DWORD put = 0;
    ok = WriteFile(file, data + done, chunk, &put, nullptr) && put == chunk;
    done += put;
  }
  if (!CloseHandle(file)) ok = false;
  return ok;
}

bool fileExists(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool filePresent(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const char* path) {
  FolderScan* scan = openFolder(path);
  if (!scan) return false;
  closeFolder(scan);
  return true;
}

bool deleteFileOs(const char* path) { return DeleteFileA(path) != 0; }

// Windows refuses a folder where a file is meant with the same error as missing rights.
bool lastOsFailureRefused(const char* path) {
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED && error != ERROR_WRITE_PROTECT && error != ERROR_PRIVILEGE_NOT_HELD) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Without MOVEFILE_REPLACE_EXISTING an existing target is refused. Written through, a rename is on
// the disk before anything written after it: a record of what was renamed never runs ahead of
// the renames after a power cut.
void noteRightsRefused();  // platform_common.cpp

bool renameFileOs(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0; }

// The new contents reach the disk before the name points at them, so that a power cut right after
// the move cannot leave an empty or partly written file under the name.
bool replaceFileOs(const char* from, const char* to) {
  HANDLE file = CreateFileA(from, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  return flushed && MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

struct FileLock {
  HANDLE file;
};

// Opened without sharing, the file keeps every other process out until it is closed, which the
// system does for a process that dies; it is deleted on that close.
FileLock* lockFile(const char* path, int waitMilliseconds) {
  for (DWORD start = GetTickCount();;) {
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) return new FileLock{file};
    // A file that its holder has just let go of is refused for a moment while it is deleted; a
    // refusal that lasts is one of rights.
    const DWORD error = GetLastError(), waited = GetTickCount() - start;
    if (error == ERROR_ACCESS_DENIED && waited >= 200) {
      noteRightsRefused();
      return nullptr;
    }
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return nullptr;
    if (waited >= static_cast<DWORD>(waitMilliseconds)) return nullptr;
    Sleep(10);
  }
}

void unlockFile(FileLock* lock) {
  if (!lock) return;
  CloseHandle(lock->file);
  delete lock;
}

FILE* openFile(const char* path, const char* mode) { return std::fopen(path, mode); }

struct FolderScan {
  intptr_t handle;
  _finddata_t entry;
  bool pending;  // the entry found by _findfirst has not been handed out yet
};

FolderScan* openFolder(const char* path) {
  std::string pattern(path);
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*.*";
  FolderScan* scan = new FolderScan;
  scan->handle = _findfirst(pattern.c_str(), &scan->entry);
  if (scan->handle == -1) {
    delete scan;
    return nullptr;
  }
  scan->pending = true;
  return scan;
}

const char* nextFolderEntry(FolderScan* scan) {
  if (scan->pending) {
    scan->pending = false;
    return scan->entry.name;
  }
  return _findnext(scan->handle, &scan->entry) == 0 ? scan->entry.name : nullptr;
}

void closeFolder(FolderScan* scan) {
  if (!scan) return;
  _findclose(scan->handle);
  delete scan;
}

int showDefaultMessageBox(const MessageBoxCall& call) {
  return MessageBoxA(static_cast<HWND>(call.owner), call.text.c_str(), call.caption.c_str(), call.style);
}

// Common controls 6 move a bar forwards step by step on a timer, which a build that is busy never
// lets run; a move backwards is drawn at once. So the bar goes one past the position and back (at
// 100, within a range made one longer for the moment), and is painted before the build goes on.
void sendProgressToBar(WindowHandle bar, int percent) {
  if (!bar) return;
  HWND window = static_cast<HWND>(bar);
  if (percent >= 100) SendMessageA(window, PBM_SETRANGE32, 0, 101);
  SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(percent + 1), 0);
  SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  if (percent >= 100) SendMessageA(window, PBM_SETRANGE32, 0, 100);
  UpdateWindow(window);
}

int comboAddString(WindowHandle combo, const char* text) {
  return static_cast<int>(SendMessageA(static_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void comboSetSelection(WindowHandle combo, int index) {
  SendMessageA(static_cast<HWND>(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

GdiHandle createSolidBrush(int red, int green, int blue) { return CreateSolidBrush(RGB(red, green, blue)); }

bool enterProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return false;
  char* slash = std::strrchr(path, '\\');
  if (!slash) return false;
  *slash = '\0';
  if (slash - path == 2) std::strcat(path, "\\");  // a drive root keeps its backslash
  return SetCurrentDirectoryA(path) != 0;
}

// A console answers GetConsoleMode; a file or pipe given as standard input does not.
bool standardInputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool startDetachedProcess(const char* program, const char* commandLine) {
  std::string line(commandLine);  // CreateProcessA may write into its command line
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  if (!CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void keepReleasedMemory() {}  // the C runtime's heap has no such setting
