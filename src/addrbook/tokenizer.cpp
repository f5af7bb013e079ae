// The field scanner of the address book reader (its token's own path is
// inline, in address_book_file.h) and the decoding of one field.
#include <cstdint>
#include <cstring>

#include "addrbook/address_book_file.h"
#include "common/byte_scan.h"

namespace {

template <unsigned char... Values>
bool IsOneOf(char byte) {
    return ((static_cast<unsigned char>(byte) == Values) || ...);
}

// The first byte from `scan` on that is none of `Values`, sixteen bytes at
// a time while sixteen fit before `end`, then one at a time. Some byte
// before `end` must be none of them (the zero that ends the text is), so
// the scan never leaves the block.
template <unsigned char... Values>
char *SkipAll(char *scan, const char *end) {
    for (; end - scan >= 16; scan += 16) {
        unsigned at = FirstNotOf16<Values...>(scan);
        if (at < 16) return scan + at;
    }
    while (IsOneOf<Values...>(*scan)) ++scan;
    return scan;
}

}  // namespace

char *SkipFieldBlanks(char *cursor, const char *end) { return SkipAll<' ', '\t'>(cursor, end); }

// Every control byte up to FF is a stop (the separators but the comma, and
// the zero byte; NextToken passes over the others), the comma and the
// backslash too. Near the end of the text the bytes are taken from a copy
// with zeros behind.
uint64_t FindFieldStops(const char *at, const char *end) {
    if (end - at >= 64) return PositionsOf64<'\f', ',', '\\'>(at);
    char tail[64] = {};
    std::memcpy(tail, at, static_cast<size_t>(end - at));
    return PositionsOf64<'\f', ',', '\\'>(tail);
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

void UnescapeText(const char *text, char *field, size_t fieldSize) {
    if (field == nullptr || fieldSize == 0) return;
    size_t used = 0;
    const char *read = text != nullptr ? text : "";
    while (*read != '\0' && used + 1 < fieldSize) {
        char byte = *read++;
        if (byte == '\\') {
            if (*read == '\0') break;  // a lone backslash at the end is dropped
            byte = *read++;
            if (byte == 'r')
                byte = '\r';
            else if (byte == 'n')
                byte = '\n';
        }
        field[used++] = byte;
    }
    field[used] = '\0';
}

// A token holds no zero byte (it would have ended it), so one without a
// backslash is its first bytes as they are.
void DecodeToken(const Tokenizer *tokenizer, char *field, size_t fieldSize) {
    if (fieldSize == 0) return;
    if (tokenizer->escaped) {
        UnescapeText(tokenizer->token, field, fieldSize);
        return;
    }
    size_t length = tokenizer->length < fieldSize - 1 ? tokenizer->length : fieldSize - 1;
    std::memcpy(field, tokenizer->token, length);
    field[length] = '\0';
}
