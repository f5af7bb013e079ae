// Internal state shared by the kernel parts of the portable layer.
#ifndef ORVIXFAX_PORTABLE_KERNEL_STATE_H
#define ORVIXFAX_PORTABLE_KERNEL_STATE_H

#include "windows.h"

#include <string>

namespace portable {

void SetLastErrorCode(DWORD code);

// The Windows error code for a POSIX errno value.
DWORD ErrorFromErrno(int error);

// A Windows path as this system's path: '\\' separates directories.
std::string HostPath(LPCSTR path);

}  // namespace portable

#endif
