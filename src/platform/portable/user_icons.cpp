// Icons of the module for the controls that show them. Defined weak so
// that a fuller loader elsewhere in the layer takes its place.
#include "resources.h"

#include <cstdint>

__attribute__((weak)) HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    if (!portable::HasIcon(instance, id)) return nullptr;
    return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1C0000 + id));
}
