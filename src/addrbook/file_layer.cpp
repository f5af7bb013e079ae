// The small file layer under the address book reader and writer, over the
// Windows _l* file functions.
#include <cstring>

#include "../common/text_field.h"
#include "address_book_file.h"

namespace {

enum : uint32_t { READ_CHUNK = 1024 };

// Hands the staged bytes to the file; a short write marks the ref failed.
void FlushWriteBuffer(FileRef *ref) {
    if (ref->writeBuffered == 0) return;
    UINT written = _lwrite(ref->handle, ref->writeBuffer, ref->writeBuffered);
    if (written != ref->writeBuffered) ref->writeFailed = 1;
    ref->writeBuffered = 0;
}

}  // namespace

int GetAddressBookPath(char *path, size_t size) {
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
    if (ref->path[0] == '\0') {
        ref->handle = HFILE_ERROR;
        return ERR_CANT_OPEN;
    }
    ref->handle = _lcreat(ref->path, 0);
    return ref->handle == HFILE_ERROR ? ERR_CANT_OPEN : ERR_NONE;
}

uint16_t FileOpen(FileRef *ref) {
    if (ref->path[0] == '\0') {
        ref->handle = HFILE_ERROR;
        return ERR_CANT_OPEN;
    }
    ref->handle = _lopen(ref->path, ref->mode);
    return ref->handle == HFILE_ERROR ? ERR_CANT_OPEN : ERR_NONE;
}

uint16_t FileClose(FileRef *ref) {
    if (ref->handle == HFILE_ERROR) return ERR_NONE;
    if (ref->writeBuffer != nullptr) FlushWriteBuffer(ref);
    if (_lclose(ref->handle) == HFILE_ERROR) ref->writeFailed = 1;
    ref->handle = HFILE_ERROR;
    return ERR_NONE;
}

uint16_t FileWrite(FileRef *ref, const void *bytes, uint32_t *count) {
    const char *data = static_cast<const char *>(bytes);
    uint32_t wanted = *count;
    if (ref->writeBuffer == nullptr) {
        UINT written = _lwrite(ref->handle, data, wanted);
        if (written != wanted) ref->writeFailed = 1;
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
    if (ref->handle == HFILE_ERROR) {
        *size = -1;
        return ERR_NONE;
    }
    *size = _llseek(ref->handle, 0, FILE_END);
    _llseek(ref->handle, 0, FILE_BEGIN);
    return ERR_NONE;
}

uint16_t FileReadAll(FileRef *ref, char *buffer, int32_t size) {
    void *staging = nullptr;
    if (CreatePtr(&staging, READ_CHUNK) != ERR_NONE) return ERR_NO_MEMORY;
    uint16_t result = ERR_NONE;
    int32_t total = 0;
    while (total < size) {
        // Never more than the buffer has room for, even if the file grew
        // since its size was taken.
        uint32_t want = static_cast<uint32_t>(size - total);
        if (want > READ_CHUNK) want = READ_CHUNK;
        UINT got = _lread(ref->handle, staging, want);
        if (got == static_cast<UINT>(HFILE_ERROR)) {
            result = ERR_NO_MEMORY;
            break;
        }
        if (got == 0) break;
        if (got > want) got = want;
        std::memcpy(buffer + total, staging, got);
        total += static_cast<int32_t>(got);
    }
    DisposePtr(&staging);
    return result;
}

uint16_t ReadFileToBlock(FileRef *ref, char **buffer, int32_t *size) {
    *buffer = nullptr;
    *size = 0;
    if (FileOpen(ref) != ERR_NONE) return ERR_CANT_OPEN;
    int32_t length = 0;
    FileGetSize(ref, &length);
    if (length == 0) {
        FileClose(ref);
        return ERR_EMPTY_FILE;
    }
    // A size that cannot be told (a file beyond 2 GB) is not an empty file:
    // taking it for one would have the exporter write over the book.
    if (length < 0) {
        FileClose(ref);
        return ERR_NO_MEMORY;
    }
    void *block = nullptr;
    if (CreatePtr(&block, static_cast<size_t>(length)) != ERR_NONE) {
        FileClose(ref);
        return ERR_NO_MEMORY;
    }
    uint16_t result = FileReadAll(ref, static_cast<char *>(block), length);
    FileClose(ref);
    *buffer = static_cast<char *>(block);
    *size = length;
    return result;
}
