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

// Whether any entry of the kernel call table has a fault or a running
// failure switch. Most runs arm none, so a call then passes the table with
// one test instead of a look at its entry.
extern bool g_kernelCallsArmed;
DWORD ArmedKernelCallFails(KernelCall call, const char *subject);

// The entry of the kernel call table that every kernel call passes first:
// 0 to go on, or the error the call is to fail with (already the last error).
inline DWORD KernelCallFails(KernelCall call, const char *subject = nullptr) {
    return g_kernelCallsArmed ? ArmedKernelCallFails(call, subject) : 0;
}

}  // namespace portable

#endif
