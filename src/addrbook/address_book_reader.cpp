// Reading the address book file into the working context's lists.
#include <cstring>

#include "addrbook/address_book_file.h"
#include "addrbook/address_book_index.h"
#include "common/text_field.h"

namespace {

// Room for any decoded field before it is cut to its record field.
enum { DECODE_BUFFER = 256 };

struct Reader {
    WorkingContext *context;
    Tokenizer tokenizer;
    // Remembered tails keep appending linear; they stand for the walk from
    // the sentinel that ListAppend makes.
    PersonRecord *personTail;
    GroupRecord *groupTail;
    // Positions for the member references, kept as the persons are read.
    PositionIndex index;
    // A record could not be made: the load stops and keeps nothing.
    int outOfMemory;
};

char *Next(Reader *reader) { return NextToken(&reader->tokenizer, TOKEN_SEPARATORS); }
char Terminator(const Reader *reader) { return reader->tokenizer.terminator; }
size_t TokenLength(const Reader *reader) { return reader->tokenizer.length; }
// The current token decoded into a field.
void Decode(const Reader *reader, char *field, size_t fieldSize) {
    UnescapeToken(&reader->tokenizer, field, fieldSize);
}

// The current token, decoded, behind the field's text and a blank; an
// empty one adds nothing.
void AppendDecoded(const Reader *reader, char *field, size_t fieldSize) {
    if (field[0] == '\0') {
        Decode(reader, field, fieldSize);
        return;
    }
    char decoded[DECODE_BUFFER];
    Decode(reader, decoded, sizeof decoded);
    if (decoded[0] == '\0') return;
    AppendField(field, fieldSize, " ");
    AppendField(field, fieldSize, decoded);
}

// Stops the load: 0, as for text that ran out.
int OutOfMemory(Reader *reader) {
    reader->outOfMemory = 1;
    return 0;
}

void AppendPerson(Reader *reader, PersonRecord *person) {
    if (reader->personTail == person) return;  // already last: nothing changes
    reader->personTail->next = person;
    person->next = nullptr;
    reader->personTail = person;
}

void AppendGroup(Reader *reader, GroupRecord *group) {
    reader->groupTail->next = group;
    group->next = nullptr;
    reader->groupTail = group;
}

void DropNumber(NumberRecord **number) {
    void *block = *number;
    FreeRecord(&block);
    *number = nullptr;
}

// Undoes the group name escapes (see EndsGroupNameEscapeRun): a run of
// backslashes before an escaped byte or at the end is escapes, each pair
// one backslash and an odd one taking the byte after it as it is; any
// other backslash is the byte itself.
void DecodeGroupName(const char *text, char *field, size_t fieldSize) {
    size_t used = 0;
    const char *read = text;
    while (*read != '\0' && used + 1 < fieldSize) {
        if (*read != '\\') {
            field[used++] = *read++;
            continue;
        }
        const char *run = read;
        while (*read == '\\') ++read;
        size_t length = static_cast<size_t>(read - run);
        bool escapes = EndsGroupNameEscapeRun(*read, run == text);
        size_t backslashes = escapes ? length / 2 : length;
        for (size_t i = 0; i < backslashes && used + 1 < fieldSize; ++i) field[used++] = '\\';
        if (!escapes || length % 2 == 0 || used + 1 >= fieldSize) continue;
        // The odd one escapes the byte after it; at the very end it escapes
        // nothing and stays.
        field[used++] = *read == '\0' ? '\\' : *read++;
    }
    field[used] = '\0';
}

// Reads the person whose first token is `first`, the current one. Returns 0 when the load
// ends here (the text ran out, or memory did), 1 otherwise.
int ReadPerson(Reader *reader, const char *first) {
    PersonRecord *person = nullptr;
    if (!NewPerson(&person)) return OutOfMemory(reader);
    int appended = 0;  // once in the list, the list owns it
    auto drop = [&]() {
        if (!appended) FreePerson(&person);
    };

    // The names are put together in the record's own fields: the first
    // token when it is longer than one byte, then the next field, make the
    // first name; the third and, when longer than one byte, the fourth the
    // last name.
    if (TokenLength(reader) > 1) CopyField(person->firstName, first);
    const char *token = Next(reader);
    if (token == nullptr) return drop(), 0;
    AppendDecoded(reader, person->firstName, sizeof person->firstName);
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    Decode(reader, person->lastName, sizeof person->lastName);
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    if (TokenLength(reader) > 1) AppendDecoded(reader, person->lastName, sizeof person->lastName);

    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    Decode(reader, person->company, sizeof person->company);
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    Decode(reader, person->department, sizeof person->department);
    token = NextToken(&reader->tokenizer, NOTES_SEPARATORS);
    if (token == nullptr) return drop(), 0;
    Decode(reader, person->notes, sizeof person->notes);
    if (Terminator(reader) == '\n' || Terminator(reader) == '\f') return drop(), 1;

    NumberRecord *numberTail = person->numbers;
    auto keep = [&]() {
        if (appended) return;
        appended = 1;
        PositionIndexAddPerson(&reader->index, person);
        AppendPerson(reader, person);
    };
    for (;;) {
        token = Next(reader);
        if (token == nullptr) return keep(), 0;
        // The empty field of a person without numbers, or a number without
        // its details.
        if (Terminator(reader) == '\n') return keep(), 1;
        NumberRecord *number = nullptr;
        if (!NewNumber(&number)) {
            drop();
            return OutOfMemory(reader);
        }
        Decode(reader, number->number, sizeof number->number);
        token = Next(reader);
        if (token == nullptr) {
            DropNumber(&number);
            return keep(), 0;
        }
        Decode(reader, number->details, sizeof number->details);
        keep();
        PositionIndexAddNumber(&reader->index, number);
        numberTail->next = number;
        number->next = nullptr;
        numberTail = number;
        if (Terminator(reader) == '\n') return 1;
    }
}

// Reads the group whose name token is `name`, then its member references.
// Returns 0 when memory ran out (the load ends), 1 otherwise.
int ReadGroup(Reader *reader, const char *name) {
    const PositionIndex *index = &reader->index;
    GroupRecord *group = nullptr;
    if (!NewGroup(&group)) return OutOfMemory(reader);
    DecodeGroupName(name, group->name, sizeof group->name);
    MemberLink *memberTail = group->members;
    if (Terminator(reader) != '\n') {
        for (const char *token = Next(reader); token != nullptr; token = Next(reader)) {
            PersonRecord *person = nullptr;
            NumberRecord *number = nullptr;
            int resolved = index->valid ? ResolveMemberRef(index, token, &person, &number)
                                        : ParseMemberRef(reader->context, token, &person, &number);
            if (resolved) {
                MemberLink *link = nullptr;
                if (!NewMemberLink(&link)) {
                    FreeGroup(&group);
                    return OutOfMemory(reader);
                }
                link->person = person;
                link->number = number;
                memberTail->next = link;
                link->next = nullptr;
                memberTail = link;
            }
            if (Terminator(reader) == '\n') break;
        }
    }
    AppendGroup(reader, group);
    return 1;
}

void ReadSections(Reader *reader) {
    const char *token = Next(reader);
    if (token == nullptr) return;
    while (Terminator(reader) != '\f') {
        if (!ReadPerson(reader, token)) return;
        token = Next(reader);
        if (token == nullptr) return;
    }
    token = Next(reader);
    if (token != nullptr && Terminator(reader) == '\n') token = Next(reader);  // FF then LF
    while (token != nullptr) {
        if (!ReadGroup(reader, token)) return;
        token = Next(reader);
    }
}

// Takes every record out of the context's lists and frees it.
void EmptyBook(WorkingContext *context) {
    PersonRecord *person = context->persons->next;
    context->persons->next = nullptr;
    while (person != nullptr) {
        PersonRecord *next = person->next;
        FreePerson(&person);
        person = next;
    }
    GroupRecord *group = context->groups->next;
    context->groups->next = nullptr;
    while (group != nullptr) {
        GroupRecord *next = group->next;
        FreeGroup(&group);
        group = next;
    }
}

}  // namespace

