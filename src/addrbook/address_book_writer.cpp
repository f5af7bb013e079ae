// Writing the whole address book back to its file.
#include <cstring>

#include "../common/text_field.h"
#include "address_book_file.h"
#include "address_book_index.h"

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

// A group name is written as it stands but for the bytes that would split
// it from its members or be lost when read (separators, a backslash, a
// leading blank): each gets a backslash in front.
void WriteGroupName(FileRef *ref, const char *name) {
    const char *run = name;
    for (const char *read = name; *read != '\0'; ++read) {
        // A blank needs its backslash only in front, where the reader skips blanks.
        bool escaped = *read == ' ' ? read == name : IsGroupNameEscape(*read);
        if (!escaped) continue;
        WriteBytes(ref, run, static_cast<size_t>(read - run));
        WriteBytes(ref, "\\", 1);
        run = read;
    }
    WriteBytes(ref, run, std::strlen(run));
}

// The temporary file beside the book: the same path with ".new" behind it.
int TemporaryPath(const char *path, char *temporary, size_t size) {
    size_t length = std::strlen(path);
    if (length == 0 || length + 5 > size) return 0;
    CopyField(temporary, size, path);
    AppendField(temporary, size, ".new");
    return 1;
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
    if (context == nullptr || context->persons == nullptr || context->groups == nullptr) return 0;
    if (path == nullptr) return 0;
    FileRef ref{};
    ref.handle = HFILE_ERROR;
    // Written beside the book and moved over it only when complete: a save
    // that fails half way (full disk, lost share) leaves the old book whole.
    if (!TemporaryPath(path, ref.path, sizeof ref.path)) return 0;
    if (FileCreate(&ref) != ERR_NONE) return 0;

    void *staging = nullptr;
    if (CreatePtr(&staging, WRITE_STAGING) == ERR_NONE) {
        ref.writeBuffer = static_cast<char *>(staging);
        ref.writeBufferSize = WRITE_STAGING;
    }
    WriteBook(&ref, context);
    FileClose(&ref);
    DisposePtr(&staging);

    if (ref.writeFailed || !MoveFileExA(ref.path, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(ref.path);
        return 0;
    }
    return 1;
}
