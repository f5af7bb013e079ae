// What the host program of the portable layer sets up, and the seams that
// tests use to reach failure paths. None of this exists on Windows, where
// the loader, the system and the user play these parts.
#ifndef ORVIXFAX_PORTABLE_HOST_H
#define ORVIXFAX_PORTABLE_HOST_H

#include "windows.h"

#include <string>

namespace portable {

// The module's own instance: resources (templates, strings, icons) are found
// through it. The host passes it to DllMain, as the Windows loader would.
HINSTANCE ModuleInstance();

// The directory that plays the Windows system directory (no trailing slash).
void SetSystemDirectory(const std::string &directory);

// Allocation failure: the next `count` GlobalAlloc calls that come after
// `skip` successful ones fail (return null). 0 and 0 turn it off.
void FailAllocations(int count, int skip = 0);
// Global memory blocks not yet freed: tests check that a run leaks none.
int LiveGlobalBlocks();

// File write failure: the next `count` _lwrite calls after `skip` good ones
// fail as on a full disk (HFILE_ERROR, ERROR_DISK_FULL). 0 and 0 turn it off.
void FailFileWrites(int count, int skip = 0);

// A string-table override for one run: LoadStringA of `id` gives `text`.
void OverrideString(UINT id, const std::string &text);
// A removed entry: LoadStringA of `id` fails as for a missing entry.
void RemoveString(UINT id);
void ClearStringOverrides();

// Dynamic libraries: none load unless registered here. A registered library
// has named procedures; LoadLibraryA of its name gives a handle for them.
struct LibraryProc {
    const char *name;
    FARPROC procedure;
};
void RegisterLibrary(const std::string &name, const LibraryProc *procs, int count);
void UnregisterLibraries();
int LibraryLoadCount(const std::string &name);  // successful loads so far

// The screen the dialogs are centred on.
void SetScreenSize(int width, int height);

}  // namespace portable

#endif
