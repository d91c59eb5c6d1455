// The program's folder and the files of Windows: UTF-8 names through the wide file functions.
#include "system.h"

#include "file_names.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <psapi.h>

#include <cstdlib>

namespace {
std::wstring wide(const std::string &utf8) {
  if (utf8.empty())
    return std::wstring();
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                        static_cast<int>(utf8.size()), nullptr, 0);
  if (count <= 0)
    return std::wstring();
  std::wstring text(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      text.data(), count);
  for (wchar_t &c : text)
    if (c == L'/')
      c = L'\\';
  return text;
}

std::string utf8(const std::wstring &text) {
  if (text.empty())
    return std::string();
  const int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count,
                      nullptr, nullptr);
  for (char &c : bytes)
    if (c == '\\')
      c = '/';
  return bytes;
}

// A stdio stream over a file handle; the handle is closed with the stream.
std::FILE *streamOver(HANDLE handle, int flags, const char *mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE *file = _fdopen(fd, mode);
  if (!file)
    _close(fd);
  return file;
}
} // namespace

std::string RunningProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (got == 0)
      return std::string();
    if (got < name.size()) {
      name.resize(got);
      break;
    }
    name.resize(name.size() * 2); // cut short: a longer path
  }
  return FolderOf(utf8(name));
}

bool ChangeWorkingFolder(const std::string &folder) {
  return SetCurrentDirectoryW(wide(folder).c_str()) != 0;
}

// A Windows game keeps its designs beside it, as unzipped: the folder is the player's.
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
  return "windows";
}

void *ZeroedPages(std::size_t bytes, std::size_t alignment) {
  // Reserved with room to spare, then only the aligned part is committed.
  void *region = VirtualAlloc(nullptr, bytes + alignment, MEM_RESERVE, PAGE_NOACCESS);
  if (region == nullptr)
    return nullptr;
  const auto aligned =
      (reinterpret_cast<std::uintptr_t>(region) + alignment - 1) & ~(alignment - 1);
  return VirtualAlloc(reinterpret_cast<void *>(aligned), bytes, MEM_COMMIT, PAGE_READWRITE);
}

bool ZeroPagesAgain(void *at, std::size_t bytes) {
  // Decommitted pages come back zero-filled when committed again.
  if (VirtualFree(at, bytes, MEM_DECOMMIT) == 0)
    return false;
  if (VirtualAlloc(at, bytes, MEM_COMMIT, PAGE_READWRITE) == nullptr)
    std::abort(); // the system has no memory left to give back
  return true;
}

std::int64_t PeakMemoryKib() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return 0;
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize / 1024);
}

std::FILE *OpenFileForReading(const std::string &name, std::int64_t &length) {
  HANDLE handle = CreateFileW(wide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return nullptr; // a folder, too: it opens only with backup semantics
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) {
    CloseHandle(handle);
    return nullptr;
  }
  length = size.QuadPart;
  return streamOver(handle, _O_RDONLY, "rb");
}

std::FILE *OpenFileForWriting(const std::string &name) {
  HANDLE handle = CreateFileW(wide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return nullptr;
  return streamOver(handle, _O_WRONLY, "wb");
}

std::FILE *OpenReplacement(const std::string &target, std::string &temporary) {
  const std::wstring wideTarget = wide(target);
  const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A file the player made read-only stays as it is.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
      return nullptr;
    // Nor is one replaced that the player may not write.
    HANDLE probe = CreateFileW(wideTarget.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
      return nullptr;
    CloseHandle(probe);
  }
  static unsigned serial = 0;
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target + "." + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + ".tmp";
    // Shared for reading only: while this copy writes it, no other copy of
    // the game can remove it as left behind.
    handle = CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
      return nullptr;
  }
  if (handle == INVALID_HANDLE_VALUE)
    return nullptr;
  std::FILE *file = streamOver(handle, _O_WRONLY, "wb");
  if (!file)
    DeleteFileW(wide(temporary).c_str());
  return file;
}

bool FlushToDisk(std::FILE *file) {
  if (std::fflush(file) != 0)
    return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool CloseAndReplace(std::FILE *file, const std::string &temporary, const std::string &target) {
  // Windows renames no file that is open without shared deletion, so the
  // file is closed first; its bytes are already on the disk. A copy of the
  // game that cleans up in that instant makes this save fail, never the slot
  // wrong. Write-through: the call returns once the new name is on the disk.
  std::fclose(file);
  const std::wstring wideTemporary = wide(temporary);
  const bool replaced = MoveFileExW(wideTemporary.c_str(), wide(target).c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced)
    DeleteFileW(wideTemporary.c_str());
  return replaced;
}

void CloseAndDiscard(std::FILE *file, const std::string &temporary) {
  std::fclose(file);
  DeleteFileW(wide(temporary).c_str());
}

void RemoveStaleReplacements(const std::string &target) {
  const std::string folder = FolderOf(target), leaf = LeafOf(target);
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW(wide(folder + "/" + leaf + ".*.tmp").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::string name = utf8(entry.cFileName);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsReplacementOf(name, leaf))
      continue;
    // Fails on a file that a running copy holds open: its save is under way.
    DeleteFileW(wide(folder + "/" + name).c_str());
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
}
