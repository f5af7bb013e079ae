// Writing the whole address book back to its file.
#include <cstring>

#include "addrbook/address_book_file.h"
#include "addrbook/address_book_index.h"
#include "common/text_field.h"

namespace {

enum : uint32_t { WRITE_STAGING = 64 * 1024 };
enum { MEMBER_REF_SIZE = 48 };

void WriteBytes(FileRef *ref, const char *bytes, size_t length) {
    if (length == 0) return;
    uint32_t count = static_cast<uint32_t>(length);
    FileWrite(ref, bytes, &count);
}

// What a byte of a person field becomes, or 0 when it is written as it is.
// TAB and FF get a backslash in front: the reader ends fields at both and
// an FF would start the group section, but an escaped byte reads back as
// itself.
char EscapeFor(char byte) {
    switch (byte) {
    case ',': return ',';
    case '\\': return '\\';
    case '\r': return 'r';
    case '\n': return 'n';
    case '\t': return '\t';
    case '\f': return '\f';
    default: return 0;
    }
}

// A group name as it stands, with the escapes IsGroupNameSeparator and
// EndsGroupNameEscapeRun describe: a backslash in front of a separator and
// of a blank that starts the name, and each backslash of a run before such
// a byte or at the end doubled.
void WriteGroupName(FileRef *ref, const char *name) {
    const char *read = name;
    while (*read != '\0') {
        if (*read == '\\') {
            const char *run = read;
            while (*read == '\\') ++read;
            WriteBytes(ref, run, static_cast<size_t>(read - run));
            if (EndsGroupNameEscapeRun(*read, run == name)) WriteBytes(ref, run, static_cast<size_t>(read - run));
            continue;
        }
        if (IsGroupNameSeparator(*read) || (*read == ' ' && read == name)) WriteBytes(ref, "\\", 1);
        WriteBytes(ref, read, 1);
        ++read;
    }
}

// The new file takes the book's place. ReplaceFileA keeps the book's
// attributes and security; where there is no book yet, the file is moved
// there, but never over a book that appeared in the meantime.
BOOL ReplaceBook(const char *path, const char *temporary) {
    if (ReplaceFileA(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return TRUE;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return FALSE;
    return MoveFileExA(temporary, path, MOVEFILE_WRITE_THROUGH);
}

void WriteBook(FileRef *ref, WorkingContext *context) {
    for (PersonRecord *person = context->persons->next; person != nullptr; person = person->next) {
        WriteBytes(ref, ",", 1);
        WriteEscapedField(ref, person->firstName);
        WriteBytes(ref, ",", 1);
        WriteEscapedField(ref, person->lastName);
        WriteBytes(ref, ",,", 2);
        WriteEscapedField(ref, person->company);
        WriteBytes(ref, ",", 1);
        WriteEscapedField(ref, person->department);
        WriteBytes(ref, ",", 1);
        WriteEscapedField(ref, person->notes);
        NumberRecord *number = person->numbers != nullptr ? person->numbers->next : nullptr;
        if (number == nullptr) WriteBytes(ref, ",", 1);
        for (; number != nullptr; number = number->next) {
            WriteBytes(ref, ",", 1);
            WriteEscapedField(ref, number->number);
            WriteBytes(ref, ",", 1);
            WriteEscapedField(ref, number->details);
        }
        WriteBytes(ref, "\n", 1);
    }
    WriteBytes(ref, "\f", 1);

    AddressIndex index{};
    int indexed = BuildAddressIndex(&index, context->persons, context->groups);
    char reference[MEMBER_REF_SIZE];
    for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
        WriteGroupName(ref, group->name);
        MemberLink *link = group->members != nullptr ? group->members->next : nullptr;
        for (; link != nullptr; link = link->next) {
            if (indexed)
                FormatIndexedMemberRef(&index, link, reference, sizeof reference);
            else
                FormatMemberRef(context, link, reference, sizeof reference);
            WriteBytes(ref, ",", 1);
            WriteEscapedField(ref, reference);
        }
        WriteBytes(ref, "\n", 1);
    }
    FreeAddressIndex(&index);
}

}  // namespace

void WriteEscapedField(FileRef *ref, const char *text) {
    const char *run = text;
    const char *read = text;
    // The reader skips blanks in front of a field; an escaped one is kept.
    if (*read == ' ') {
        WriteBytes(ref, "\\ ", 2);
        run = ++read;
    }
    for (; *read != '\0'; ++read) {
        char escape = EscapeFor(*read);
        if (escape == 0) continue;
        WriteBytes(ref, run, static_cast<size_t>(read - run));
        char pair[2] = {'\\', escape};
        WriteBytes(ref, pair, 2);
        run = read + 1;
    }
    WriteBytes(ref, run, static_cast<size_t>(read - run));
}

int SaveAddressBook(WorkingContext *context, const char *path) {
    if (context == nullptr || context->persons == nullptr || context->groups == nullptr || path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // What could not be read is not known to be this book: never over it.
    if (context->bookUnreadable) {
        SetLastError(context->bookReadError != 0 ? context->bookReadError : ERROR_ACCESS_DENIED);
        return 0;
    }
    FileRef ref{};
    ref.handle = INVALID_HANDLE_VALUE;
    // Written beside the book and moved over it only when complete: a save
    // that fails half way (full disk, lost share) leaves the old book whole.
    if (CreateTemporaryBeside(path, &ref) != ERR_NONE) {
        SetLastError(ref.error);
        return 0;
    }

    void *staging = nullptr;
    if (CreatePtr(&staging, WRITE_STAGING) == ERR_NONE) {
        ref.writeBuffer = static_cast<char *>(staging);
        ref.writeBufferSize = WRITE_STAGING;
    }
    WriteBook(&ref, context);
    FileClose(&ref);
    DisposePtr(&staging);

    DWORD error = ref.error;
    if (!ref.writeFailed) {
        if (ReplaceBook(path, ref.path)) return 1;
        error = GetLastError();
    }
    DeleteFileA(ref.path);
    SetLastError(error);
    return 0;
}
