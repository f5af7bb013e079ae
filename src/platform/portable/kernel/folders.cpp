// Directories, what stands at a path, and the one shell folder the module
// asks for: the user's application-data folder, a directory the host names.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace portable {

namespace {

std::string &AppDataDirectory() {
    static std::string directory;
    return directory;
}

// Makes each missing directory of a host path, as the shell makes the
// folder it is asked to create. False with errno when one cannot be made.
bool MakeDirectories(const std::string &path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

}  // namespace

void SetAppDataDirectory(const std::string &directory) {
    std::string trimmed = directory;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    AppDataDirectory() = trimmed;
}

}  // namespace portable

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
    if (path == nullptr || *path == '\0') {
        portable::SetLastErrorCode(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_CREATE, path)) return FALSE;
    std::string host = portable::HostPath(path);
    if (::mkdir(host.c_str(), 0777) != 0) {
        // Anything at the name, a file too, is "already exists", as on Windows.
        portable::SetLastErrorCode(errno == EEXIST ? ERROR_ALREADY_EXISTS : portable::ErrorOnPath(errno, host));
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
    if (path == nullptr || *path == '\0') {
        portable::SetLastErrorCode(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_ATTRIBUTES, path)) return INVALID_FILE_ATTRIBUTES;
    std::string host = portable::HostPath(path);
    // A link is not followed, as Windows reports the link itself.
    struct stat info;
    if (::lstat(host.c_str(), &info) != 0) {
        portable::SetLastErrorCode(portable::ErrorOnPath(errno, host));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = 0;
    if (S_ISLNK(info.st_mode)) {
        attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        struct stat target;
        if (::stat(host.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    } else if (S_ISDIR(info.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    } else if ((info.st_mode & 0222) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

HRESULT WINAPI SHGetFolderPathA(HWND, int folder, HANDLE token, DWORD flags, LPSTR path) {
    if (path == nullptr) return E_INVALIDARG;
    path[0] = '\0';
    if ((folder & ~CSIDL_FLAG_CREATE) != CSIDL_APPDATA || token != nullptr || flags != SHGFP_TYPE_CURRENT)
        return E_INVALIDARG;
    if (DWORD error = portable::KernelCallFails(portable::KERNEL_FOLDER_PATH)) return HRESULT_FROM_WIN32(error);
    const std::string &directory = portable::AppDataDirectory();
    if (directory.empty() || directory.size() >= MAX_PATH) return E_FAIL;
    struct stat info;
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (!(folder & CSIDL_FLAG_CREATE)) return S_FALSE;
        if (!portable::MakeDirectories(directory)) return HRESULT_FROM_WIN32(portable::ErrorOnPath(errno, directory));
    }
    std::memcpy(path, directory.c_str(), directory.size() + 1);
    return S_OK;
}
