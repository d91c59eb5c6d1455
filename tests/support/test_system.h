// What differs between systems for the tests; one file per system defines it
// (system_posix.cpp, system_windows.cpp).
#pragma once

#include <filesystem>
#include <string>

// A new empty folder for one test's files, in the system's temporary folder.
std::filesystem::path MakeScratchFolder(const std::string &tag);
// In a session's child: ends the session as killed once it has run this long.
void EndSessionAfter(unsigned seconds);
// A file that refuses every write as a full disk does; empty where the system has none.
std::string FullDevice();
