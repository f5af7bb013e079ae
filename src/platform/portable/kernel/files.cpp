// The _l* file functions, moving, replacing and deleting files, over POSIX,
// with Windows paths ('\\' separates directories) and Windows error codes.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace portable {

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case 0: return NO_ERROR;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    case EIO: return ERROR_IO_DEVICE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EFBIG: return ERROR_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EWOULDBLOCK: return ERROR_LOCK_VIOLATION;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_ACCESS_DENIED;
    }
}

DWORD ErrorOnPath(int error, const std::string &path) {
    if (error == ENOENT) {
        size_t slash = path.find_last_of('/');
        struct stat info;
        if (slash != std::string::npos && slash > 0 && ::stat(path.substr(0, slash).c_str(), &info) != 0)
            return ERROR_PATH_NOT_FOUND;
    }
    return ErrorFromErrno(error);
}

}  // namespace portable

namespace {

HFILE Fail() {
    portable::SetLastErrorCode(portable::ErrorFromErrno(errno));
    return HFILE_ERROR;
}

HFILE FailOn(const std::string &path) {
    portable::SetLastErrorCode(portable::ErrorOnPath(errno, path));
    return HFILE_ERROR;
}

}  // namespace

HFILE WINAPI _lopen(LPCSTR path, int mode) {
    if (path == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    int flags;
    switch (mode & 3) {  // the sharing bits above have no meaning here
    case OF_READ: flags = O_RDONLY; break;
    case OF_WRITE: flags = O_WRONLY; break;
    case OF_READWRITE: flags = O_RDWR; break;
    default:
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_OPEN, path)) return HFILE_ERROR;
    std::string host = portable::HostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        portable::SetLastErrorCode(ERROR_ACCESS_DENIED);
        return HFILE_ERROR;
    }
    int fd = ::open(host.c_str(), flags | O_CLOEXEC);
    return fd < 0 ? FailOn(host) : fd;
}

HFILE WINAPI _lcreat(LPCSTR path, int attribute) {
    if (path == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_OPEN, path)) return HFILE_ERROR;
    if (portable::KernelCallFails(portable::KERNEL_FILE_CREATE, path)) return HFILE_ERROR;
    // Attribute 1 makes a read-only file; the new handle can still write it.
    mode_t permissions = (attribute & 1) ? 0444 : 0666;
    std::string host = portable::HostPath(path);
    int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, permissions);
    return fd < 0 ? FailOn(host) : fd;
}

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT bytes) {
    if (portable::KernelCallFails(portable::KERNEL_FILE_READ)) return static_cast<UINT>(HFILE_ERROR);
    char *out = static_cast<char *>(buffer);
    UINT total = 0;
    while (total < bytes) {
        ssize_t got = ::read(file, out + total, bytes - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail();
            return static_cast<UINT>(HFILE_ERROR);
        }
        if (got == 0) break;
        total += static_cast<UINT>(got);
    }
    return total;
}

UINT WINAPI _lwrite(HFILE file, LPCSTR buffer, UINT bytes) {
    if (portable::KernelCallFails(portable::KERNEL_FILE_WRITE)) return static_cast<UINT>(HFILE_ERROR);
    if (bytes == 0) {
        // Writing nothing ends the file at the current position, as on Windows.
        off_t here = ::lseek(file, 0, SEEK_CUR);
        if (here < 0 || ::ftruncate(file, here) != 0) {
            Fail();
            return static_cast<UINT>(HFILE_ERROR);
        }
        return 0;
    }
    UINT total = 0;
    while (total < bytes) {
        ssize_t put = ::write(file, buffer + total, bytes - total);
        if (put < 0) {
            if (errno == EINTR) continue;
            Fail();
            return static_cast<UINT>(HFILE_ERROR);
        }
        total += static_cast<UINT>(put);
    }
    return total;
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin) {
    if (portable::KernelCallFails(portable::KERNEL_FILE_SEEK)) return HFILE_ERROR;
    int whence;
    switch (origin) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default:
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    off_t position = ::lseek(file, offset, whence);
    if (position < 0) {
        if (errno == EINVAL) {
            portable::SetLastErrorCode(ERROR_NEGATIVE_SEEK);
            return HFILE_ERROR;
        }
        return Fail();
    }
    if (position > 0x7FFFFFFF) {
        // Beyond what a 32-bit position can say: refuse rather than wrap.
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    return static_cast<LONG>(position);
}

HFILE WINAPI _lclose(HFILE file) {
    if (file < 0 || ::close(file) != 0) {
        if (file < 0) errno = EBADF;
        return Fail();
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_CLOSE)) return HFILE_ERROR;
    return 0;
}

BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    if (from == nullptr || to == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_REPLACE, to)) return FALSE;
    std::string source = portable::HostPath(from);
    std::string target = portable::HostPath(to);
    struct stat info;
    if (::lstat(source.c_str(), &info) != 0) {
        FailOn(source);
        return FALSE;
    }
    // A name that is taken, even by a link to nothing, is not replaced unasked.
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && ::lstat(target.c_str(), &info) == 0) {
        portable::SetLastErrorCode(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (::rename(source.c_str(), target.c_str()) != 0) {
        FailOn(target);
        return FALSE;
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        // Make the new name itself durable: sync the directory that holds it.
        std::string directory = target.substr(0, target.find_last_of('/') == std::string::npos ? 0 : target.find_last_of('/'));
        int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    return TRUE;
}

BOOL WINAPI ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID, LPVOID) {
    if (replaced == nullptr || replacement == nullptr || backup != nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_REPLACE, replaced)) return FALSE;
    std::string source = portable::HostPath(replacement);
    std::string named = portable::HostPath(replaced);
    // A link is followed: the file it names is the one replaced.
    char target[PATH_MAX];
    if (::realpath(named.c_str(), target) == nullptr) {
        FailOn(named);
        return FALSE;
    }
    struct stat old;
    if (::stat(target, &old) != 0 || !S_ISREG(old.st_mode) ||
        ::faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0) {
        // A file its user may not write is not replaced, as Windows keeps a read-only file.
        portable::SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    int fd = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        FailOn(source);
        return FALSE;
    }
    // The replaced file's permissions, and its owner where this process
    // may give it (a user who may not can still give the file its group).
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    bool kept = ::fchmod(fd, old.st_mode & 07777) == 0;
    ::close(fd);
    if (!kept || ::rename(source.c_str(), target) != 0) {
        portable::SetLastErrorCode(errno == EXDEV ? ERROR_NOT_SAME_DEVICE : ERROR_UNABLE_TO_MOVE_REPLACEMENT);
        return FALSE;
    }
    if (!(flags & REPLACEFILE_WRITE_THROUGH)) return TRUE;
    // Asked for: the new name itself made durable, by syncing its directory.
    std::string directory = target;
    directory.erase(directory.find_last_of('/') == 0 ? 1 : directory.find_last_of('/'));
    int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR path) {
    if (path == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (portable::KernelCallFails(portable::KERNEL_FILE_DELETE, path)) return FALSE;
    std::string host = portable::HostPath(path);
    struct stat info;
    if (::lstat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        portable::SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(host.c_str()) != 0) {
        FailOn(host);
        return FALSE;
    }
    return TRUE;
}
