// What the host program of the portable layer sets up, and the seams that
// tests use to reach failure paths. None of this exists on Windows, where
// the loader, the system and the user play these parts.
#ifndef ORVIXFAX_PORTABLE_HOST_H
#define ORVIXFAX_PORTABLE_HOST_H

#include "platform/portable/windows.h"

#include <string>

namespace portable {

// The instance of the module the program has loaded: the resources its
// build registered (resources/resources.h) are found through it. The host
// passes it to DllMain, as the Windows loader would.
HINSTANCE ModuleInstance();

// The directory that plays the Windows system directory (no trailing slash).
void SetSystemDirectory(const std::string &directory);
// The directory that plays the user's application-data folder
// (SHGetFolderPathA with CSIDL_APPDATA). None by default: the call then
// fails, and the module keeps its files in the system directory alone.
void SetAppDataDirectory(const std::string &directory);

// ---- the kernel call table
// Every kernel call the module and the command line make passes through
// one entry of this table before it runs, so that a test can fail any of
// them, as SQLite's OS layer lets its tests replace each system call.
enum KernelCall {
    KERNEL_FILE_OPEN,      // CreateFileA, _lopen, _lcreat
    KERNEL_FILE_CREATE,    // a new name in a directory: CreateFileA that may make its file, CreateDirectoryA
    KERNEL_FILE_ATTRIBUTES,  // GetFileAttributesA
    KERNEL_FILE_READ,      // ReadFile, _lread
    KERNEL_FILE_WRITE,     // WriteFile, _lwrite
    KERNEL_FILE_FLUSH,     // FlushFileBuffers
    KERNEL_FILE_SEEK,      // _llseek
    KERNEL_FILE_SIZE,      // GetFileSize
    KERNEL_FILE_CLOSE,     // CloseHandle, _lclose (the handle is closed all the same)
    KERNEL_FILE_REPLACE,   // ReplaceFileA, MoveFileExA
    KERNEL_FILE_DELETE,    // DeleteFileA
    KERNEL_FILE_LOCK,      // LockFileEx, UnlockFileEx
    KERNEL_PROFILE_READ,   // GetPrivateProfileStringA, GetPrivateProfileIntA
    KERNEL_PROFILE_WRITE,  // WritePrivateProfileStringA
    KERNEL_LIBRARY_LOAD,   // LoadLibraryA, LoadLibraryExA
    KERNEL_FOLDER_PATH,    // SHGetFolderPathA
    KERNEL_GLOBAL_ALLOC,   // GlobalAlloc
    KERNEL_CALL_COUNT
};

// A fault decides, just before a call runs, whether it fails: 0 lets it
// run; any other value is the Windows error code it fails with, as the
// real call would (GetLastError gives it). `subject` is the file, profile
// or library the call is about, or null.
typedef DWORD (*KernelFault)(KernelCall call, const char *subject);

// The call's name in the table ("file open", "global alloc", ...).
const char *KernelCallName(KernelCall call);
// Puts a fault in the call's entry (null: none); gives the one it replaces.
KernelFault SetKernelFault(KernelCall call, KernelFault fault);
// The failure switch of an entry: the next `count` calls that come after
// `skip` that go through fail with `error`. 0 and 0 turn it off.
void FailKernelCalls(KernelCall call, int count, int skip, DWORD error);
// Every entry back to no fault and no switch.
void ClearKernelFaults();

// The switches tests use most. Allocation failure: GlobalAlloc returns
// null (ERROR_NOT_ENOUGH_MEMORY). File write failure: a write fails as on
// a full disk (ERROR_DISK_FULL).
void FailAllocations(int count, int skip = 0);
void FailFileWrites(int count, int skip = 0);

// Global memory blocks not yet freed: tests check that a run leaks none.
int LiveGlobalBlocks();

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
