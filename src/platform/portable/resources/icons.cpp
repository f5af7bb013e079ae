// LoadIconA over the module's icon resources and the system's stock icons.
// An icon handle is its id moved into a range no other handle uses; loading
// the same icon twice gives the same handle, as shared icons do on Windows.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"
#include "platform/portable/resources/resources.h"

#include <cstdlib>

namespace {

constexpr uintptr_t kModuleIcons = 0x30000000;
constexpr uintptr_t kSystemIcons = 0x30100000;
constexpr int kFirstSystemIcon = 32512;  // IDI_APPLICATION
constexpr int kLastSystemIcon = 32517;   // IDI_WINLOGO

// A resource id given as MAKEINTRESOURCE or as "#123"; -1 for a real name.
int ResourceId(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (name[0] != '#' || name[1] == '\0') return -1;
    char *end = nullptr;
    long id = std::strtol(name + 1, &end, 10);
    return (*end == '\0' && id >= 0 && id <= 0xFFFF) ? static_cast<int>(id) : -1;
}

}  // namespace

namespace portable {

int IconIdOf(HICON icon) {
    uintptr_t value = reinterpret_cast<uintptr_t>(icon);
    if (value > kModuleIcons && value <= kModuleIcons + 0xFFFF) return static_cast<int>(value - kModuleIcons);
    if (value >= kSystemIcons + kFirstSystemIcon && value <= kSystemIcons + kLastSystemIcon)
        return static_cast<int>(value - kSystemIcons);
    return 0;
}

}  // namespace portable

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (name == nullptr) {
        portable::SetLastErrorCode(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    int id = ResourceId(name);
    if (instance == nullptr) {
        if (id >= kFirstSystemIcon && id <= kLastSystemIcon) return reinterpret_cast<HICON>(kSystemIcons + id);
    } else if (id > 0 && portable::HasIcon(instance, id)) {
        return reinterpret_cast<HICON>(kModuleIcons + id);
    }
    portable::SetLastErrorCode(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
