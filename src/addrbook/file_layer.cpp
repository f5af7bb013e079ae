// The small file layer under the address book reader and writer, over the
// Windows file handle functions.
#include <cstring>

#include "addrbook/address_book_file.h"
#include "common/text_field.h"

namespace {

// The book is read straight into its block, this much a call: a read call
// per kilobyte made a large book's load wait on thousands of system calls,
// and a copy through a staging block cost as much again as the reading.
enum : uint32_t { READ_CHUNK = 1024 * 1024 };

// Hands the staged bytes to the file; a short write marks the ref failed.
void FlushWriteBuffer(FileRef *ref) {
    if (ref->writeBuffered == 0) return;
    DWORD written = 0;
    if (!WriteFile(ref->handle, ref->writeBuffer, ref->writeBuffered, &written, nullptr) ||
        written != ref->writeBuffered) {
        if (!ref->writeFailed) ref->error = GetLastError();
        ref->writeFailed = 1;
    }
    ref->writeBuffered = 0;
}

// Where there is nothing to open, the file is missing (an empty path comes
// from a system directory that could not be had).
uint16_t NoPath(FileRef *ref) {
    ref->handle = INVALID_HANDLE_VALUE;
    ref->error = ERROR_PATH_NOT_FOUND;
    return ERR_CANT_OPEN;
}

}  // namespace

int GetSystemBookPath(char *path, size_t size) {
    if (path == nullptr || size == 0) return 0;
    path[0] = '\0';
    char directory[SYSTEM_DIRECTORY_SIZE];
    UINT length = GetSystemDirectoryA(directory, sizeof directory);
    // 0 is a failure; a length of the buffer or more means it did not fit
    // and the buffer holds nothing usable.
    if (length == 0 || length >= sizeof directory) return 0;
    if (length + 1 + std::strlen(ADDRESS_BOOK_FILE_NAME) + 1 > size) return 0;
    CopyField(path, size, directory);
    AppendField(path, size, "\\");
    AppendField(path, size, ADDRESS_BOOK_FILE_NAME);
    return 1;
}

uint16_t FileCreate(FileRef *ref) {
    ref->writeBuffered = 0;
    ref->writeFailed = 0;
    ref->writing = 1;
    if (ref->path[0] == '\0') return NoPath(ref);
    ref->handle = CreateFileA(ref->path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ref->handle != INVALID_HANDLE_VALUE) return ERR_NONE;
    ref->error = GetLastError();
    return ERR_CANT_OPEN;
}

// A leftover of a save that was stopped, or a link planted under a name,
// only moves the caller on to the next name.
uint16_t CreateTemporaryBeside(const char *path, FileRef *ref) {
    size_t length = std::strlen(path);
    char suffix[40];
    ref->error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wsprintfA(suffix, ".%lu-%d.new", static_cast<unsigned long>(GetCurrentProcessId()), attempt);
        if (length == 0 || length + std::strlen(suffix) + 1 > sizeof ref->path) {
            ref->error = ERROR_FILENAME_EXCED_RANGE;
            return ERR_CANT_OPEN;
        }
        CopyField(ref->path, path);
        AppendField(ref->path, suffix);
        if (FileCreate(ref) == ERR_NONE) return ERR_NONE;
        if (ref->error != ERROR_FILE_EXISTS && ref->error != ERROR_ALREADY_EXISTS) return ERR_CANT_OPEN;
    }
    return ERR_CANT_OPEN;
}

uint16_t FileOpen(FileRef *ref) {
    ref->writing = 0;
    if (ref->path[0] == '\0') return NoPath(ref);
    // Others may read it too, and replace it while it is read.
    ref->handle = CreateFileA(ref->path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ref->handle != INVALID_HANDLE_VALUE) return ERR_NONE;
    ref->error = GetLastError();
    // Only a file that is not there is missing; any other failure (no
    // permission, in use, a directory in its place) leaves a file unread.
    if (ref->error == ERROR_FILE_NOT_FOUND || ref->error == ERROR_PATH_NOT_FOUND) return ERR_CANT_OPEN;
    return ERR_CANT_READ;
}

