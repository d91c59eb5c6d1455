// The program's folder and the files of a POSIX system (Linux).
#include "system.h"

#include <cerrno>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string folderOf(const std::string &name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

std::string leafOf(const std::string &name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

void syncFolder(const std::string &folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  fsync(fd);
  close(fd);
}

// A temporary name as OpenReplacement makes them: "<leaf>.<digits>-<digits>.tmp".
bool isReplacementOf(const std::string &entry, const std::string &leaf) {
  const std::string suffix = ".tmp";
  if (entry.size() <= leaf.size() + 1 + suffix.size() || entry.compare(0, leaf.size(), leaf) != 0 ||
      entry[leaf.size()] != '.' ||
      entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const std::string middle =
      entry.substr(leaf.size() + 1, entry.size() - leaf.size() - 1 - suffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size())
    return false;
  for (std::size_t i = 0; i < middle.size(); ++i)
    if (i != dash && (middle[i] < '0' || middle[i] > '9'))
      return false;
  return true;
}
} // namespace

std::string RunningProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.parent_path().string();
}

bool ChangeWorkingFolder(const std::string &folder) {
  return chdir(folder.c_str()) == 0;
}

std::FILE *OpenFileForReading(const std::string &name, std::int64_t &length) {
  std::FILE *file = std::fopen(name.c_str(), "rb");
  if (!file)
    return nullptr;
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  length = static_cast<std::int64_t>(info.st_size);
  return file;
}

std::FILE *OpenFileForWriting(const std::string &name) {
  return std::fopen(name.c_str(), "wb");
}

std::FILE *OpenReplacement(const std::string &target, std::string &temporary) {
  mode_t fileMode = 0666;
  bool keepMode = false;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    // A file the player made read-only stays as it is, also for a user whom
    // the system would let write it.
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 ||
        faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return nullptr;
    fileMode = info.st_mode & 07777;
    keepMode = true;
  }
  static unsigned serial = 0;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".tmp";
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST)
      return nullptr;
  }
  if (fd < 0)
    return nullptr;
  // The lock, held until the file has its new name, tells a copy of the game
  // that cleans up left-behind files that this one is still being written.
  flock(fd, LOCK_EX | LOCK_NB);
  if (keepMode)
    fchmod(fd, fileMode); // the new file keeps the permissions of the old one
  std::FILE *file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(temporary.c_str());
    return nullptr;
  }
  return file;
}

bool FlushToDisk(std::FILE *file) {
  return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool CloseAndReplace(std::FILE *file, const std::string &temporary, const std::string &target) {
  // Renamed while still open and locked, so that no cleanup takes it first;
  // its bytes are already on the disk.
  const bool replaced = std::rename(temporary.c_str(), target.c_str()) == 0;
  std::fclose(file);
  if (replaced)
    syncFolder(folderOf(target)); // the new name itself survives a power cut
  else
    unlink(temporary.c_str());
  return replaced;
}

void CloseAndDiscard(std::FILE *file, const std::string &temporary) {
  unlink(temporary.c_str());
  std::fclose(file);
}

void RemoveStaleReplacements(const std::string &target) {
  const std::string folder = folderOf(target), leaf = leafOf(target);
  DIR *listing = opendir(folder.c_str());
  if (!listing)
    return;
  while (const dirent *entry = readdir(listing)) {
    if (!isReplacementOf(entry->d_name, leaf))
      continue;
    const std::string name = folder + "/" + entry->d_name;
    int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
      continue;
    // A copy of the game still writing it holds its lock.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
      unlink(name.c_str());
    close(fd);
  }
  closedir(listing);
}

namespace {
// The X server gone (logged out, crashed, or this client killed): Xlib would
// print its own lines and exit through the exit handlers, which then wait on
// the dead connection for ever. One line, and out at once.
int onDisplayLost(void *) {
  static const char line[] = "Drayvane 31: the display went away\n";
  ssize_t written = write(STDERR_FILENO, line, sizeof line - 1);
  (void)written;
  _exit(1);
}
} // namespace

void StopWhenTheDisplayGoes() {
  // SDL loads Xlib itself; it is asked for the handler setter by name.
  void *xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (xlib == nullptr)
    return;
  using THandler = int (*)(void *);
  using TSetter = THandler (*)(THandler);
  if (auto set = reinterpret_cast<TSetter>(dlsym(xlib, "XSetIOErrorHandler")))
    set(onDisplayLost);
  dlclose(xlib);
}

bool WindowFillsPage() {
  return false;
}

// The game has its own thread: the system needs no turns from it.
bool FramesPacedBySystem() {
  return false;
}

void AwaitNextFrame() {}

void YieldIfDue() {}

bool SleepGivingTurns(std::uint32_t) {
  return false;
}
