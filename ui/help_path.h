// The path of the help file, "Varnel.hlp" beside the executable.
#pragma once

#include <cstddef>

// Writes into `helpPath` (capacity `capacity`) the folder part of `exePath`, up to and including
// its last backslash (nothing when it has none), followed by "Varnel.hlp"; writes the empty text
// when that would not fit.
void helpPathBeside(const char* exePath, char* helpPath, std::size_t capacity);

// Fills `state.helpFile` for the running executable; leaves it empty when its path is too long.
void makeHelpPath();
