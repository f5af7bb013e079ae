// What the code page's converters share on every platform: names and
// messages, and UTF-8 taken apart and put together.
#include "orvixfax/code_page.h"

#include <cstdio>

std::string UnmappableReason(const TextFault &fault, int codePage) {
    if (fault.what.rfind("U+", 0) == 0)
        return "the character " + fault.what + " has no byte in code page " + std::to_string(codePage);
    return fault.what + " is not UTF-8";
}

std::string UnmappableMessage(const std::string &where, const TextFault &fault, int codePage) {
    return where + ": " + UnmappableReason(fault, codePage);
}

std::string CharacterName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

std::string Utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

char32_t NextCharacter(std::string_view utf8, size_t &at) {
    auto lead = static_cast<unsigned char>(utf8[at]);
    size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool whole = length > 1 && at + length <= utf8.size();
    for (size_t k = 1; whole && k < length; ++k) {
        auto next = static_cast<unsigned char>(utf8[at + k]);
        whole = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
    }
    if (length == 1 || whole) {
        at += length;
        return c;
    }
    ++at;
    return lead;  // not UTF-8: the byte stands for itself
}

std::u32string Utf32Of(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) out += NextCharacter(utf8, at);
    return out;
}
