// The kernel call table: one entry per kind of kernel call, each with an
// optional fault and a failure switch, passed by every call before it runs.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

namespace portable {

namespace {

struct Entry {
    const char *name;
    KernelFault fault;
    int failCount;  // the switch: calls still to fail ...
    int failSkip;   // ... after this many more go through
    DWORD failError;
};

Entry g_table[KERNEL_CALL_COUNT] = {
    {"file open", nullptr, 0, 0, 0},         {"file create", nullptr, 0, 0, 0},
    {"file attributes", nullptr, 0, 0, 0},   {"file read", nullptr, 0, 0, 0},
    {"file write", nullptr, 0, 0, 0},        {"file flush", nullptr, 0, 0, 0},
    {"file seek", nullptr, 0, 0, 0},         {"file size", nullptr, 0, 0, 0},
    {"file close", nullptr, 0, 0, 0},        {"file replace", nullptr, 0, 0, 0},
    {"file delete", nullptr, 0, 0, 0},       {"file lock", nullptr, 0, 0, 0},
    {"profile read", nullptr, 0, 0, 0},      {"profile write", nullptr, 0, 0, 0},
    {"library load", nullptr, 0, 0, 0},      {"folder path", nullptr, 0, 0, 0},
    {"global alloc", nullptr, 0, 0, 0},
};

bool Known(KernelCall call) { return call >= 0 && call < KERNEL_CALL_COUNT; }

// Called after every change to the table, and when a switch runs out.
void NoteArmedEntries() {
    bool armed = false;
    for (const Entry &entry : g_table) armed = armed || entry.fault != nullptr || entry.failCount > 0;
    g_kernelCallsArmed = armed;
}

}  // namespace

constinit bool g_kernelCallsArmed = false;

const char *KernelCallName(KernelCall call) { return Known(call) ? g_table[call].name : "unknown"; }

KernelFault SetKernelFault(KernelCall call, KernelFault fault) {
    if (!Known(call)) return nullptr;
    KernelFault previous = g_table[call].fault;
    g_table[call].fault = fault;
    NoteArmedEntries();
    return previous;
}

void FailKernelCalls(KernelCall call, int count, int skip, DWORD error) {
    if (!Known(call)) return;
    g_table[call].failCount = count > 0 ? count : 0;
    g_table[call].failSkip = skip > 0 ? skip : 0;
    g_table[call].failError = error;
    NoteArmedEntries();
}

void ClearKernelFaults() {
    for (Entry &entry : g_table) {
        entry.fault = nullptr;
        entry.failCount = 0;
        entry.failSkip = 0;
    }
    g_kernelCallsArmed = false;
}

void FailAllocations(int count, int skip) {
    FailKernelCalls(KERNEL_GLOBAL_ALLOC, count, skip, ERROR_NOT_ENOUGH_MEMORY);
}

void FailFileWrites(int count, int skip) { FailKernelCalls(KERNEL_FILE_WRITE, count, skip, ERROR_DISK_FULL); }

DWORD ArmedKernelCallFails(KernelCall call, const char *subject) {
    if (!Known(call)) return 0;
    Entry &entry = g_table[call];
    DWORD error = 0;
    if (entry.failCount > 0) {
        if (entry.failSkip > 0) {
            --entry.failSkip;
        } else {
            --entry.failCount;
            error = entry.failError;
            if (entry.failCount == 0) NoteArmedEntries();
        }
    }
    if (error == 0 && entry.fault != nullptr) error = entry.fault(call, subject);
    if (error != 0) SetLastErrorCode(error);
    return error;
}

}  // namespace portable
