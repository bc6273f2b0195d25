// Scratch files of the Windows tests, in a folder beside the test's working directory.
#pragma once

#include <string>

// Full path of `name` inside the scratch folder, which is created when missing.
std::string scratchPath(const std::string& name);

// Writes `contents` to `path` byte for byte, replacing the file; returns the path.
std::string writeFile(const std::string& path, const std::string& contents);

// The whole file at `path`, or "" when it cannot be read.
std::string readFile(const std::string& path);

// True when `path` names an existing file or folder.
bool pathExists(const std::string& path);
