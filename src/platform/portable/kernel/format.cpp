// wsprintfA: the formatting of USER32, not of the C library. It knows
// %c %d %i %u %x %X %s and %%, the flags '-', '0' and '#', a width and a
// precision (no '*'), the size prefixes 'l' and 'h' (neither changes a
// 32-bit value), and no floating point.
// The output stops at 1024 bytes, terminator included, as USER32's does,
// and like USER32 a cut output reports 1024 although 1023 characters are
// stored. Where USER32 departs from C (a minus sign counts as a digit of
// the precision, precision 0 still prints 0, "%#x" of 0 is "0x0") the layer
// follows USER32.
#include "platform/portable/windows.h"

#include <cstring>

namespace {

constexpr int kOutputLimit = 1024;

struct Output {
    char *buffer;
    int length = 0;
    bool cut = false;
    bool Full() const { return length >= kOutputLimit - 1; }
    void Put(char c) {
        if (Full()) cut = true;
        else buffer[length++] = c;
    }
    void Repeat(char c, int count) {
        for (int i = 0; i < count; ++i) Put(c);
    }
};

struct Conversion {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
};

// Digits of `value` in `base`, most significant first, into `digits`; returns their count.
int Digits(unsigned long long value, unsigned base, bool upper, char *digits) {
    const char *set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[32];
    int count = 0;
    do {
        reversed[count++] = set[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    return count;
}

void PutNumber(Output &out, const Conversion &conversion, const char *prefix, const char *digits, int count) {
    int prefixLength = static_cast<int>(std::strlen(prefix));
    int sign = prefix[0] == '-' ? 1 : 0;
    int zeros = conversion.precision > count + sign ? conversion.precision - count - sign : 0;
    int body = prefixLength + zeros + count;
    int pad = conversion.width > body ? conversion.width - body : 0;
    if (conversion.zero && !conversion.left && conversion.precision < 0) {
        zeros += pad;
        pad = 0;
    }
    if (!conversion.left) out.Repeat(' ', pad);
    for (int i = 0; i < prefixLength; ++i) out.Put(prefix[i]);
    out.Repeat('0', zeros);
    for (int i = 0; i < count; ++i) out.Put(digits[i]);
    if (conversion.left) out.Repeat(' ', pad);
}

void PutText(Output &out, const Conversion &conversion, const char *text, int length) {
    int pad = conversion.width > length ? conversion.width - length : 0;
    char padChar = conversion.zero && !conversion.left ? '0' : ' ';
    if (!conversion.left) out.Repeat(padChar, pad);
    for (int i = 0; i < length; ++i) out.Put(text[i]);
    if (conversion.left) out.Repeat(' ', pad);
}

}  // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list args) {
    if (buffer == nullptr) return 0;
    Output out{buffer};
    if (format == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    const char *p = format;
    while (*p != '\0' && !out.cut) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        ++p;
        if (*p == '%') {
            out.Put(*p++);
            continue;
        }
        Conversion conversion;
        for (;; ++p) {
            if (*p == '-') conversion.left = true;
            else if (*p == '0') conversion.zero = true;
            else if (*p == '#') conversion.alternate = true;
            else break;
        }
        while (*p >= '0' && *p <= '9') conversion.width = conversion.width * 10 + (*p++ - '0');
        if (*p == '.') {
            ++p;
            conversion.precision = 0;
            while (*p >= '0' && *p <= '9') conversion.precision = conversion.precision * 10 + (*p++ - '0');
        }
        // long is 32 bits on Windows, and USER32 does not cut a value to 16 bits for 'h'.
        if (*p == 'l' || *p == 'h') ++p;
        char digits[32];
        switch (*p) {
        case 'c':
        case 'C': {
            char c = static_cast<char>(va_arg(args, int));
            PutText(out, conversion, &c, 1);
            break;
        }
        case 's':
        case 'S': {
            const char *text = va_arg(args, const char *);
            if (text == nullptr) text = "(null)";
            int length = 0;
            while (text[length] != '\0' && (conversion.precision < 0 || length < conversion.precision)) ++length;
            PutText(out, conversion, text, length);
            break;
        }
        case 'd':
        case 'i': {
            long long value = va_arg(args, int);
            unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value);
            int count = Digits(magnitude, 10, false, digits);
            PutNumber(out, conversion, value < 0 ? "-" : "", digits, count);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned long long value = va_arg(args, unsigned int);
            unsigned base = *p == 'u' ? 10 : 16;
            int count = Digits(value, base, *p == 'X', digits);
            const char *prefix = "";
            if (conversion.alternate && base == 16) prefix = *p == 'X' ? "0X" : "0x";
            PutNumber(out, conversion, prefix, digits, count);
            break;
        }
        case '\0':
            --p;  // a lone '%' at the end prints nothing
            break;
        default:
            // An unknown type prints itself, as USER32 does.
            out.Put(*p);
            break;
        }
        ++p;
    }
    buffer[out.length] = '\0';
    return out.cut ? kOutputLimit : out.length;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(buffer, format, args);
    va_end(args);
    return length;
}
