// The program's console: the terminal it runs in. openConsole prints the banner once and
// makes standard output unbuffered so console lines interleave correctly with the show.
// It does not own any window; diagnostics of the demo layer are printed here.
#pragma once

// Opens the console (prints the banner, once). Returns the last print's result.
int openConsole();

// printf-style output to standard output while the console is open; 0 and nothing
// printed before openConsole. Returns the number of characters written.
int consolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True once openConsole has run.
bool consoleIsOpen();