uint16_t ParseAddressBook(WorkingContext *context, char *buffer, size_t size) {
    if (context == nullptr || context->persons == nullptr || context->groups == nullptr) return ERR_NONE;
    if (buffer == nullptr || size == 0) return ERR_NONE;
    // The last byte ends the text: a saved file ends with LF or FF, so
    // nothing of it is lost.
    buffer[size - 1] = '\0';

    Reader reader{};
    reader.context = context;
    StartTokenizer(&reader.tokenizer, buffer, size);
    reader.personTail = context->persons;
    while (reader.personTail->next != nullptr) reader.personTail = reader.personTail->next;
    reader.groupTail = context->groups;
    while (reader.groupTail->next != nullptr) reader.groupTail = reader.groupTail->next;
    BuildPositionIndex(&reader.index, context->persons);
    // A person takes at least eight bytes of the file (its eight fields'
    // separators), a number at least two.
    ReservePositionIndex(&reader.index, size / 8 + 1, size / 2 + 1);
    ReadSections(&reader);
    FreePositionIndex(&reader.index);
    // Part of a book is never kept: saved, it would stand for the whole one.
    if (reader.outOfMemory) {
        EmptyBook(context);
        return ERR_NO_MEMORY;
    }
    return ERR_NONE;
}

uint16_t LoadAddressBook(WorkingContext *context) {
    FileRef ref{};
    ref.handle = INVALID_HANDLE_VALUE;
    FilePlace place = GetAddressBookPlace(ref.path, sizeof ref.path);

    char *buffer = nullptr;
    int32_t size = 0;
    uint16_t result = ReadFileToBlock(&ref, &buffer, &size);
    // The user's copy seen a moment ago but not there to open: no copy,
    // and the old place is read as if there had never been one.
    if (result == ERR_CANT_OPEN && place == PLACE_USER) {
        GetSystemBookPath(ref.path, sizeof ref.path);
        result = ReadFileToBlock(&ref, &buffer, &size);
    }
    if (result == ERR_CANT_OPEN || result == ERR_EMPTY_FILE) {
        ImportFromExporter(ref.path, sizeof ref.path);
        result = ReadFileToBlock(&ref, &buffer, &size);
        if (result == ERR_CANT_OPEN || result == ERR_EMPTY_FILE) return ERR_NONE;
    }
    if (result == ERR_CANT_READ) {
        context->bookUnreadable = 1;
        context->bookReadError = ref.error;
    }
    if (result != ERR_NONE) return result;
    result = ParseAddressBook(context, buffer, static_cast<size_t>(size));
    void *block = buffer;
    DisposePtr(&block);
    return result;
}
