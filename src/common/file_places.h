// Where the module's two files, the address book and the settings, are kept.
//
// They have always lived in the system directory, the old place, where
// exporters, drivers and administrators still put and look for them. A
// standard user of Windows since Vista may not write there, so a user may
// also have an own copy in "%APPDATA%\OrvixFax\" (SHGetFolderPathA with
// CSIDL_APPDATA: the roaming application-data folder, present on every
// Windows the module loads on and spelled in the module's ANSI code page).
//
// Reading takes the user's own copy when there is one, else the old place.
// Writing goes where reading looks; only when the old place refuses it
// (access denied) does it go to the user's own copy, the folder made for
// it. From then on that copy is read, and the old file stays as it was.
#ifndef ORVIXFAX_FILE_PLACES_H
#define ORVIXFAX_FILE_PLACES_H

#include <cstddef>

#include "platform/win32api.h"

enum FilePlace {
    PLACE_NONE = 0,    // no path to be had
    PLACE_SYSTEM = 1,  // the system directory, where the file has always been
    PLACE_USER = 2,    // the user's own copy in the application-data folder
};

// "<application data>\OrvixFax\<name>" into `path` (at most `size` bytes).
// 0, with `path` untouched, when the folder cannot be had or the path does
// not fit; with `create`, also when the folder is missing and cannot be
// made.
int GetUserFilePath(const char *name, char *path, size_t size, BOOL create);

// The place `name` is read from, its path copied to `path`: the user's own
// copy when anything stands at its path (a copy there but not to be read is
// still the user's, never passed over for the old one), else `systemPath`.
// PLACE_NONE and an empty path when neither can be had.
FilePlace ChooseReadPlace(const char *name, const char *systemPath, char *path, size_t size);

// Whether a failed write was refused for want of the right to write, as
// the system directory refuses a standard user: only access denied counts.
inline bool WriteWasRefused(DWORD error) { return error == ERROR_ACCESS_DENIED; }

#endif
