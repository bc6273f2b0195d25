// The existence tests that the command line, a drop and Calculate apply to a data-file path.
#pragma once

// True when a file-system search for `path` finds an entry and the first one found is not a folder.
// "?" and "*" in `path` act as wildcards.
bool namesExistingFile(const char* path);

// True when `path` names, by its form alone, something other than a file on a disk: a DOS device
// name (NUL, CON, AUX, PRN, COM1, LPT1, CONIN$ and the like, in any folder, with any extension), a
// path in the system's device namespace ("\\.\", "\\?\", "\??\") other than the long form of a
// drive or UNC path, or the pipes and mailslots of a server ("\\server\pipe\..."). The path is
// judged both as written and as the system completes it, so ".." cannot lead out of a drive into
// the device namespace.
bool namesDeviceByForm(const char* path);

// True when `path` names an existing file on a disk, decided without opening it: its form names no
// device, the file-system search finds it, and neither the attributes of the entry found nor those
// that the system reports for the path mark a folder or a device. Wine reports no attributes at
// all for a Unix device, FIFO or socket (Z:\dev\zero), which its search finds like a file.
// Wildcards in `path` are not expected: the search would take them as such.
bool namesDiskFile(const char* path);
