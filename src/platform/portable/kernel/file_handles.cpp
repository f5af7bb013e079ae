// Files by handle (CreateFileA and the calls on its handles) over POSIX
// descriptors. A handle is a number of its own, never a descriptor, so a
// stale or foreign handle is refused as on Windows.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace portable {

namespace {

struct OpenFile {
    int fd;
    DWORD access;  // GENERIC_READ and/or GENERIC_WRITE
};

struct OpenFiles {
    std::unordered_map<HANDLE, OpenFile> byHandle;
    uintptr_t nextHandle = 0x40004;
};

OpenFiles &Files() {
    static OpenFiles files;
    return files;
}

OpenFile *Find(HANDLE file) {
    auto found = Files().byHandle.find(file);
    if (found == Files().byHandle.end()) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &found->second;
}

BOOL FailWith(DWORD error) {
    SetLastErrorCode(error);
    return FALSE;
}

// Opens without blocking (a pipe with no writer would wait forever) and
// keeps only a regular file.
int OpenDiskFile(const std::string &path, int flags, mode_t mode, DWORD *error) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
    if (fd < 0) {
        *error = ErrorOnPath(errno, path);
        return -1;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *error = ERROR_ACCESS_DENIED;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

}  // namespace portable

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                          DWORD flags, HANDLE) {
    if (name == nullptr || *name == '\0') {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_OPEN, name)) return INVALID_HANDLE_VALUE;
    bool reading = (access & GENERIC_READ) != 0;
    bool writing = (access & GENERIC_WRITE) != 0;
    int flagsOpen = writing ? (reading ? O_RDWR : O_WRONLY) : O_RDONLY;
    bool truncate = false;
    switch (disposition) {
    case CREATE_NEW: flagsOpen |= O_CREAT | O_EXCL; break;  // never an existing name, never through a link
    case CREATE_ALWAYS: flagsOpen |= O_CREAT; truncate = true; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flagsOpen |= O_CREAT; break;
    case TRUNCATE_EXISTING: truncate = true; break;
    default:
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (truncate && !writing) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    std::string path = portable::HostPath(name);
    // A call that would make a new name passes the table once more, as a
    // creation: a directory its user may not write refuses only those.
    struct stat taken;
    bool makesName = disposition == CREATE_NEW ||
                     ((flagsOpen & O_CREAT) && ::lstat(path.c_str(), &taken) != 0 && errno == ENOENT);
    if (makesName && portable::KernelCallFails(portable::KERNEL_FILE_CREATE, name)) return INVALID_HANDLE_VALUE;
    DWORD error = 0;
    int fd = portable::OpenDiskFile(path, flagsOpen, mode, &error);
    if (fd < 0) {
        // Windows calls a taken name "file exists" here, not "already exists".
        portable::SetLastErrorCode(error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error);
        return INVALID_HANDLE_VALUE;
    }
    // Only now that the file is known to be a disk file is it emptied.
    if (truncate && ::ftruncate(fd, 0) != 0) {
        error = portable::ErrorFromErrno(errno);
        ::close(fd);
        portable::SetLastErrorCode(error);
        return INVALID_HANDLE_VALUE;
    }
    portable::OpenFiles &files = portable::Files();
    HANDLE handle = reinterpret_cast<HANDLE>(files.nextHandle);
    try {
        files.byHandle[handle] = portable::OpenFile{fd, access & (GENERIC_READ | GENERIC_WRITE)};
    } catch (const std::bad_alloc &) {
        ::close(fd);
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    files.nextHandle += 4;
    portable::SetLastErrorCode(NO_ERROR);
    return handle;
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, DWORD *read, LPOVERLAPPED) {
    if (read != nullptr) *read = 0;
    portable::OpenFile *open = portable::Find(file);
    if (open == nullptr) return FALSE;
    if (!(open->access & GENERIC_READ)) return portable::FailWith(ERROR_ACCESS_DENIED);
    if (portable::KernelCallFails(portable::KERNEL_FILE_READ)) return FALSE;
    // A disk file gives all that is asked for, unless it ends first.
    char *out = static_cast<char *>(buffer);
    DWORD total = 0;
    while (total < bytes) {
        ssize_t got = ::read(open->fd, out + total, bytes - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return portable::FailWith(portable::ErrorFromErrno(errno));
        }
        if (got == 0) break;
        total += static_cast<DWORD>(got);
        if (read != nullptr) *read = total;
    }
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, DWORD *written, LPOVERLAPPED) {
    if (written != nullptr) *written = 0;
    portable::OpenFile *open = portable::Find(file);
    if (open == nullptr) return FALSE;
    if (!(open->access & GENERIC_WRITE)) return portable::FailWith(ERROR_ACCESS_DENIED);
    if (portable::KernelCallFails(portable::KERNEL_FILE_WRITE)) return FALSE;
    const char *in = static_cast<const char *>(buffer);
    DWORD total = 0;
    while (total < bytes) {
        ssize_t put = ::write(open->fd, in + total, bytes - total);
        if (put < 0) {
            if (errno == EINTR) continue;
            return portable::FailWith(portable::ErrorFromErrno(errno));
        }
        total += static_cast<DWORD>(put);
        if (written != nullptr) *written = total;
    }
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE file, DWORD *high) {
    portable::OpenFile *open = portable::Find(file);
    if (open == nullptr) return INVALID_FILE_SIZE;
    if (portable::KernelCallFails(portable::KERNEL_FILE_SIZE)) return INVALID_FILE_SIZE;
    struct stat info;
    if (::fstat(open->fd, &info) != 0) {
        portable::SetLastErrorCode(portable::ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (high != nullptr) *high = static_cast<DWORD>(size >> 32);
    // INVALID_FILE_SIZE may be a true low part: NO_ERROR tells it apart.
    portable::SetLastErrorCode(NO_ERROR);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL WINAPI FlushFileBuffers(HANDLE file) {
    portable::OpenFile *open = portable::Find(file);
    if (open == nullptr) return FALSE;
    if (!(open->access & GENERIC_WRITE)) return portable::FailWith(ERROR_ACCESS_DENIED);
    if (portable::KernelCallFails(portable::KERNEL_FILE_FLUSH)) return FALSE;
    if (::fsync(open->fd) != 0) return portable::FailWith(portable::ErrorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    portable::OpenFile *open = portable::Find(object);
    if (open == nullptr) return FALSE;
    int fd = open->fd;
    portable::Files().byHandle.erase(object);
    if (::close(fd) != 0) return portable::FailWith(portable::ErrorFromErrno(errno));
    if (portable::KernelCallFails(portable::KERNEL_FILE_CLOSE)) return FALSE;
    return TRUE;
}

namespace {

// A lock on the whole file, whatever range is asked for (the commands lock
// one byte of a file kept for locking): held per handle, as Windows holds
// it, and, as there, taken through a handle that may only read.
BOOL SetFileLock(HANDLE file, int operation, LPOVERLAPPED overlapped) {
    if (overlapped == nullptr) return portable::FailWith(ERROR_INVALID_PARAMETER);
    portable::OpenFile *open = portable::Find(file);
    if (open == nullptr) return FALSE;
    if (portable::KernelCallFails(portable::KERNEL_FILE_LOCK)) return FALSE;
    for (;;) {
        if (::flock(open->fd, operation) == 0) return TRUE;
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return portable::FailWith(ERROR_LOCK_VIOLATION);
        return portable::FailWith(portable::ErrorFromErrno(errno));
    }
}

}  // namespace

BOOL WINAPI LockFileEx(HANDLE file, DWORD flags, DWORD, DWORD, DWORD, LPOVERLAPPED overlapped) {
    int operation = (flags & LOCKFILE_EXCLUSIVE_LOCK) ? LOCK_EX : LOCK_SH;
    if (flags & LOCKFILE_FAIL_IMMEDIATELY) operation |= LOCK_NB;
    return SetFileLock(file, operation, overlapped);
}

BOOL WINAPI UnlockFileEx(HANDLE file, DWORD, DWORD, DWORD, LPOVERLAPPED overlapped) {
    return SetFileLock(file, LOCK_UN, overlapped);
}
