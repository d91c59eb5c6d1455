// Platform start-up and the end of the program.
#include "program.h"

#include <cstdio>
#include <cstdlib>

#include "backend.h"
#include "display.h"
#include "folders.h"
#include "system/system.h"

void StartPlatform() {
  // The game finds its art folder relative to the program file, never
  // through the folder it was started from.
  std::string folder = Backend().ProgramFolder();
  FindGameFolders(folder);
  if (!folder.empty() && !ChangeWorkingFolder(folder)) {
    // Stay where we are; the pictures then simply fail to load.
  }
}

void EndProgram() {
  std::exit(0);
}

void EndProgramWithError(const char *message) {
  // The player sees the desktop again before anything else happens.
  CloseDisplay();
  std::fputs(message, stderr);
  std::fflush(stderr);
  std::exit(-1);
}
