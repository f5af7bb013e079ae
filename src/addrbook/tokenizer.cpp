// The field scanner of the address book reader and the decoding of one
// field. Tokens are ended in place by a zero byte over their separator,
// which is put back before the next token is taken.
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

    // Bytes above the highest separator (and not a backslash) cannot end
    // or escape anything: the common case, kept cheap.
    unsigned char highest = 0;
    for (const char *s = separators; *s != '\0'; ++s)
        if (static_cast<unsigned char>(*s) > highest) highest = static_cast<unsigned char>(*s);

    char *token = cursor;
    char *scan = cursor;
    while (*scan != '\0') {
        unsigned char byte = static_cast<unsigned char>(*scan);
        if (byte > highest && byte != '\\') {
            ++scan;
            continue;
        }
        if (std::strchr(separators, *scan) != nullptr) break;
        // An escaped byte belongs to the token whatever it is; a backslash
        // at the very end of the text escapes nothing.
        if (*scan == '\\' && scan[1] != '\0')
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
