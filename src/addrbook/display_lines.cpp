// The list-box lines of the address book records.
#include "addrbook/display_lines.h"

#include <cstring>
#include <initializer_list>

namespace {

// A piece of a line and its length, known before it is copied.
struct Piece {
    const char *text;
    size_t length;
};

template <size_t N>
constexpr Piece Literal(const char (&text)[N]) {
    return Piece{text, N - 1};
}

Piece Field(const char *text) { return Piece{text, std::strlen(text)}; }

// The pieces one after another, cut to size - 1 bytes and ended, as
// snprintf with "%s" for each would write them; the length written.
size_t JoinLine(char *line, size_t size, std::initializer_list<Piece> pieces) {
    if (size == 0) return 0;
    size_t used = 0;
    for (const Piece &piece : pieces) {
        size_t length = piece.length;
        if (length > size - 1 - used) length = size - 1 - used;
        std::memcpy(line + used, piece.text, length);
        used += length;
    }
    line[used] = '\0';
    return used;
}

// Out of line: the lines of the lists have room for every piece whole, so
// this is only for a buffer too small to be sure of it.
__attribute__((noinline)) size_t JoinCutNameLine(const Piece &last, const Piece &first, const Piece &tail,
                                                 char *line, size_t size) {
    return JoinLine(line, size, {last, Literal(", "), first, Literal("\t"), tail});
}

// A record's text field copied as its whole array, one move of a size
// known here rather than a copy of the text's own length, and the end of
// its text. The bytes copied past the text's end are written over by
// what comes next, or lie past the line's end.
template <size_t N>
char *PutField(char *write, const char (&field)[N], size_t length) {
    std::memcpy(write, field, N);
    return write + length;
}

// "last, first", a TAB and `tail`: the line most lists show a person by.
// `first` and `last` are the lengths of the person's names.
template <size_t N>
size_t JoinNameLine(const PersonRecord *person, size_t first, size_t last, const char (&tail)[N], char *line,
                    size_t size) {
    const size_t tailLength = std::strlen(tail);
    // Every array whole, with the separators and the end.
    constexpr size_t kRoom = sizeof person->lastName + 2 + sizeof person->firstName + 1 + N + 1;
    if (size < kRoom)
        return JoinCutNameLine(Piece{person->lastName, last}, Piece{person->firstName, first},
                               Piece{tail, tailLength}, line, size);
    char *write = PutField(line, person->lastName, last);
    *write++ = ',';
    *write++ = ' ';
    write = PutField(write, person->firstName, first);
    *write++ = '\t';
    write = PutField(write, tail, tailLength);
    *write = '\0';
    return static_cast<size_t>(write - line);
}

// A person's line by company, a TAB and `tail`; out of line, as few
// persons have no name.
__attribute__((noinline)) size_t JoinCompanyLine(const PersonRecord *person, const char *tail, char *line,
                                                 size_t size) {
    return JoinLine(line, size, {Field(person->company), Literal("\t"), Field(tail)});
}

// A person's line by name when the name has at least `least` characters,
// else by company; then a TAB and `tail`.
template <size_t N>
size_t JoinPersonLine(const PersonRecord *person, size_t least, const char (&tail)[N], char *line, size_t size) {
    const size_t first = std::strlen(person->firstName);
    const size_t last = std::strlen(person->lastName);
    if (first + last >= least) return JoinNameLine(person, first, last, tail, line, size);
    return JoinCompanyLine(person, tail, line, size);
}

}  // namespace

int NewRecipientListItem(RecipientListItem **item) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(RecipientListItem)) != ERR_NONE) {
        *item = nullptr;
        return 0;
    }
    *item = static_cast<RecipientListItem *>(block);
    return 1;
}

int FreeRecipientListItem(RecipientListItem **item) {
    if (item == nullptr || *item == nullptr) return 1;
    void *block = *item;
    DisposePtr(&block);
    *item = nullptr;
    return 1;
}

size_t FormatBookPersonLine(const PersonRecord *person, char *line, size_t size) {
    const size_t first = std::strlen(person->firstName);
    const size_t last = std::strlen(person->lastName);
    if (first + last >= 1) return JoinNameLine(person, first, last, person->company, line, size);
    return JoinLine(line, size, {Field(person->company)});
}

size_t FormatGroupLine(const GroupRecord *group, char *line, size_t size) {
    return JoinLine(line, size, {Literal("["), Field(group->name), Literal("]")});
}

size_t FormatRecipientNumberLine(const PersonRecord *person, const NumberRecord *number, char *line,
                                 size_t size) {
    return JoinPersonLine(person, 1, number->number, line, size);
}

size_t FormatGroupEditorLine(const PersonRecord *person, const NumberRecord *number, char *line,
                             size_t size) {
    // The group editor has always wanted two characters of name before
    // showing a person by name rather than by company.
    return JoinPersonLine(person, 2, number->number, line, size);
}

size_t FormatPersonNumberLine(const NumberRecord *number, char *line, size_t size) {
    return JoinLine(line, size, {Field(number->number), Literal("\t"), Field(number->details)});
}

int CompareText(const char *a, const char *b) {
    const signed char *left = reinterpret_cast<const signed char *>(a);
    const signed char *right = reinterpret_cast<const signed char *>(b);
    while (*left != 0 && *left == *right) {
        ++left;
        ++right;
    }
    if (*left == *right) return 0;
    return *left > *right ? 1 : -1;
}

int FindGroupByName(WorkingContext *context, const char *text, GroupRecord **group) {
    if (context == nullptr || context->groups == nullptr || text == nullptr) return 0;
    char line[sizeof(GroupRecord::name) + 3];
    for (GroupRecord *candidate = context->groups->next; candidate != nullptr;
         candidate = candidate->next) {
        if (CompareText(text, candidate->name) == 0) {
            *group = candidate;
            return 1;
        }
        FormatGroupLine(candidate, line, sizeof line);
        if (CompareText(text, line) == 0) {
            *group = candidate;
            return 1;
        }
    }
    return 0;
}
