// The field scanner of the address book reader and the decoding of one
// field. Tokens are ended in place by a zero byte over their separator,
// which is put back before the next token is taken.
#include <cstdint>
#include <cstring>

#include "addrbook/address_book_file.h"

const char TOKEN_SEPARATORS[] = "\t\n,\f";
const char NOTES_SEPARATORS[] = ",";

void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size) {
    tokenizer->start = text;
    tokenizer->last = size > 0 ? text + size - 1 : text;
    tokenizer->cursor = text;
    tokenizer->token = nullptr;
    tokenizer->separator = nullptr;
    tokenizer->terminator = '\0';
}

char *NextToken(Tokenizer *tokenizer, const char *separators) {
    if (tokenizer->separator != nullptr) {
        *tokenizer->separator = tokenizer->terminator;
        tokenizer->separator = nullptr;
    }
    char *cursor = tokenizer->cursor;
    while (*cursor == ' ' || *cursor == '\t') ++cursor;
    tokenizer->cursor = cursor;
    if (*cursor == '\0') return nullptr;

    // The separators below 64 (all the reader uses) as one mask, so a byte
    // is looked up with a shift rather than a search of the list.
    uint64_t lowSeparators = 0;
    bool highSeparators = false;
    for (const char *s = separators; *s != '\0'; ++s) {
        unsigned char separator = static_cast<unsigned char>(*s);
        if (separator < 64)
            lowSeparators |= uint64_t{1} << separator;
        else
            highSeparators = true;
    }

    char *token = cursor;
    char *scan = cursor;
    while (*scan != '\0') {
        unsigned char byte = static_cast<unsigned char>(*scan);
        bool ends = byte < 64 ? (lowSeparators >> byte & 1) != 0
                              : highSeparators && std::strchr(separators, *scan) != nullptr;
        if (ends) break;
        // An escaped byte belongs to the token whatever it is; a backslash
        // at the very end of the text escapes nothing.
        if (byte == '\\' && scan[1] != '\0')
            scan += 2;
        else
            ++scan;
    }
    tokenizer->token = token;
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