uint16_t FileClose(FileRef *ref) {
    if (ref->handle == INVALID_HANDLE_VALUE) return ERR_NONE;
    if (ref->writeBuffer != nullptr) FlushWriteBuffer(ref);
    // A written file is on the disk before it can take the book's place.
    if (ref->writing && !ref->writeFailed && !FlushFileBuffers(ref->handle)) {
        ref->error = GetLastError();
        ref->writeFailed = 1;
    }
    if (!CloseHandle(ref->handle) && !ref->writeFailed) {
        ref->error = GetLastError();
        ref->writeFailed = 1;
    }
    ref->handle = INVALID_HANDLE_VALUE;
    return ERR_NONE;
}

uint16_t FileWrite(FileRef *ref, const void *bytes, uint32_t *count) {
    const char *data = static_cast<const char *>(bytes);
    uint32_t wanted = *count;
    if (ref->writeBuffer == nullptr) {
        DWORD written = 0;
        if (!WriteFile(ref->handle, data, wanted, &written, nullptr) || written != wanted) {
            if (!ref->writeFailed) ref->error = GetLastError();
            ref->writeFailed = 1;
        }
        *count = written;
        return ERR_NONE;
    }
    // Staged: many small field writes become few large ones.
    uint32_t left = wanted;
    while (left > 0) {
        if (ref->writeBuffered == ref->writeBufferSize) FlushWriteBuffer(ref);
        uint32_t room = ref->writeBufferSize - ref->writeBuffered;
        uint32_t step = left < room ? left : room;
        std::memcpy(ref->writeBuffer + ref->writeBuffered, data, step);
        ref->writeBuffered += step;
        data += step;
        left -= step;
    }
    return ERR_NONE;
}

uint16_t FileWriteString(FileRef *ref, const char *text) {
    uint32_t count = static_cast<uint32_t>(std::strlen(text));
    if (count == 0) return ERR_NONE;
    return FileWrite(ref, text, &count);
}

uint16_t FileGetSize(FileRef *ref, int32_t *size) {
    *size = -1;
    if (ref->handle == INVALID_HANDLE_VALUE) return ERR_NONE;
    DWORD high = 0;
    // INVALID_FILE_SIZE is also a true low part: only the last error tells.
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(ref->handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        ref->error = GetLastError();
        return ERR_NONE;
    }
    // Beyond what the book's 32-bit sizes can hold: a size that cannot be told.
    if (high != 0 || low > 0x7FFFFFFFu) {
        ref->error = ERROR_FILE_TOO_LARGE;
        return ERR_NONE;
    }
    *size = static_cast<int32_t>(low);
    return ERR_NONE;
}

uint16_t FileReadAll(FileRef *ref, char *buffer, int32_t size) {
    int32_t total = 0;
    while (total < size) {
        // Never more than the buffer has room for, even if the file grew
        // since its size was taken.
        uint32_t want = static_cast<uint32_t>(size - total);
        if (want > READ_CHUNK) want = READ_CHUNK;
        DWORD got = 0;
        if (!ReadFile(ref->handle, buffer + total, want, &got, nullptr)) {
            ref->error = GetLastError();
            return ERR_CANT_READ;
        }
        if (got == 0) {
            // It grew shorter while being read: what there is is not the book.
            ref->error = ERROR_HANDLE_EOF;
            return ERR_CANT_READ;
        }
        total += static_cast<int32_t>(got);
    }
    return ERR_NONE;
}

uint16_t ReadFileToBlock(FileRef *ref, char **buffer, int32_t *size) {
    *buffer = nullptr;
    *size = 0;
    uint16_t opened = FileOpen(ref);
    if (opened != ERR_NONE) return opened;
    int32_t length = 0;
    FileGetSize(ref, &length);
    if (length == 0) {
        FileClose(ref);
        return ERR_EMPTY_FILE;
    }
    // A size that cannot be told is not an empty file: taking it for one
    // would have the exporter write over the book.
    if (length < 0) {
        FileClose(ref);
        return ERR_CANT_READ;
    }
    void *block = nullptr;
    if (CreatePtr(&block, static_cast<size_t>(length)) != ERR_NONE) {
        FileClose(ref);
        return ERR_NO_MEMORY;
    }
    uint16_t result = FileReadAll(ref, static_cast<char *>(block), length);
    FileClose(ref);
    if (result != ERR_NONE) {
        DisposePtr(&block);
        return result;
    }
    *buffer = static_cast<char *>(block);
    *size = length;
    return ERR_NONE;
}
