// Asking the optional exporter library to write the address book file
// when there is none yet.
#include <cstring>

#include "address_book_file.h"

namespace {

// Declared like the platform's own functions; the arguments are the path,
// a reserved 0 and two values the library may fill (never looked at).
typedef LONG(WINAPI *FdbExportAsTextProc)(LPSTR path, LONG reserved, LONG *first, LONG *second);

const char EXPORTER_LIBRARY[] = "Abexpw32.dll";
const char EXPORTER_FUNCTION[] = "FDB_ExportAsText";

}  // namespace

void ImportFromExporter() {
    char path[MAX_PATH] = {};
    if (!GetAddressBookPath(path, sizeof path)) return;

    // Only the application's and the system's directories (and directories
    // added on purpose) are searched, never the current directory: a
    // document folder could hold a planted Abexpw32.dll, and the module runs
    // inside every program that prints.
    HMODULE library = LoadLibraryExA(EXPORTER_LIBRARY, nullptr,
                                     LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                         LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                         LOAD_LIBRARY_SEARCH_USER_DIRS);
    if (library == nullptr) return;
    FARPROC procedure = GetProcAddress(library, EXPORTER_FUNCTION);
    if (procedure != nullptr) {
        // Through the generic function pointer type, which converts to and
        // from any other without a warning.
        FdbExportAsTextProc exportAsText =
            reinterpret_cast<FdbExportAsTextProc>(reinterpret_cast<void (*)()>(procedure));
        LONG first = 0;
        LONG second = 0;
        exportAsText(path, 0, &first, &second);
    }
    FreeLibrary(library);
}
