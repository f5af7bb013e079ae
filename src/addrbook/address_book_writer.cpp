// Writing the whole address book back to its file.
#include <cstring>

#include "addrbook/address_book_file.h"
#include "addrbook/address_book_index.h"
#include "common/byte_scan.h"
#include "common/text_field.h"

namespace {

// The staging block is written out once WRITE_STAGING bytes are in it.
// The WRITE_SLACK bytes behind that let a person line's fixed fields, one
// of its numbers or one member reference go in after a single look at the
// block, with every byte escaped and the last chunk of each field running
// past the field's end.
enum : uint32_t { WRITE_STAGING = 64 * 1024, WRITE_SLACK = 1024 };
enum { MEMBER_REF_SIZE = 48 };

// The new book gathers in one staging block and goes to the file in large
// writes: the fields are escaped straight into the block, so a field costs
// a pass over its bytes rather than a write call for each of its pieces.
// The block holds WRITE_SLACK bytes more than `size`.
struct BookOutput {
    FileRef *ref;
    char *bytes;
    size_t size;  // where the block is due to be written out
    size_t used;
};

void Flush(BookOutput *out) {
    if (out->used == 0) return;
    uint32_t count = static_cast<uint32_t>(out->used);
    FileWrite(out->ref, out->bytes, &count);
    out->used = 0;
}

// Every write starts here: what follows may then fill the block up to
// `size`, or a chunked field up to WRITE_SLACK bytes beyond.
void MakeRoom(BookOutput *out) {
    if (out->used >= out->size) Flush(out);
}

// A write that fills the block goes in steps, the block written out each
// time it is full.
void PutBytesInSteps(BookOutput *out, const char *bytes, size_t length) {
    while (length > 0) {
        MakeRoom(out);
        size_t step = out->size - out->used;
        if (step > length) step = length;
        std::memcpy(out->bytes + out->used, bytes, step);
        out->used += step;
        bytes += step;
        length -= step;
    }
}

void PutBytes(BookOutput *out, const char *bytes, size_t length) {
    MakeRoom(out);
    if (length > out->size - out->used) {
        PutBytesInSteps(out, bytes, length);
        return;
    }
    std::memcpy(out->bytes + out->used, bytes, length);
    out->used += length;
}

void PutByte(BookOutput *out, char byte) {
    MakeRoom(out);
    out->bytes[out->used++] = byte;
}

// What a byte of a person field becomes, or 0 when it is written as it is.
// TAB and FF get a backslash in front: the reader ends fields at both and
// an FF would start the group section, but an escaped byte reads back as
// itself.
constexpr char EscapeFor(char byte) {
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

// The position of the first of sixteen bytes that may end a run written
// as it is. The bytes EscapeFor changes, but for the comma and the
// backslash, and the zero that ends the text are all control bytes up to
// CR: one comparison finds them, along with the other control bytes up
// there, which are rare in a book and go on as they are.
inline unsigned RunEnd16(const char *chunk) {
    return FirstBelowOrOf16<'\r' + 1, ',', '\\'>(chunk);
}

// Where a run of bytes written as they are stops, one look a byte: for a
// text whose end is not known beforehand.
struct StopTable {
    bool stops[256];
};

constexpr StopTable MakeStopTable() {
    StopTable table{};
    for (int value = 0; value < 256; ++value)
        table.stops[value] = value == 0 || EscapeFor(static_cast<char>(value)) != 0;
    return table;
}

constexpr StopTable kRunStops = MakeStopTable();

// One text, escaped (nothing for an empty text).
void PutEscapedText(BookOutput *out, const char *text) {
    const char *read = text;
    // The reader skips blanks in front of a field; an escaped one is kept.
    if (*read == ' ') {
        PutBytes(out, "\\ ", 2);
        ++read;
    }
    for (;;) {
        const char *run = read;
        while (!kRunStops.stops[static_cast<unsigned char>(*read)]) ++read;
        PutBytes(out, run, static_cast<size_t>(read - run));
        if (*read == '\0') return;
        const char pair[2] = {'\\', EscapeFor(*read)};
        PutBytes(out, pair, 2);
        ++read;
    }
}

// Copies the sixteen bytes of `chunk` to `*to` and passes over them up
// to the first byte that may need an escape, escaping it; true when that
// byte ends the text. `*to` and `*from` (the position in the text) move on
// by what was taken.
inline bool EscapeChunk(char **to, const char *chunk, size_t *from) {
    std::memcpy(*to, chunk, 16);
    unsigned run = RunEnd16(chunk);
    *from += run;
    *to += run;
    if (run == 16) return false;
    char byte = chunk[run];
    if (byte == '\0') return true;
    char escape = EscapeFor(byte);
    if (escape != 0) {
        *(*to)++ = '\\';
        byte = escape;
    }
    *(*to)++ = byte;
    ++*from;
    return false;
}

// One field of a record, escaped as PutEscapedText escapes a text, up to
// its zero byte or its end, at `to`; where it ends. It is read and copied
// sixteen bytes at a time: a chunk may carry bytes past the text's end,
// where the next write goes over them.
template <size_t N>
char *EscapeField(char *to, const char (&field)[N]) {
    static_assert(N > 16, "the first chunk is read in place");
    size_t from = 0;
    // The reader skips blanks in front of a field; an escaped one is kept.
    if (field[0] == ' ') {
        *to++ = '\\';
        *to++ = ' ';
        from = 1;
    }
    // Most texts end in their first chunk, read in place.
    if (EscapeChunk(&to, field + from, &from)) return to;
    FieldChunks<N> chunks(field);
    while (!EscapeChunk(&to, chunks.At(from), &from)) {
    }
    return to;
}

// The most a field of `size` bytes takes in the block while it is written:
// every byte escaped and its last chunk running on.
constexpr size_t EscapedRoom(size_t size) { return 2 * size + 16; }

// What a person line takes in the block before its numbers (six
// separators, the one that stands for no numbers and the line's end), and
// what each of its numbers takes (two separators and the line's end).
constexpr size_t kPersonRoom = EscapedRoom(sizeof(PersonRecord::firstName)) +
                               EscapedRoom(sizeof(PersonRecord::lastName)) +
                               EscapedRoom(sizeof(PersonRecord::company)) +
                               EscapedRoom(sizeof(PersonRecord::department)) +
                               EscapedRoom(sizeof(PersonRecord::notes)) + 8;
constexpr size_t kNumberRoom =
    EscapedRoom(sizeof(NumberRecord::number)) + EscapedRoom(sizeof(NumberRecord::details)) + 3;
static_assert(kPersonRoom <= WRITE_SLACK && kNumberRoom <= WRITE_SLACK, "a step fits in the slack");
static_assert(EscapedRoom(MEMBER_REF_SIZE) + 2 <= WRITE_SLACK, "a member reference fits in the slack");

// Where the next bytes go: what follows may take up to WRITE_SLACK bytes
// before the block is looked at again, at EndAt.
char *RoomAt(BookOutput *out) {
    MakeRoom(out);
    return out->bytes + out->used;
}

void EndAt(BookOutput *out, const char *to) { out->used = static_cast<size_t>(to - out->bytes); }

// A person's line: first and last name, an empty field, company,
// department, notes and each number with its details.
void PutPerson(BookOutput *out, const PersonRecord *person) {
    char *to = RoomAt(out);
    *to++ = ',';
    to = EscapeField(to, person->firstName);
    *to++ = ',';
    to = EscapeField(to, person->lastName);
    *to++ = ',';
    *to++ = ',';
    to = EscapeField(to, person->company);
    *to++ = ',';
    to = EscapeField(to, person->department);
    *to++ = ',';
    to = EscapeField(to, person->notes);
    const NumberRecord *number = person->numbers != nullptr ? person->numbers->next : nullptr;
    if (number == nullptr) *to++ = ',';
    for (; number != nullptr; number = number->next) {
        EndAt(out, to);
        to = RoomAt(out);
        *to++ = ',';
        to = EscapeField(to, number->number);
        *to++ = ',';
        to = EscapeField(to, number->details);
    }
    *to++ = '\n';
    EndAt(out, to);
}

// A group name as it stands, with the escapes IsGroupNameSeparator and
// EndsGroupNameEscapeRun describe: a backslash in front of a separator and
// of a blank that starts the name, and each backslash of a run before such
// a byte or at the end doubled.
void PutGroupName(BookOutput *out, const char *name) {
    const char *read = name;
    while (*read != '\0') {
        if (*read == '\\') {
            const char *run = read;
            while (*read == '\\') ++read;
            PutBytes(out, run, static_cast<size_t>(read - run));
            if (EndsGroupNameEscapeRun(*read, run == name)) PutBytes(out, run, static_cast<size_t>(read - run));
            continue;
        }
        if (IsGroupNameSeparator(*read) || (*read == ' ' && read == name)) PutByte(out, '\\');
        PutByte(out, *read);
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

void WriteBook(BookOutput *out, WorkingContext *context) {
    AddressIndex index{};
    int indexed = BeginAddressIndex(&index, context->groups);
    int32_t position = 0;
    for (const PersonRecord *person = context->persons->next; person != nullptr; person = person->next) {
        PutPerson(out, person);
        NoteMemberPositions(&index, person, position++);
    }
    PutByte(out, '\f');

    char reference[MEMBER_REF_SIZE];
    for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
        PutGroupName(out, group->name);
        MemberLink *link = group->members != nullptr ? group->members->next : nullptr;
        for (; link != nullptr; link = link->next) {
            if (indexed)
                FormatIndexedMemberRef(&index, link, reference, sizeof reference);
            else
                FormatMemberRef(context, link, reference, sizeof reference);
            char *to = RoomAt(out);
            *to++ = ',';
            EndAt(out, EscapeField(to, reference));
        }
        PutByte(out, '\n');
    }
    FreeAddressIndex(&index);
    Flush(out);
}

}  // namespace

void WriteEscapedField(FileRef *ref, const char *text) {
    char staging[256 + WRITE_SLACK];
    BookOutput out{ref, staging, 256, 0};
    PutEscapedText(&out, text);
    Flush(&out);
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

    // Without its staging block the book still goes out, in small writes.
    void *staging = nullptr;
    char fallback[256 + WRITE_SLACK];
    BookOutput out{&ref, fallback, 256, 0};
    if (CreatePtr(&staging, WRITE_STAGING + WRITE_SLACK) == ERR_NONE) {
        out.bytes = static_cast<char *>(staging);
        out.size = WRITE_STAGING;
    }
    WriteBook(&out, context);
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
