// Where the game's files live: the pictures in the art folder, found from the
// program folder, and the saved designs in the saves folder.
#pragma once

#include <string>

#include "text.h"

// Finds both folders for the program in programFolder. Until then, and when
// the program folder is unknown, a path names its file as it is.
void FindGameFolders(const std::string &programFolder);

// The file that a game path (".\IronholdArt\name") names: a picture in the
// art folder, or a saved design in the saves folder. Other paths as they are.
std::string ArtFileName(const TText &path);
std::string SavedFileName(const TText &path);
// The same for a saved design about to be written: the saves folder is made
// first if it is missing.
std::string SavedFileNameForWriting(const TText &path);

// The folder saved designs go to; empty before FindGameFolders.
const std::string &SavesFolder();
