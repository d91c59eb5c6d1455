// Where the game's files live, and the game's paths turned into file names there.
#include "folders.h"

#include "system/system.h"

namespace {
std::string artFolder, savesFolder;

// The name inside the art folder that a path gives, or nothing when the path
// is not in the art folder.
bool leafInArtFolder(const std::string &name, std::string &leaf) {
  for (const char *prefix : {"./IronholdArt/", "IronholdArt/"}) {
    const std::string start = prefix;
    if (name.size() > start.size() && name.compare(0, start.size(), start) == 0 &&
        name.find('/', start.size()) == std::string::npos) {
      leaf = name.substr(start.size());
      return true;
    }
  }
  return false;
}

std::string inFolder(const std::string &folder, const TText &path) {
  const std::string name = FileNameFromPath(path);
  std::string leaf;
  if (folder.empty() || !leafInArtFolder(name, leaf))
    return name;
  return folder + "/" + leaf;
}
} // namespace

void FindGameFolders(const std::string &programFolder) {
  artFolder.clear();
  savesFolder.clear();
  if (programFolder.empty())
    return;
  artFolder = FindArtFolder(programFolder);
  savesFolder = FindSavesFolder(artFolder);
}

std::string ArtFileName(const TText &path) {
  return inFolder(artFolder, path);
}

std::string SavedFileName(const TText &path) {
  return inFolder(savesFolder, path);
}

std::string SavedFileNameForWriting(const TText &path) {
  std::string name = SavedFileName(path);
  // Only a folder of the player's own is made; a missing art folder stays missing.
  if (!savesFolder.empty() && savesFolder != artFolder &&
      name.compare(0, savesFolder.size(), savesFolder) == 0)
    MakeSavesFolder(savesFolder);
  return name;
}

const std::string &SavesFolder() {
  return savesFolder;
}
