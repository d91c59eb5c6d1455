// What differs between the systems the game runs on: the program's folder, its
// desktop and the files of the operating system. Each system has one file that defines
// these (posix.cpp, ...), and the build compiles the one of its target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The folder that holds the running program file, in UTF-8; empty if unknown.
std::string RunningProgramFolder();
// Makes a folder the working directory; false when it cannot.
bool ChangeWorkingFolder(const std::string &folder);

// The game's art folder: "IronholdArt" beside the program, or where this
// system installs a game's data, found from the program folder.
std::string FindArtFolder(const std::string &programFolder);
// Where saved designs go: the art folder when the player may make files in it
// (or it is missing), else a folder of the player's own for the game's data.
std::string FindSavesFolder(const std::string &artFolder);
// Makes the saves folder and any missing parents, for the player alone; true
// when it is there.
bool MakeSavesFolder(const std::string &folder);

// The SDL video driver of a system whose desktop is always its own one
// ("windows"); empty where the sessions that are there decide (X11, Wayland).
std::string DesktopVideoDriver();

// Zero-filled memory that lives as long as the program, starting on a
// boundary of alignment (a power of two) and on large pages where the system
// gives them; nullptr when there is none.
void *ZeroedPages(std::size_t bytes, std::size_t alignment);
// Hands the pages of such memory back to the system, which empties them at
// once: they read as zeros again. False where that failed (the memory is as it was).
bool ZeroPagesAgain(void *at, std::size_t bytes);

// The most memory the program has held at once, in KiB.
std::int64_t PeakMemoryKib();

// Names are UTF-8 and use '/' between folders.
// An existing file that is not a folder, opened for reading, and its length.
std::FILE *OpenFileForReading(const std::string &name, std::int64_t &length);
// A new or emptied file, opened for writing.
std::FILE *OpenFileForWriting(const std::string &name);

// A new temporary file beside target that will replace it, named in
// temporary. None when target is not a plain file the player may write, or
// the folder takes no new file. The new file keeps the old one's permissions.
std::FILE *OpenReplacement(const std::string &target, std::string &temporary);
// Every byte written to file so far reaches the disk.
bool FlushToDisk(std::FILE *file);
// Closes the replacement file and gives it target's name in one step that
// survives a power cut; on failure the target is as it was and the temporary
// file is gone.
bool CloseAndReplace(std::FILE *file, const std::string &temporary, const std::string &target);
// Closes the replacement file and removes it; the target is as it was.
void CloseAndDiscard(std::FILE *file, const std::string &temporary);
// Removes the temporary files of target that a copy of the game left behind
// when it stopped mid-save, never one that a running copy is still writing.
void RemoveStaleReplacements(const std::string &target);

// The system's turns. On a desktop the game has a thread of its own; in a
// browser its loops run on the page's only thread, which goes back to the
// page at these points so that frames show and input arrives (the game's
// own code never hands it over).
// Whether the window is the page's canvas, sized by the page: it then follows
// the page's size and pixel ratio.
bool WindowFillsPage();
// Whether the browser's animation frames pace the presents.
bool FramesPacedBySystem();
// After a present: waits for the system's next frame, at most 60 a second.
void AwaitNextFrame();
// While the game polls its input: a turn for the system once it has waited
// a few milliseconds, so that a busy loop never freezes the page.
void YieldIfDue();
// Waits about ms while the system runs; false where the caller's own sleep
// already does that.
bool SleepGivingTurns(std::uint32_t ms);
