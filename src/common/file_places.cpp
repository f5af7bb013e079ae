#include "common/file_places.h"

#include <cstring>

#include "common/text_field.h"

namespace {

const char USER_FOLDER_NAME[] = "OrvixFax";

// Whether anything stands at the path. Only "not found" says no: a path
// that cannot be looked at may hold the user's copy.
bool SomethingAt(const char *path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return true;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

}  // namespace

int GetUserFilePath(const char *name, char *path, size_t size, BOOL create) {
    if (name == nullptr || path == nullptr || size == 0) return 0;
    char folder[MAX_PATH];
    std::memset(folder, 0, sizeof folder);
    int which = CSIDL_APPDATA | (create ? CSIDL_FLAG_CREATE : 0);
    if (SHGetFolderPathA(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return 0;
    folder[sizeof folder - 1] = '\0';
    size_t length = std::strlen(folder);
    if (length == 0) return 0;
    char built[MAX_PATH];
    // A path cut short would name some other file: it must fit whole.
    size_t needed = length + 1 + std::strlen(USER_FOLDER_NAME) + 1 + std::strlen(name) + 1;
    if (needed > sizeof built || needed > size) return 0;
    CopyField(built, folder);
    if (folder[length - 1] != '\\') AppendField(built, "\\");
    AppendField(built, USER_FOLDER_NAME);
    if (create && !CreateDirectoryA(built, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return 0;
    AppendField(built, "\\");
    AppendField(built, name);
    CopyField(path, size, built);
    return 1;
}

FilePlace ChooseReadPlace(const char *name, const char *systemPath, char *path, size_t size) {
    if (path == nullptr || size == 0) return PLACE_NONE;
    char own[MAX_PATH];
    if (GetUserFilePath(name, own, sizeof own, FALSE) && std::strlen(own) < size && SomethingAt(own)) {
        CopyField(path, size, own);
        return PLACE_USER;
    }
    if (systemPath == nullptr || systemPath[0] == '\0' || std::strlen(systemPath) >= size) {
        path[0] = '\0';
        return PLACE_NONE;
    }
    CopyField(path, size, systemPath);
    return PLACE_SYSTEM;
}
