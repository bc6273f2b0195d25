// The sample data file: one number at the start of each data line, every other line skipped.
#pragma once

#include <cstdint>

#include "text_lines.h"

// Reads every data line of the file at `path` into a newly allocated `state.samples` (file order)
// and returns the count, also left in `state.n`. Returns 0 and changes nothing when the file cannot
// be opened or the array cannot be allocated; returns 0 with the array released when the file
// changed between the two passes.
std::uint32_t readSampleFile(const char* path);

// -1, 0 or +1 for an ascending sort; a difference that is not a number compares equal.
int compareSamples(double a, double b);

// Sorts the `state.n` values of `state.samples` ascending with `compareSamples`.
void sortSamples();
