// Whether a data file can be read as a data file at all, asked before either method reads it.
#pragma once

#include <string>

// Why the data file cannot be read, in the user's terms, or "" when it looks readable.
std::string dataFileProblem(const std::string& path);
