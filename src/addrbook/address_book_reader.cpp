// Reading the address book file into the working context's lists.
#include <cstring>

#include "../common/text_field.h"
#include "address_book_file.h"
#include "address_book_index.h"

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
};

char *Next(Reader *reader) { return NextToken(&reader->tokenizer, TOKEN_SEPARATORS); }
char Terminator(const Reader *reader) { return reader->tokenizer.terminator; }

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

// A group name is taken as it stands but for the bytes the writer escapes
// because the reader would otherwise split or trim the name at them (see
// IsGroupNameEscape); a backslash before any other byte stays, so names of
// earlier files read as they always did.
void DecodeGroupName(const char *text, char *field, size_t fieldSize) {
    size_t used = 0;
    for (const char *read = text; *read != '\0' && used + 1 < fieldSize; ++read) {
        if (read[0] == '\\' && IsGroupNameEscape(read[1])) ++read;
        field[used++] = *read;
    }
    field[used] = '\0';
}

// Reads the person whose first token is `first`. Returns 0 when the text
// ran out (the load ends), 1 otherwise. When memory runs out the record
// being read is dropped but its tokens are still read exactly as they
// would have been, so the rest of the book reads the same.
int ReadPerson(Reader *reader, const char *first) {
    PersonRecord *person = nullptr;
    PersonRecord scratch{};
    int stored = NewPerson(&person);
    PersonRecord *fields = stored ? person : &scratch;
    int appended = 0;
    auto drop = [&]() {
        if (stored && !appended) FreePerson(&person);
    };

    char decoded[DECODE_BUFFER];
    char firstName[sizeof fields->firstName] = "";
    char lastName[sizeof fields->lastName] = "";
    if (std::strlen(first) > 1) CopyField(firstName, first);

    const char *token = Next(reader);
    if (token == nullptr) return drop(), 0;
    UnescapeText(token, decoded, sizeof decoded);
    if (decoded[0] != '\0') {
        if (firstName[0] != '\0') AppendField(firstName, " ");
        AppendField(firstName, decoded);
    }
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    if (token[0] != '\0') UnescapeText(token, lastName, sizeof lastName);
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    if (std::strlen(token) > 1) {
        UnescapeText(token, decoded, sizeof decoded);
        if (lastName[0] != '\0') AppendField(lastName, " ");
        AppendField(lastName, decoded);
    }
    CopyField(fields->firstName, firstName);
    CopyField(fields->lastName, lastName);

    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    UnescapeText(token, fields->company, sizeof fields->company);
    token = Next(reader);
    if (token == nullptr) return drop(), 0;
    UnescapeText(token, fields->department, sizeof fields->department);
    token = NextToken(&reader->tokenizer, NOTES_SEPARATORS);
    if (token == nullptr) return drop(), 0;
    UnescapeText(token, fields->notes, sizeof fields->notes);
    if (Terminator(reader) == '\n' || Terminator(reader) == '\f') return drop(), 1;

    NumberRecord *numberTail = stored ? person->numbers : nullptr;
    int kept = 0;
    auto keep = [&]() {
        if (kept) return;
        kept = 1;
        // A person lost to memory still takes its place in the positions.
        PositionIndexAddPerson(&reader->index, stored ? person : nullptr);
        if (stored) {
            AppendPerson(reader, person);
            appended = 1;
        }
    };
    for (;;) {
        NumberRecord *number = nullptr;
        NumberRecord scratchNumber{};
        int numberStored = stored && NewNumber(&number);
        NumberRecord *numberFields = numberStored ? number : &scratchNumber;

        token = Next(reader);
        if (token == nullptr) {
            if (numberStored) DropNumber(&number);
            keep();
            return 0;
        }
        if (Terminator(reader) == '\n') {
            // The empty field of a person without numbers, or a number
            // without its details.
            if (numberStored) DropNumber(&number);
            keep();
            return 1;
        }
        UnescapeText(token, numberFields->number, sizeof numberFields->number);
        token = Next(reader);
        if (token == nullptr) {
            if (numberStored) DropNumber(&number);
            keep();
            return 0;
        }
        UnescapeText(token, numberFields->details, sizeof numberFields->details);
        keep();
        PositionIndexAddNumber(&reader->index, numberStored ? number : nullptr);
        if (numberStored) {
            numberTail->next = number;
            number->next = nullptr;
            numberTail = number;
        }
        if (Terminator(reader) == '\n') return 1;
    }
}

// Reads the group whose name token is `name`, then its member references.
void ReadGroup(Reader *reader, const char *name) {
    const PositionIndex *index = &reader->index;
    int indexed = index->valid;
    GroupRecord *group = nullptr;
    int stored = NewGroup(&group);
    if (stored) DecodeGroupName(name, group->name, sizeof group->name);
    MemberLink *memberTail = stored ? group->members : nullptr;
    if (Terminator(reader) != '\n') {
        for (const char *token = Next(reader); token != nullptr; token = Next(reader)) {
            MemberLink *link = nullptr;
            if (stored && NewMemberLink(&link)) {
                PersonRecord *person = nullptr;
                NumberRecord *number = nullptr;
                int resolved = indexed ? ResolveMemberRef(index, token, &person, &number)
                                       : ParseMemberRef(reader->context, token, &person, &number);
                if (resolved) {
                    link->person = person;
                    link->number = number;
                    memberTail->next = link;
                    link->next = nullptr;
                    memberTail = link;
                } else {
                    void *block = link;
                    FreeRecord(&block);
                }
            }
            if (Terminator(reader) == '\n') break;
        }
    }
    if (stored) AppendGroup(reader, group);
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
        ReadGroup(reader, token);
        token = Next(reader);
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
    return ERR_NONE;
}

uint16_t LoadAddressBook(WorkingContext *context) {
    FileRef ref{};
    ref.handle = HFILE_ERROR;
    ref.mode = OF_READ;
    GetAddressBookPath(ref.path, sizeof ref.path);

    char *buffer = nullptr;
    int32_t size = 0;
    uint16_t result = ReadFileToBlock(&ref, &buffer, &size);
    if (result == ERR_CANT_OPEN || result == ERR_EMPTY_FILE) {
        ImportFromExporter();
        result = ReadFileToBlock(&ref, &buffer, &size);
        if (result == ERR_CANT_OPEN || result == ERR_EMPTY_FILE) return ERR_NONE;
    }
    if (result != ERR_NONE) {
        void *block = buffer;
        DisposePtr(&block);
        return result;
    }
    ParseAddressBook(context, buffer, static_cast<size_t>(size));
    void *block = buffer;
    DisposePtr(&block);
    return ERR_NONE;
}
