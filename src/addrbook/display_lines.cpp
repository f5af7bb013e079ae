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

// "last, first", a TAB and `tail`: the line most lists show a person by.
size_t JoinNameLine(const Piece &last, const Piece &first, const Piece &tail, char *line, size_t size) {
    const size_t total = last.length + 2 + first.length + 1 + tail.length;
    if (total >= size) return JoinLine(line, size, {last, Literal(", "), first, Literal("\t"), tail});
    // The whole line fits, as it does in every list: the pieces go in place.
    char *write = line;
    std::memcpy(write, last.text, last.length);
    write += last.length;
    *write++ = ',';
    *write++ = ' ';
    std::memcpy(write, first.text, first.length);
    write += first.length;
    *write++ = '\t';
    std::memcpy(write, tail.text, tail.length);
    write[tail.length] = '\0';
    return total;
}

// A person's line by name when the name has at least `least` characters,
// else by company; then a TAB and `tail`.
size_t JoinPersonLine(const PersonRecord *person, size_t least, const char *tail, char *line,
                      size_t size) {
    Piece first = Field(person->firstName);
    Piece last = Field(person->lastName);
    if (first.length + last.length >= least) return JoinNameLine(last, first, Field(tail), line, size);
    return JoinLine(line, size, {Field(person->company), Literal("\t"), Field(tail)});
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
    Piece first = Field(person->firstName);
    Piece last = Field(person->lastName);
    if (first.length + last.length >= 1) return JoinNameLine(last, first, Field(person->company), line, size);
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
