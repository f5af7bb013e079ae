#include "common/text_field.h"

#include <cstring>

size_t CopyFieldN(char *field, size_t fieldSize, const char *text, size_t limit) {
    if (field == nullptr || fieldSize == 0) return 0;
    size_t length = 0;
    if (text != nullptr) {
        length = strnlen(text, limit < fieldSize - 1 ? limit : fieldSize - 1);
        std::memmove(field, text, length);
    }
    field[length] = '\0';
    return length;
}

size_t CopyField(char *field, size_t fieldSize, const char *text) {
    return CopyFieldN(field, fieldSize, text, fieldSize);
}

size_t AppendField(char *field, size_t fieldSize, const char *text) {
    if (field == nullptr || fieldSize == 0) return 0;
    size_t used = strnlen(field, fieldSize - 1);
    return CopyField(field + used, fieldSize - used, text);
}
