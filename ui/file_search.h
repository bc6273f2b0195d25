// The existence test that the command line, a drop and Calculate apply to a data-file path.
#pragma once

// True when a file-system search for `path` finds an entry and the first one found is not a folder.
// "?" and "*" in `path` act as wildcards.
bool namesExistingFile(const char* path);

// True when `path` opens as something other than a file on a disk: the null device, a console, a
// serial port, a pipe, or under Wine a Unix device such as /dev/zero. The search above finds these
// like files, but reading one may never end. A path that does not open is left to the run to report.
bool opensAsDevice(const char* path);
