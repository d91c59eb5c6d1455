// The program's folder and the files of a POSIX system (Linux).
#include "system.h"

#include "file_names.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void syncFolder(const std::string &folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  fsync(fd);
  close(fd);
}

bool isFolder(const std::string &name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An environment variable that holds an absolute folder, or empty.
std::string absoluteFolderIn(const char *variable) {
  const char *value = std::getenv(variable);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

// The player's folder for the data of programs: $XDG_DATA_HOME, by default
// ~/.local/share; empty when the player has no home folder.
std::string playerDataFolder() {
  std::string folder = absoluteFolderIn("XDG_DATA_HOME");
  if (!folder.empty())
    return folder;
  std::string home = absoluteFolderIn("HOME");
  if (home.empty())
    if (const passwd *entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
      home = entry->pw_dir;
  return home.empty() ? std::string() : (home == "/" ? "" : home) + "/.local/share";
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

std::string FindArtFolder(const std::string &programFolder) {
  const std::string beside = programFolder + "/IronholdArt";
  if (isFolder(beside))
    return beside;
  // Installed: the program in <prefix>/games, the art in <prefix>/share/games.
  const std::string prefix = FolderOf(programFolder);
  const std::string installed =
      (prefix == "/" ? std::string() : prefix) + "/share/games/drayvane31/IronholdArt";
  return isFolder(installed) ? installed : beside;
}

std::string FindSavesFolder(const std::string &artFolder) {
  // A missing art folder is not replaced: without it there is no game to save.
  if (!isFolder(artFolder) || faccessat(AT_FDCWD, artFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0)
    return artFolder;
  const std::string data = playerDataFolder();
  return data.empty() ? artFolder : data + "/drayvane31";
}

bool MakeSavesFolder(const std::string &folder) {
  if (isFolder(folder))
    return true;
  // Missing parents too, each private to the player as the player's data
  // folders should be; the mode is set again, whatever the umask took away.
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string parent = folder.substr(0, slash);
    if (mkdir(parent.c_str(), 0700) == 0)
      chmod(parent.c_str(), 0700);
  }
  if (mkdir(folder.c_str(), 0700) == 0)
    chmod(folder.c_str(), 0700);
  return isFolder(folder);
}

std::string DesktopVideoDriver() {
  return std::string();
}

void *ZeroedPages(std::size_t bytes, std::size_t alignment) {
  void *region =
      mmap(nullptr, bytes + alignment, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (region == MAP_FAILED)
    return nullptr;
  const auto aligned =
      (reinterpret_cast<std::uintptr_t>(region) + alignment - 1) & ~(alignment - 1);
  madvise(reinterpret_cast<void *>(aligned), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void *>(aligned);
}

bool ZeroPagesAgain(void *at, std::size_t bytes) {
  return madvise(at, bytes, MADV_DONTNEED) == 0;
}

std::int64_t PeakMemoryKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
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
    syncFolder(FolderOf(target)); // the new name itself survives a power cut
  else
    unlink(temporary.c_str());
  return replaced;
}

void CloseAndDiscard(std::FILE *file, const std::string &temporary) {
  unlink(temporary.c_str());
  std::fclose(file);
}

void RemoveStaleReplacements(const std::string &target) {
  const std::string folder = FolderOf(target), leaf = LeafOf(target);
  DIR *listing = opendir(folder.c_str());
  if (!listing)
    return;
  while (const dirent *entry = readdir(listing)) {
    if (!IsReplacementOf(entry->d_name, leaf))
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
