// The code page's converters over the system's own code page tables.
#include "orvixfax/code_page.h"

#include <cstdio>

#include "platform/win32api.h"

namespace {

std::wstring Utf16Of(const std::u32string &text) {
    std::wstring out;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::u32string Utf32OfWide(const std::wstring &text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char16_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        out += c;
    }
    return out;
}

std::wstring Wide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return wide;
}

// One character in the code page, or false when it has no byte there.
bool CharacterBytes(UINT codePage, char32_t c, std::string &bytes) {
    std::wstring wide = Utf16Of(std::u32string(1, c));
    char buffer[8];
    BOOL usedDefault = FALSE;
    BOOL *check = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(),
                                     static_cast<int>(wide.size()), buffer, sizeof buffer, nullptr, check);
    if (length <= 0 || usedDefault) return false;
    bytes.append(buffer, static_cast<size_t>(length));
    return true;
}

bool IsUtf8(std::string_view text, size_t &bad) {
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        bool whole = length > 0 && i + length <= text.size();
        for (size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!whole) {
            bad = i;
            return false;
        }
        i += length;
    }
    return true;
}

std::string ByteFault(unsigned char byte) {
    char words[24];
    std::snprintf(words, sizeof words, "the byte 0x%02X", byte);
    return words;
}

// UTF-8 into a code page, character by character so that the one at fault
// is known.
bool FromUtf8Into(UINT codePage, std::string_view utf8, std::string &bytes, TextFault &fault) {
    bytes.clear();
    size_t bad = 0;
    if (!IsUtf8(utf8, bad)) {
        fault.offset = bad;
        fault.what = ByteFault(static_cast<unsigned char>(utf8[bad]));
        return false;
    }
    size_t offset = 0;
    for (char32_t c : Utf32Of(utf8)) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (!CharacterBytes(codePage, c, bytes)) {
            fault.offset = offset;
            fault.what = CharacterName(c);
            return false;
        }
        offset += Utf8Of(c).size();
    }
    return true;
}

std::string Utf8OfWide(const std::wstring &wide) {
    std::string out;
    for (char32_t c : Utf32OfWide(wide)) out += Utf8Of(c);
    return out;
}

// An encoding's name as a code page number; 1200 is UTF-16 (little-endian).
UINT EncodingCodePage(const std::string &encoding) {
    std::string name;
    for (char c : encoding) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (name == "UTF-8" || name == "UTF8") return CP_UTF8;
    if (name == "UTF-16" || name == "UTF-16LE") return 1200;
    if (name == "ISO-8859-1" || name == "LATIN1" || name == "LATIN-1") return 28591;
    for (const char *prefix : {"CP", "WINDOWS-", ""}) {
        std::string rest = name.substr(0, std::string(prefix).size()) == prefix ? name.substr(std::string(prefix).size()) : "";
        if (!rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos) {
            UINT number = static_cast<UINT>(std::stoul(rest));
            if (IsValidCodePage(number)) return number;
        }
    }
    return 0;
}

}  // namespace

struct CodePage::Converters {};

CodePage::CodePage() = default;
CodePage::~CodePage() = default;

bool CodePage::Open(int number, std::string &error) {
    if (number <= 0 || !IsValidCodePage(static_cast<UINT>(number))) {
        error = "--codepage: " + std::to_string(number) + " is no code page this system can convert";
        return false;
    }
    number_ = number;
    return true;
}

bool CodePage::FromUtf8(std::string_view utf8, std::string &bytes, TextFault &fault) const {
    return FromUtf8Into(static_cast<UINT>(number_), utf8, bytes, fault);
}

std::string CodePage::ToUtf8(std::string_view bytes) const { return Utf8OfWide(Wide(static_cast<UINT>(number_), bytes)); }

std::u32string CodePage::Folded(std::string_view bytes) const {
    std::wstring wide = Wide(static_cast<UINT>(number_), bytes);
    if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Utf32OfWide(wide);
}

bool EncodingToUtf8(const std::string &encoding, const std::string &text, std::string &utf8, TextFault &fault,
                    bool &known) {
    UINT codePage = EncodingCodePage(encoding);
    known = codePage != 0;
    if (!known) return false;
    if (codePage == 1200) {
        std::wstring wide(text.size() / 2, L'\0');
        for (size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[2 * i]) |
                                           (static_cast<unsigned char>(text[2 * i + 1]) << 8));
        utf8 = Utf8OfWide(wide);
        return true;
    }
    size_t bad = 0;
    if (codePage == CP_UTF8) {
        if (IsUtf8(text, bad)) {
            utf8 = text;
            return true;
        }
        fault.offset = bad;
        fault.what = ByteFault(static_cast<unsigned char>(text[bad]));
        return false;
    }
    utf8 = Utf8OfWide(Wide(codePage, text));
    return true;
}

bool Utf8ToEncoding(const std::string &encoding, const std::string &utf8, std::string &text, TextFault &fault,
                    bool &known) {
    UINT codePage = EncodingCodePage(encoding);
    known = codePage != 0;
    if (!known) return false;
    if (codePage == 1200) {
        text.clear();
        for (wchar_t unit : Utf16Of(Utf32Of(utf8))) {
            text += static_cast<char>(unit & 0xFF);
            text += static_cast<char>((unit >> 8) & 0xFF);
        }
        return true;
    }
    return FromUtf8Into(codePage, utf8, text, fault);
}

bool EncodingKnown(const std::string &encoding) { return EncodingCodePage(encoding) != 0; }
