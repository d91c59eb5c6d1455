// The program's life: platform start-up and the end of the program.
#pragma once

// Makes the folder of the program file the working directory.
void StartPlatform();

// Ends the program at once with exit status 0; the exit handling closes the display.
[[noreturn]] void EndProgram();
