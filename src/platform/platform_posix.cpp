// The platform layer outside Windows (Linux): POSIX files and folders, messages to a handler or
// standard error, no progress bar and no GDI.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <spawn.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

std::string nativePath(const char* path) {
  std::string native(path ? path : "");
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

char* loadWholeFile(const char* path, int spare, int* size) {
  int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  char* block = nullptr;
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= INT_MAX - spare) {
    std::size_t length = static_cast<std::size_t>(info.st_size);
    block = static_cast<char*>(std::malloc(length + static_cast<std::size_t>(spare)));  // zeroed below
    std::size_t done = 0;
    while (block && done < length) {
      ssize_t got = ::read(fd, block + done, length - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {  // fewer bytes than the file's size
        std::free(block);
        block = nullptr;
        break;
      }
      done += static_cast<std::size_t>(got);
    }
    if (block) {
      std::memset(block + length, 0, static_cast<std::size_t>(spare));  // the file's bytes fill the rest
      *size = static_cast<int>(length);
    }
  }
  ::close(fd);
  return block;
}

bool saveWholeFileOs(const char* path, const char* data, std::size_t length) {
  int fd = ::open(nativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (done < length) {
    ssize_t put = ::write(fd, data + done, length - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

bool fileExists(const char* path) {
  int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool isFile = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  ::close(fd);
  return isFile;
}

bool filePresent(const char* path) {
  struct stat info;
  return ::stat(nativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool folderExists(const char* path) {
  DIR* dir = ::opendir(nativePath(path).c_str());
  if (!dir) return false;
  ::closedir(dir);
  return true;
}

bool deleteFileOs(const char* path) {
  std::string native = nativePath(path);
  struct stat info;
  if (::lstat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return ::unlink(native.c_str()) == 0;
}

bool lastOsFailureRefused(const char*) { return errno == EACCES || errno == EPERM || errno == EROFS; }

bool renameFileOs(const char* from, const char* to) {
  std::string source = nativePath(from);
  std::string target = nativePath(to);
  // renameat2 with RENAME_NOREPLACE refuses an existing target atomically, as the Windows
  // rename does; on a file system without it, check first.
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  struct stat info;
  if (::lstat(target.c_str(), &info) == 0) return false;
  return ::rename(source.c_str(), target.c_str()) == 0;
}

bool replaceFileOs(const char* from, const char* to) {
  std::string source = nativePath(from);
  // The new contents reach the disk before the name points at them, so that a crash of the
  // system right after the rename cannot leave an empty file under the name.
  int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced && ::rename(source.c_str(), nativePath(to).c_str()) == 0;
}

void noteRightsRefused();  // platform_common.cpp

struct FileLock {
  int fd;
  std::string path;
};

// flock holds until the descriptor is closed, which the system does for a process that dies. The
// holder deletes the file before it lets go, so a waiter may lock a file that has no name any
// more: it checks that the name still leads to what it locked, and otherwise tries again.
FileLock* lockFile(const char* path, int waitMilliseconds) {
  const std::string native = nativePath(path);
  for (int waited = 0;;) {
    int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (lastOsFailureRefused(path)) noteRightsRefused();
      return nullptr;
    }
    struct stat locked, named;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (::fstat(fd, &locked) == 0 && ::stat(native.c_str(), &named) == 0 && locked.st_ino == named.st_ino &&
          locked.st_dev == named.st_dev) {
        return new FileLock{fd, native};
      }
    } else if (errno != EWOULDBLOCK || waited >= waitMilliseconds) {
      ::close(fd);
      return nullptr;
    } else {
      ::usleep(2000);
      waited += 2;
    }
    ::close(fd);
  }
}

void unlockFile(FileLock* lock) {
  if (!lock) return;
  ::unlink(lock->path.c_str());
  ::close(lock->fd);
  delete lock;
}

FILE* openFile(const char* path, const char* mode) { return std::fopen(nativePath(path).c_str(), mode); }

struct FolderScan {
  DIR* dir;
};

FolderScan* openFolder(const char* path) {
  DIR* dir = ::opendir(nativePath(path).c_str());
  if (!dir) return nullptr;
  return new FolderScan{dir};
}

const char* nextFolderEntry(FolderScan* scan) {
  struct dirent* entry = ::readdir(scan->dir);
  return entry ? entry->d_name : nullptr;
}

void closeFolder(FolderScan* scan) {
  if (!scan) return;
  ::closedir(scan->dir);
  delete scan;
}

int showDefaultMessageBox(const MessageBoxCall& call) {
  std::fprintf(stderr, "%s: %s\n", call.caption.c_str(), call.text.c_str());
  return (call.style & 0xF) == mbYesNo ? answerNo : answerOk;
}

void sendProgressToBar(WindowHandle, int) {}

int comboAddString(WindowHandle, const char*) { return -1; }

void comboSetSelection(WindowHandle, int) {}

GdiHandle createSolidBrush(int, int, int) { return nullptr; }

bool enterProgramFolder() {
  char path[4096];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  path[length] = '\0';
  char* slash = std::strrchr(path, '/');
  if (!slash) return false;
  *slash = '\0';
  return ::chdir(slash == path ? "/" : path) == 0;
}

bool standardInputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }

namespace {

// Splits a Windows-style command line: blanks separate arguments, double quotes group.
std::vector<std::string> splitCommandLine(const char* commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char* p = commandLine; *p; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word.push_back(*p);
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace

bool startDetachedProcess(const char* program, const char* commandLine) {
  std::vector<std::string> words = splitCommandLine(commandLine);
  if (words.empty()) return false;
  const std::string path = nativePath(program);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);  // its own session, like a detached process
  pid_t child = 0;
  int failed = posix_spawn(&child, path.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return failed == 0;
}

void keepReleasedMemory() {
#if defined(__GLIBC__)
  // Blocks up to 16 MiB come from the heap, and a free heap top of up to 64 MiB stays mapped.
  mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
