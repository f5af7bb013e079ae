#include "orvixfax/book_access.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "addrbook/address_book_file.h"
#include "orvixfax/cli_support.h"

namespace {

namespace fs = std::filesystem;

// Why a book that is there could not be read, in the user's words.
std::string UnreadableReason(const std::string &path, DWORD error) {
    std::error_code failed;
    fs::file_status status = fs::status(Shown(path), failed);
    if (!failed && fs::is_directory(status)) return "it is a directory";
    if (!failed && fs::exists(status) && !fs::is_regular_file(status)) return "it is not a regular file";
    return ErrorText(error);
}

}  // namespace

std::string BookPath(const std::string &directory) { return directory + "\\" ADDRESS_BOOK_FILE_NAME; }

std::string Shown(const std::string &path) {
    std::string shown = path;
    for (char &c : shown)
        if (c == '\\') c = static_cast<char>(fs::path::preferred_separator);
    return shown;
}

bool BookExists(const std::string &path) {
    std::error_code failed;
    fs::file_status status = fs::symlink_status(Shown(path), failed);
    return status.type() != fs::file_type::not_found && status.type() != fs::file_type::none;
}

namespace {

std::string OutOfMemory(const std::string &path) {
    return "not enough memory to load the address book " + Shown(path) + "; nothing was changed";
}

// The file into a block of the module's (none for a missing or empty file),
// or false with the reason it cannot be had.
bool ReadBookBlock(const std::string &path, char **buffer, int32_t *size, std::string &error) {
    *buffer = nullptr;
    *size = 0;
    FileRef ref{};
    ref.handle = INVALID_HANDLE_VALUE;
    if (path.size() >= sizeof ref.path) {
        error = "the path " + Shown(path) + " is too long";
        return false;
    }
    std::snprintf(ref.path, sizeof ref.path, "%s", path.c_str());
    uint16_t result = ReadFileToBlock(&ref, buffer, size);
    if (result == ERR_CANT_READ) {
        error = "the address book " + Shown(path) + " cannot be read: " + UnreadableReason(path, ref.error) +
                "; nothing was changed";
        return false;
    }
    if (result == ERR_NO_MEMORY) {
        error = OutOfMemory(path);
        return false;
    }
    return true;
}

void FreeBookBlock(char *buffer) {
    void *bytes = buffer;
    DisposePtr(&bytes);
}

}  // namespace

BookContext LoadBook(const std::string &path, std::string &error) {
    WorkingContext *opened = nullptr;
    int open = OpenEmptyWorkingContext(&opened);
    BookContext context(opened);
    if (!open) {
        error = OutOfMemory(path);
        return nullptr;
    }
    char *buffer = nullptr;
    int32_t size = 0;
    if (!ReadBookBlock(path, &buffer, &size, error)) return nullptr;
    uint16_t result = ParseAddressBook(context.get(), buffer, static_cast<size_t>(size));
    FreeBookBlock(buffer);
    if (result == ERR_NO_MEMORY) {
        error = OutOfMemory(path);
        return nullptr;
    }
    RemoveEmptyGroups(context.get());
    return context;
}

BookBytes::~BookBytes() { FreeBookBlock(buffer_); }

bool BookBytes::Read(const std::string &path, std::string &error) {
    FreeBookBlock(buffer_);
    buffer_ = nullptr;
    size_ = 0;
    int32_t size = 0;
    if (!ReadBookBlock(path, &buffer_, &size, error)) return false;
    size_ = static_cast<size_t>(size);
    return true;
}

bool SaveBook(WorkingContext *context, const std::string &path, std::string &error) {
    if (SaveAddressBook(context, path.c_str())) return true;
    error = "the address book could not be saved to " + Shown(path) + ": " + ErrorText(GetLastError()) +
            "; the file there was not replaced";
    return false;
}

BookLock::~BookLock() {
    // Closing the handle releases the lock.
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool BookLock::Acquire(const std::string &bookPath, std::string &error) {
    const std::string lockPath = bookPath + ".lock";
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    file_ = CreateFileA(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    // A lock file another user made may be only readable: locking needs no more.
    if (file_ == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        file_ = CreateFileA(lockPath.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        error = "the address book cannot be locked (" + Shown(lockPath) + "): " + ErrorText(GetLastError()) +
                "; nothing was changed";
        return false;
    }
    OVERLAPPED start{};
    if (LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) return true;
    if (GetLastError() == ERROR_LOCK_VIOLATION) {
        // One write: commands waiting together share standard error, and an
        // unbuffered stream would interleave the pieces of their lines.
        std::cerr << "waiting for another command to finish with the address book " + Shown(bookPath) + "\n";
        OVERLAPPED again{};
        if (LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &again)) return true;
    }
    error = "the address book cannot be locked (" + Shown(lockPath) + "): " + ErrorText(GetLastError()) +
            "; nothing was changed";
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return false;
}
