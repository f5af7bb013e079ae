#include "fault_sweep.h"

#include <filesystem>

namespace faults {

namespace {

int g_target = -1;
int g_seen = 0;
bool g_fired = false;
std::string g_failed;

// The error each kind of call fails with, as the real call would report it.
DWORD ErrorOf(portable::KernelCall call) {
    switch (call) {
    case portable::KERNEL_FILE_OPEN:
    case portable::KERNEL_FILE_CREATE:
    case portable::KERNEL_FILE_REPLACE:
    case portable::KERNEL_FILE_DELETE:
    case portable::KERNEL_PROFILE_READ:
    case portable::KERNEL_PROFILE_WRITE: return ERROR_ACCESS_DENIED;
    case portable::KERNEL_FILE_WRITE: return ERROR_DISK_FULL;
    case portable::KERNEL_FILE_LOCK: return ERROR_LOCK_VIOLATION;
    case portable::KERNEL_LIBRARY_LOAD: return ERROR_MOD_NOT_FOUND;
    case portable::KERNEL_GLOBAL_ALLOC: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_IO_DEVICE;
    }
}

DWORD FailTarget(portable::KernelCall call, const char *subject) {
    if (g_seen++ != g_target) return 0;
    g_fired = true;
    g_failed = portable::KernelCallName(call);
    if (subject != nullptr) g_failed += std::string(" ") + subject;
    return ErrorOf(call);
}

void Install(portable::KernelFault fault) {
    for (int call = 0; call < portable::KERNEL_CALL_COUNT; ++call)
        portable::SetKernelFault(static_cast<portable::KernelCall>(call), fault);
}

}  // namespace

int Sweep(const std::function<void()> &flow, const std::function<void(const Run &)> &check) {
    for (int target = 0;; ++target) {
        g_target = target;
        g_seen = 0;
        g_fired = false;
        g_failed.clear();
        Install(FailTarget);
        flow();
        Install(nullptr);
        check(Run{target, g_fired, g_failed});
        if (!g_fired) return target + 1;
    }
}

Leaks Now() {
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd")) ++files, (void)entry;
    return Leaks{portable::LiveGlobalBlocks(), files};
}

}  // namespace faults
