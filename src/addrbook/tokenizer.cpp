// The field scanner of the address book reader and the decoding of one
// field. Tokens are ended in place by a zero byte over their separator,
// which is put back before the next token is taken.
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

// The stops of the 64 bytes from `at` on: every control byte up to FF
// (the separators but the comma, and the zero byte; the others are passed
// over where they stand), the comma and the backslash. Near the end of the
// text the bytes are taken from a copy with zeros behind, so nothing after
// the text's last byte is read. Kept out of the token's own path, which
// then holds no vector.
__attribute__((noinline)) uint64_t StopsAt(const char *at, const char *end) {
    if (end - at >= 64) return PositionsOf64<'\f', ',', '\\'>(at);
    char tail[64] = {};
    std::memcpy(tail, at, static_cast<size_t>(end - at));
    return PositionsOf64<'\f', ',', '\\'>(tail);
}

// The first stop from `scan` on. One always comes: the zero byte that ends
// the text is one.
char *NextStop(Tokenizer *tokenizer, char *scan) {
    for (;;) {
        size_t offset = static_cast<size_t>(scan - tokenizer->window);
        if (offset < 64) {
            uint64_t ahead = tokenizer->stops >> offset;
            if (ahead != 0) return scan + __builtin_ctzll(ahead);
            // None in the rest of the window: on from its end.
            scan = const_cast<char *>(tokenizer->window) + 64;
        }
        tokenizer->window = scan;
        tokenizer->stops = StopsAt(scan, tokenizer->last + 1);
    }
}

}  // namespace

void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size) {
    tokenizer->start = text;
    tokenizer->last = size > 0 ? text + size - 1 : text;
    tokenizer->cursor = text;
    tokenizer->token = nullptr;
    tokenizer->separator = nullptr;
    tokenizer->terminator = '\0';
    tokenizer->length = 0;
    tokenizer->escaped = 0;
    tokenizer->window = text;
    tokenizer->stops = size > 0 ? StopsAt(text, text + size) : 0;
}

// A field ends at one of its separators, or at the zero byte that ends the
// text; a backslash takes the byte after it into the field. The notes'
// separators are a part of the others, so one set of stops serves both:
// in the notes a TAB, LF or FF is passed over.
char *NextToken(Tokenizer *tokenizer, SeparatorSet separators) {
    if (tokenizer->separator != nullptr) {
        *tokenizer->separator = tokenizer->terminator;
        tokenizer->separator = nullptr;
    }
    char *cursor = tokenizer->cursor;
    if (*cursor == ' ' || *cursor == '\t') cursor = SkipAll<' ', '\t'>(cursor, tokenizer->last + 1);
    tokenizer->cursor = cursor;
    if (*cursor == '\0') return nullptr;

    char *token = cursor;
    char *scan = cursor;
    int escaped = 0;
    for (;;) {
        scan = NextStop(tokenizer, scan);
        char byte = *scan;
        // An escaped byte belongs to the token whatever it is; a backslash
        // at the very end of the text escapes nothing.
        if (byte == '\\') {
            escaped = 1;
            scan += scan[1] != '\0' ? 2 : 1;
            continue;
        }
        if (byte == '\0' || byte == ',') break;
        if (separators == TOKEN_SEPARATORS && (byte == '\t' || byte == '\n' || byte == '\f')) break;
        ++scan;
    }
    tokenizer->token = token;
    tokenizer->length = static_cast<size_t>(scan - token);
    tokenizer->escaped = escaped;
    if (*scan != '\0') {
        tokenizer->terminator = *scan;
        tokenizer->separator = scan;
        *scan = '\0';
        tokenizer->cursor = scan + 1;
    } else {
        // The text ran out: the previous token's terminator stays remembered.
        tokenizer->cursor = scan;
    }
    return token;
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
void UnescapeToken(const Tokenizer *tokenizer, char *field, size_t fieldSize) {
    if (fieldSize == 0) return;
    if (tokenizer->escaped) {
        UnescapeText(tokenizer->token, field, fieldSize);
        return;
    }
    size_t length = tokenizer->length < fieldSize - 1 ? tokenizer->length : fieldSize - 1;
    // Most fields are short: one chunk, read inside the text and written
    // inside the field, copies them with their terminator.
    if (length < 16 && fieldSize >= 16 && tokenizer->last + 1 - tokenizer->token >= 16) {
        CopyHead16(field, tokenizer->token, length);
        return;
    }
    std::memcpy(field, tokenizer->token, length);
    field[length] = '\0';
}
