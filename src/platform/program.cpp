// Platform start-up and the end of the program.
#include "program.h"

#include <cstdlib>
#include <unistd.h>

#include "backend.h"

void StartPlatform() {
  // The game finds its art folder relative to the program file.
  std::string folder = Backend().ProgramFolder();
  if (!folder.empty() && chdir(folder.c_str()) != 0) {
    // Stay where we are; the pictures then simply fail to load.
  }
}

void EndProgram() {
  std::exit(0);
}
