// A data file named by the first word of the command line.
#pragma once

// Puts the first blank- or tab-delimited word of `tail` into the data-file field when it names an
// existing entry that is not a folder. A word of 260 characters or more is ignored.
void takeCommandLineFile(const char* tail);
