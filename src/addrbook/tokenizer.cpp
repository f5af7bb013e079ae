// The field scanner of the address book reader (its token's own path is
// inline, in address_book_file.h) and the decoding of one field.
#include <cstdint>
#include <cstring>

#include "addrbook/address_book_file.h"
#include "common/byte_scan.h"

// Sixteen bytes at a time while sixteen fit before `end`, then one at a
// time: a byte that is no blank (the zero that ends the text is none)
// comes before `end`, so the scan never leaves the block.
char *SkipFieldBlanks(char *cursor, const char *end) {
    for (; end - cursor >= 16; cursor += 16) {
        unsigned at = FirstNotOf16<' ', '\t'>(cursor);
        if (at < 16) return cursor + at;
    }
    while (*cursor == ' ' || *cursor == '\t') ++cursor;
    return cursor;
}

// Every control byte up to FF is a stop (the separators but the comma, and
// the zero byte; NextToken passes over the others), the comma and the
// backslash too. Near the end of the text the bytes are taken from a copy
// with zeros behind.
uint64_t FindFieldStops(const char *at, const char *end) {
    if (end - at >= 64) return PositionsOf64<'\f' + 1, ',', '\\'>(at);
    char tail[64] = {};
    std::memcpy(tail, at, static_cast<size_t>(end - at));
    return PositionsOf64<'\f' + 1, ',', '\\'>(tail);
}

void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size) {
    tokenizer->start = text;
    tokenizer->last = size > 0 ? text + size - 1 : text;
    tokenizer->cursor = text;
    tokenizer->token = nullptr;
    tokenizer->terminator = '\0';
    tokenizer->length = 0;
    tokenizer->escaped = 0;
    tokenizer->window = text;
    tokenizer->stops = size > 0 ? FindFieldStops(text, text + size) : 0;
}

namespace {

// The decoding of `length` bytes holding no zero byte (as a token never
// does: one would have ended it): the bytes between backslashes are
// copied a run at a time.
void UnescapeBytes(const char *text, size_t length, char *field, size_t fieldSize) {
    const char *read = text;
    const char *end = text + length;
    const size_t room = fieldSize - 1;
    size_t used = 0;
    while (read < end && used < room) {
        const void *backslash = std::memchr(read, '\\', static_cast<size_t>(end - read));
        size_t run = static_cast<size_t>((backslash != nullptr ? static_cast<const char *>(backslash) : end) - read);
        if (run > room - used) run = room - used;
        std::memcpy(field + used, read, run);
        used += run;
        read += run;
        if (read == end || used == room) break;
        // A lone backslash at the end is dropped.
        if (++read == end) break;
        char byte = *read++;
        field[used++] = byte == 'r' ? '\r' : byte == 'n' ? '\n' : byte;
    }
    field[used] = '\0';
}

}  // namespace

void UnescapeText(const char *text, char *field, size_t fieldSize) {
    if (field == nullptr || fieldSize == 0) return;
    if (text == nullptr) text = "";
    UnescapeBytes(text, std::strlen(text), field, fieldSize);
}

// One without a backslash is its first bytes as they are.
void DecodeToken(const Tokenizer *tokenizer, char *field, size_t fieldSize) {
    if (fieldSize == 0) return;
    if (tokenizer->escaped) {
        UnescapeBytes(tokenizer->token, tokenizer->length, field, fieldSize);
        return;
    }
    size_t length = tokenizer->length < fieldSize - 1 ? tokenizer->length : fieldSize - 1;
    std::memcpy(field, tokenizer->token, length);
    field[length] = '\0';
}
