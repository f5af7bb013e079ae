// Fixed-size text fields: a field of N bytes holds at most N - 1 characters
// and always ends with a zero byte. Every copy into a field goes through
// CopyField, so no text can run past the end of the field it lands in.
#ifndef ORVIXFAX_TEXT_FIELD_H
#define ORVIXFAX_TEXT_FIELD_H

#include <cstddef>

// Copies at most fieldSize - 1 bytes of `text` (stopping at its zero byte)
// and terminates the field. A null text gives an empty field. Returns the
// number of bytes copied.
size_t CopyField(char *field, size_t fieldSize, const char *text);

// The same, taking at most `limit` bytes of `text` (also bounded by the field).
size_t CopyFieldN(char *field, size_t fieldSize, const char *text, size_t limit);

// Appends `text` behind the field's current text, bounded by the field.
size_t AppendField(char *field, size_t fieldSize, const char *text);

template <size_t N>
inline size_t CopyField(char (&field)[N], const char *text) {
    return CopyField(field, N, text);
}

// One field into another, bounded by both: an unterminated source field
// cannot drag in the bytes behind it.
template <size_t N, size_t M>
inline size_t CopyFieldFrom(char (&field)[N], const char (&source)[M]) {
    return CopyFieldN(field, N, source, M);
}

template <size_t N>
inline size_t AppendField(char (&field)[N], const char *text) {
    return AppendField(field, N, text);
}

#endif
