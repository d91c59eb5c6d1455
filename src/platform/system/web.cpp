// The program's folder, the files and the turns of the browser: files live in
// the page's memory, a replaced file is also kept in the browser's storage
// (web_storage.js), and the game's loops hand the page's thread back to it.
#include "system.h"

#include "file_names.h"

#include <dirent.h>
#include <emscripten.h>
#include <emscripten/heap.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// Where the page puts the art folder (see the link options of the game).
constexpr const char *kProgramFolder = "/game";

// A busy loop of the game keeps the page's thread at most this long.
constexpr double kTurnEveryMs = 4;
double lastTurn = 0;
double frameWork = 0; // the game's time on the thread since the last frame

// The name the browser's storage keeps a file under: its whole path, plain.
std::string storedName(const std::string &name) {
  char folder[PATH_MAX];
  if (realpath(FolderOf(name).c_str(), folder) == nullptr)
    return name;
  const std::string path = folder;
  return (path == "/" ? "" : path) + "/" + LeafOf(name);
}

// A temporary name as OpenReplacement makes them: "<leaf>.<digits>.tmp".
bool isReplacementOf(const std::string &entry, const std::string &leaf) {
  const std::string suffix = ".tmp";
  if (entry.size() <= leaf.size() + 1 + suffix.size() || entry.compare(0, leaf.size(), leaf) != 0 ||
      entry[leaf.size()] != '.' ||
      entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  for (std::size_t i = leaf.size() + 1; i < entry.size() - suffix.size(); ++i)
    if (entry[i] < '0' || entry[i] > '9')
      return false;
  return true;
}

bool readWhole(std::FILE *file, std::vector<unsigned char> &bytes) {
  if (std::fflush(file) != 0 || std::fseek(file, 0, SEEK_END) != 0)
    return false;
  const long length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0)
    return false;
  bytes.resize(static_cast<std::size_t>(length));
  return std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Called as the game gets the thread back.
void turnTaken() {
  lastTurn = emscripten_get_now();
}

// Called as the game hands the thread over.
void turnGiven() {
  frameWork += emscripten_get_now() - lastTurn;
}
} // namespace

// The page's side of these, in web_module.js. (Kept to plain calls: the
// preprocessor would split JavaScript's arrows and strict comparisons.)
// clang-format off
// The browser's storage takes the file's bytes under its name: 1 once they
// are stored, 0 when the storage refuses them (full, or a private window).
EM_ASYNC_JS(int, keepInBrowserStorage, (const char *name, const void *bytes, int length), {
  var copy = HEAPU8.slice(bytes, bytes + length);
  return (await Module.drayvaneStorage.keep(UTF8ToString(name), copy)) ? 1 : 0;
});
// The next animation frame at least a 60th of a second after the last one.
EM_ASYNC_JS(void, awaitAnimationFrame, (), { await Module.drayvaneTurns.nextFrame(); });
// A turn for the page's waiting tasks (input, scripts), without a timer's delay.
EM_ASYNC_JS(void, yieldToPage, (), { await Module.drayvaneTurns.yieldNow(); });
// The game's work in the frame just finished, kept for the page's figures.
EM_JS(void, noteFrameWork, (double ms), { Module.drayvaneTurns.noteFrameWork(ms); });
// clang-format on

std::string RunningProgramFolder() {
  return kProgramFolder;
}

bool ChangeWorkingFolder(const std::string &folder) {
  return chdir(folder.c_str()) == 0;
}

// The art is part of the page; the designs are kept beside it, in the
// browser's storage.
std::string FindArtFolder(const std::string &programFolder) {
  return programFolder + "/IronholdArt";
}

std::string FindSavesFolder(const std::string &artFolder) {
  return artFolder;
}

bool MakeSavesFolder(const std::string &) {
  return true;
}

std::string DesktopVideoDriver() {
  return "emscripten";
}

// The page's memory is the module's own: no pages to hand back.
void *ZeroedPages(std::size_t bytes, std::size_t alignment) {
  void *region = std::aligned_alloc(alignment, (bytes + alignment - 1) / alignment * alignment);
  if (region != nullptr)
    std::memset(region, 0, bytes);
  return region;
}

bool ZeroPagesAgain(void *, std::size_t) {
  return false;
}

std::int64_t PeakMemoryKib() {
  return static_cast<std::int64_t>(emscripten_get_heap_size() / 1024);
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
  struct stat info {};
  if (stat(target.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0))
    return nullptr;
  // The page runs one copy of the game, whose saves never overlap.
  static unsigned serial = 0;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + "." + std::to_string(++serial) + ".tmp";
    fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno != EEXIST)
      return nullptr;
  }
  if (fd < 0)
    return nullptr;
  std::FILE *file = fdopen(fd, "w+b");
  if (!file) {
    close(fd);
    unlink(temporary.c_str());
    return nullptr;
  }
  return file;
}

bool FlushToDisk(std::FILE *file) {
  return std::fflush(file) == 0;
}

bool CloseAndReplace(std::FILE *file, const std::string &temporary, const std::string &target) {
  // The browser's storage takes the new bytes first: if it refuses them, the
  // slot stays as it was here and after a reload alike.
  std::vector<unsigned char> bytes;
  turnGiven();
  const bool kept =
      readWhole(file, bytes) && keepInBrowserStorage(storedName(target).c_str(), bytes.data(),
                                                     static_cast<int>(bytes.size())) == 1;
  turnTaken(); // the storage's answer came through the page's event loop
  std::fclose(file);
  const bool replaced = kept && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!replaced)
    unlink(temporary.c_str());
  return replaced;
}

void CloseAndDiscard(std::FILE *file, const std::string &temporary) {
  unlink(temporary.c_str());
  std::fclose(file);
}

void RemoveStaleReplacements(const std::string &target) {
  // Only a save of this page that stopped half-way leaves one behind.
  const std::string folder = FolderOf(target), leaf = LeafOf(target);
  DIR *listing = opendir(folder.c_str());
  if (!listing)
    return;
  while (const dirent *entry = readdir(listing))
    if (isReplacementOf(entry->d_name, leaf))
      unlink((folder + "/" + entry->d_name).c_str());
  closedir(listing);
}

// The page outlives the game: nothing to watch.
bool WindowFillsPage() {
  return true;
}

bool FramesPacedBySystem() {
  return true;
}

void AwaitNextFrame() {
  turnGiven();
  noteFrameWork(frameWork);
  frameWork = 0;
  awaitAnimationFrame();
  turnTaken();
}

void YieldIfDue() {
  if (emscripten_get_now() - lastTurn < kTurnEveryMs)
    return;
  turnGiven();
  yieldToPage();
  turnTaken();
}

bool SleepGivingTurns(std::uint32_t ms) {
  turnGiven();
  emscripten_sleep(ms);
  turnTaken();
  return true;
}
