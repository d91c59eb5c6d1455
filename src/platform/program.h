// The program's life: platform start-up and the end of the program.
#pragma once

// Makes the folder of the program file the working directory.
void StartPlatform();

// Ends the program at once with exit status 0; the exit handling closes the display.
[[noreturn]] void EndProgram();

// Ends the program with exit status -1 after an error that nobody handled: the
// display is closed first, then the message goes to standard error as it is.
[[noreturn]] void EndProgramWithError(const char *message);
