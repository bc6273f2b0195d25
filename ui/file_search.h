// The existence test that the command line, a drop and Calculate apply to a data-file path.
#pragma once

// True when a file-system search for `path` finds an entry and the first one found is not a folder.
// "?" and "*" in `path` act as wildcards.
bool namesExistingFile(const char* path);
