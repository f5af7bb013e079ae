// The module instance, the system directory, the thread's last error and
// the string length of KERNEL32.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

#include <cstring>
#include <unistd.h>

namespace portable {

namespace {
thread_local DWORD lastError = 0;

std::string &SystemDirectory() {
    static std::string directory;
    return directory;
}
}  // namespace

HINSTANCE ModuleInstance() {
    // Where a Windows DLL without relocation would sit; any fixed non-null value does.
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));
}

void SetSystemDirectory(const std::string &directory) {
    std::string trimmed = directory;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    SystemDirectory() = trimmed;
}

void SetLastErrorCode(DWORD code) { lastError = code; }

std::string HostPath(LPCSTR path) {
    std::string result = path ? path : "";
    for (char &c : result)
        if (c == '\\') c = '/';
    return result;
}

}  // namespace portable

DWORD WINAPI GetLastError(void) { return portable::lastError; }

void WINAPI SetLastError(DWORD code) { portable::lastError = code; }

DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(::getpid()); }

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    const std::string &directory = portable::SystemDirectory();
    if (directory.empty()) {
        // No host set one: fail rather than let the module write to the root.
        portable::SetLastErrorCode(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    UINT length = static_cast<UINT>(directory.size());
    // Too small: Windows copies nothing and returns the size needed, terminator included.
    if (buffer == nullptr || size <= length) return length + 1;
    std::memcpy(buffer, directory.c_str(), length + 1);
    return length;
}
