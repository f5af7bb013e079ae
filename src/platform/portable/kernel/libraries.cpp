// Dynamic libraries. Nothing on this system loads as a Win32 library, so
// LoadLibraryA finds only what a test or host registered, by file name
// without regard to case or directory, with ".dll" supplied as Windows does.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"
#include "platform/portable/resources/resources.h"

#include <map>
#include <string>
#include <strings.h>
#include <vector>

namespace portable {

namespace {

struct Library {
    std::string name;  // as registered
    std::vector<std::pair<std::string, FARPROC>> procedures;
    int references = 0;
    int loads = 0;
    HMODULE handle = nullptr;
};

struct Libraries {
    std::vector<Library> registered;
    uintptr_t nextHandle = 0x20000000;
};

Libraries &Table() {
    static Libraries table;
    return table;
}

// The library's file name as Windows would look for it: no directory, and
// ".dll" added when the name has no extension (a trailing '.' means none).
std::string FileName(const std::string &name) {
    std::string file = HostPath(name.c_str());
    size_t slash = file.find_last_of('/');
    if (slash != std::string::npos) file = file.substr(slash + 1);
    if (!file.empty() && file.back() == '.') file.pop_back();
    else if (file.find('.') == std::string::npos) file += ".dll";
    return file;
}

Library *FindByName(const std::string &name) {
    std::string wanted = FileName(name);
    for (Library &library : Table().registered)
        if (strcasecmp(FileName(library.name).c_str(), wanted.c_str()) == 0) return &library;
    return nullptr;
}

Library *FindByHandle(HMODULE module) {
    if (module == nullptr) return nullptr;
    for (Library &library : Table().registered)
        if (library.handle == module) return &library;
    return nullptr;
}

}  // namespace

void RegisterLibrary(const std::string &name, const LibraryProc *procs, int count) {
    Library *existing = FindByName(name);
    Library library;
    library.name = name;
    for (int i = 0; i < count; ++i)
        if (procs[i].name != nullptr) library.procedures.emplace_back(procs[i].name, procs[i].procedure);
    if (existing != nullptr) {
        // Registering again replaces the procedures; the handle and counts stay.
        library.handle = existing->handle;
        library.references = existing->references;
        library.loads = existing->loads;
        *existing = library;
        return;
    }
    library.handle = reinterpret_cast<HMODULE>(Table().nextHandle);
    Table().nextHandle += 0x10000;
    Table().registered.push_back(library);
}

void UnregisterLibraries() { Table().registered.clear(); }

int LibraryLoadCount(const std::string &name) {
    Library *library = FindByName(name);
    return library ? library->loads : 0;
}

}  // namespace portable

HMODULE WINAPI LoadLibraryExA(LPCSTR name, HANDLE, DWORD) {
    if (name == nullptr || *name == '\0') {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (portable::KernelCallFails(portable::KERNEL_LIBRARY_LOAD, name)) return nullptr;
    portable::Library *library = portable::FindByName(name);
    if (library == nullptr) {
        portable::SetLastErrorCode(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++library->references;
    ++library->loads;
    return library->handle;
}

HMODULE WINAPI LoadLibraryA(LPCSTR name) { return LoadLibraryExA(name, nullptr, 0); }

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    portable::Library *library = portable::FindByHandle(module);
    if (library == nullptr || library->references == 0) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (name == nullptr) {
        portable::SetLastErrorCode(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (IS_INTRESOURCE(name)) {
        // By ordinal: the procedures in the order they were registered, from 1.
        size_t ordinal = reinterpret_cast<ULONG_PTR>(name);
        if (ordinal >= 1 && ordinal <= library->procedures.size()) return library->procedures[ordinal - 1].second;
    } else {
        // Exported names match exactly, case included.
        for (const auto &procedure : library->procedures)
            if (procedure.first == name) return procedure.second;
    }
    portable::SetLastErrorCode(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    portable::Library *library = portable::FindByHandle(module);
    if (library == nullptr || library->references == 0) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --library->references;
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr) {
        // The program itself: a handle of its own, distinct from the module's.
        return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));
    }
    // The module the host loaded, by the name its resources were registered under.
    if (*portable::ModuleFileName() != '\0' &&
        strcasecmp(portable::FileName(name).c_str(), portable::FileName(portable::ModuleFileName()).c_str()) == 0)
        return portable::ModuleInstance();
    portable::Library *library = portable::FindByName(name);
    if (library == nullptr || library->references == 0) {
        portable::SetLastErrorCode(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return library->handle;
}
