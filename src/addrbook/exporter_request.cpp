// Asking the optional exporter library to write the address book file
// when there is none yet.
#include <cstring>

#include "addrbook/address_book_file.h"
#include "common/text_field.h"

namespace {

// Declared like the platform's own functions; the arguments are the path,
// a reserved 0 and two values the library may fill (never looked at).
typedef LONG(WINAPI *FdbExportAsTextProc)(LPSTR path, LONG reserved, LONG *first, LONG *second);

const char EXPORTER_LIBRARY[] = "Abexpw32.dll";
const char EXPORTER_FUNCTION[] = "FDB_ExportAsText";

// "<system directory>\Abexpw32.dll"; 0 when it cannot be had whole.
int GetSystemLibraryPath(char *path, size_t size) {
    UINT length = GetSystemDirectoryA(path, static_cast<UINT>(size));
    if (length == 0 || length + 1 + sizeof EXPORTER_LIBRARY > size) return 0;
    AppendField(path, size, "\\");
    AppendField(path, size, EXPORTER_LIBRARY);
    return 1;
}

// Whether the directory of `path` refuses a new file, as the system
// directory refuses a standard user: a file of the module's own is made
// there and removed again. Any other failure says nothing about the right
// to write, and the place stays as it was.
bool RefusesNewFiles(const char *path) {
    FileRef probe{};
    probe.handle = INVALID_HANDLE_VALUE;
    if (CreateTemporaryBeside(path, &probe) == ERR_NONE) {
        FileClose(&probe);
        DeleteFileA(probe.path);
        return false;
    }
    return WriteWasRefused(probe.error);
}

}  // namespace

void ImportFromExporter(char *path, size_t size) {
    if (path == nullptr || path[0] == '\0') return;

    // Only the application's and the system's directories (and directories
    // added on purpose) are searched, never the current directory: a
    // document folder could hold a planted Abexpw32.dll, and the module runs
    // inside every program that prints.
    HMODULE library = LoadLibraryExA(EXPORTER_LIBRARY, nullptr,
                                     LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                         LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                         LOAD_LIBRARY_SEARCH_USER_DIRS);
    // A Windows without the safe-search update refuses those flags: there
    // the library is taken from the system directory by its full path.
    if (library == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        char libraryPath[MAX_PATH];
        if (!GetSystemLibraryPath(libraryPath, sizeof libraryPath)) return;
        library = LoadLibraryExA(libraryPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (library == nullptr) return;
    FARPROC procedure = GetProcAddress(library, EXPORTER_FUNCTION);
    if (procedure != nullptr) {
        // Through the generic function pointer type, which converts to and
        // from any other without a warning.
        FdbExportAsTextProc exportAsText =
            reinterpret_cast<FdbExportAsTextProc>(reinterpret_cast<void (*)()>(procedure));
        // The book goes where the module will read it: where the system
        // directory refuses the user, into the user's own copy.
        char system[MAX_PATH];
        if (GetSystemBookPath(system, sizeof system) && std::strcmp(system, path) == 0 && RefusesNewFiles(path))
            GetUserFilePath(ADDRESS_BOOK_FILE_NAME, path, size, TRUE);
        // The library is handed a buffer of the size it has always had.
        char given[MAX_PATH];
        CopyField(given, path);
        LONG first = 0;
        LONG second = 0;
        exportAsText(given, 0, &first, &second);
    }
    FreeLibrary(library);
}
