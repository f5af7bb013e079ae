// A stand-in for the outside exporter library "Abexpw32.dll", for the
// scenarios only.
//
// FDB_ExportAsText copies the book text found next to the library
// ("Abexpw32.txt") to the path it is given; with no such file it writes an
// empty file, as an exporter with nothing to export would. Every load and
// every call is appended to a log in the temporary directory, so a scenario
// can tell whether, and from where, the module loaded it.
#include <windows.h>

#include <string>

namespace {

HMODULE self = nullptr;

std::string OwnDirectory() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    std::string full(path, n);
    size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

void Log(const std::string &line) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string log = std::string(temp) + "Abexpw32-e2e.log";
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadAll(const std::string &path, bool *found) {
    *found = false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    *found = true;
    std::string data;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    CloseHandle(file);
    return data;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(instance, path, MAX_PATH);
        Log(std::string("load ") + path);
    }
    return TRUE;
}

// Four 32-bit values on the 32-bit platform: the book path, a reserved 0
// and two out-values that this stand-in fills with the bytes written and 1.
extern "C" __declspec(dllexport) int WINAPI FDB_ExportAsText(const char *path, DWORD reserved, DWORD *written,
                                                             DWORD *done) {
    bool found = false;
    std::string book = ReadAll(OwnDirectory() + "\\Abexpw32.txt", &found);
    Log(std::string("export ") + (path ? path : "(null)") + " reserved=" + std::to_string(reserved) +
        (found ? " source" : " empty"));
    if (!path) return 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD n = 0;
    BOOL ok = WriteFile(file, book.data(), static_cast<DWORD>(book.size()), &n, nullptr);
    CloseHandle(file);
    if (written) *written = n;
    if (done) *done = 1;
    return ok ? 1 : 0;
}
