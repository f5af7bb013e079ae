// Internal state shared by the kernel parts of the portable layer.
#ifndef ORVIXFAX_PORTABLE_KERNEL_STATE_H
#define ORVIXFAX_PORTABLE_KERNEL_STATE_H

#include "platform/portable/host.h"
#include "platform/portable/windows.h"

#include <string>

namespace portable {

void SetLastErrorCode(DWORD code);

// The Windows error code for a POSIX errno value.
DWORD ErrorFromErrno(int error);
// The same for a call on `path` (a host path): a missing directory on the
// way is "path not found", a missing file "file not found", as Windows says.
DWORD ErrorOnPath(int error, const std::string &path);

// A Windows path as this system's path: '\\' separates directories.
std::string HostPath(LPCSTR path);

// The entry of the kernel call table that every kernel call passes first:
// 0 to go on, or the error the call is to fail with (already the last error).
DWORD KernelCallFails(KernelCall call, const char *subject = nullptr);

}  // namespace portable

#endif
