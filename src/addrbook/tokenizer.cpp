// The field scanner of the address book reader and the decoding of one
// field. Tokens are ended in place by a zero byte over their separator,
// which is put back before the next token is taken.
#include <cstdint>
#include <cstring>

#include "addrbook/address_book_file.h"

namespace {

constexpr SeparatorSet MakeSeparatorSet(const char *separators) {
    SeparatorSet set{};
    for (const char *s = separators; *s != '\0'; ++s) set.stops[static_cast<unsigned char>(*s)] = true;
    set.stops[static_cast<unsigned char>('\\')] = true;
    set.stops[0] = true;
    return set;
}

}  // namespace

constexpr SeparatorSet TOKEN_SEPARATORS = MakeSeparatorSet("\t\n,\f");
constexpr SeparatorSet NOTES_SEPARATORS = MakeSeparatorSet(",");

void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size) {
    tokenizer->start = text;
    tokenizer->last = size > 0 ? text + size - 1 : text;
    tokenizer->cursor = text;
    tokenizer->token = nullptr;
    tokenizer->separator = nullptr;
    tokenizer->terminator = '\0';
    tokenizer->length = 0;
    tokenizer->escaped = 0;
}

char *NextToken(Tokenizer *tokenizer, const SeparatorSet &separators) {
    if (tokenizer->separator != nullptr) {
        *tokenizer->separator = tokenizer->terminator;
        tokenizer->separator = nullptr;
    }
    char *cursor = tokenizer->cursor;
    while (*cursor == ' ' || *cursor == '\t') ++cursor;
    tokenizer->cursor = cursor;
    if (*cursor == '\0') return nullptr;

    char *token = cursor;
    char *scan = cursor;
    int escaped = 0;
    for (;;) {
        while (!separators.stops[static_cast<unsigned char>(*scan)]) ++scan;
        // An escaped byte belongs to the token whatever it is; a backslash
        // at the very end of the text escapes nothing.
        if (*scan != '\\') break;
        escaped = 1;
        scan += scan[1] != '\0' ? 2 : 1;
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
    std::memcpy(field, tokenizer->token, length);
    field[length] = '\0';
}
