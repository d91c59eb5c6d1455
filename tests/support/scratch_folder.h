// A fresh folder in the system's temporary folder that is the working
// directory while it lives; the previous working directory comes back and the
// folder goes with it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_system.h"

// The scratch folders alive, oldest first (a session's child on Windows finds
// its parent's folders by their places in this list).
inline std::vector<std::filesystem::path> &LiveScratchFolders() {
  static std::vector<std::filesystem::path> folders;
  return folders;
}

class TScratchFolder {
public:
  explicit TScratchFolder(const std::string &tag) : path(MakeScratchFolder(tag)) {
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
    LiveScratchFolders().push_back(path);
  }
  ~TScratchFolder() {
    auto &live = LiveScratchFolders();
    live.erase(std::remove(live.begin(), live.end(), path), live.end());
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(path, ignored);
  }
  TScratchFolder(const TScratchFolder &) = delete;
  TScratchFolder &operator=(const TScratchFolder &) = delete;

  std::filesystem::path path;

private:
  std::filesystem::path previous;
};

// The names in a folder, sorted.
inline std::vector<std::string> FolderListing(const std::filesystem::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
