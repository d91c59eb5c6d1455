// A fresh folder under /tmp that is the working directory while it lives;
// the previous working directory comes back and the folder goes with it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <stdlib.h>

class TScratchFolder {
public:
  explicit TScratchFolder(const std::string &tag) {
    std::string name = "/tmp/drayvane-" + tag + "-XXXXXX";
    if (!mkdtemp(name.data()))
      std::abort(); // no test can run without its folder
    path = name;
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
  }
  ~TScratchFolder() {
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
