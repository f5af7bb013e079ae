// The code page's converters over iconv.
#include "orvixfax/code_page.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Bytes Windows-1252 leaves without a character. Windows takes each as the
// control character of its value (0x81 is U+0081); iconv refuses them.
bool UndefinedIn1252(unsigned value) {
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// The length of the UTF-8 character at `at`, 0 when the bytes there are
// no UTF-8.
size_t Utf8Length(std::string_view text, size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
    return length;
}

std::string ByteFault(unsigned char byte) {
    char words[24];
    std::snprintf(words, sizeof words, "the byte 0x%02X", byte);
    return words;
}

// Runs `handle` over the whole input. At a sequence it cannot convert it
// asks `stuck` (offset) for the bytes to put instead and how many input
// bytes they stand for; 0 stops with false.
template <typename Stuck>
bool Convert(iconv_t handle, std::string_view input, std::string &output, Stuck stuck) {
    output.clear();
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        size_t done = iconv(handle, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        if (done != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        size_t offset = input.size() - inLeft;
        std::string instead;
        size_t skipped = stuck(offset, instead);
        if (skipped == 0) return false;
        output += instead;
        in += skipped;
        inLeft -= skipped;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(handle, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<size_t>(out - buffer));
    return true;
}

// Whether the text is UTF-8 as RFC 3629 has it (no overlong forms, no
// surrogates, nothing past U+10FFFF). iconv passes such text through
// unchanged, so it need not be converted; anything else goes to iconv,
// which finds the fault.
bool IsWellFormedUtf8(std::string_view text) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned low = 0x80, high = 0xBF;  // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > size || bytes[i + 1] < low || bytes[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Eight bytes at a time: every text of a book passes here on its way in
// or out, and most are short and plain.
bool IsAscii(std::string_view text) {
    const char *at = text.data(), *end = at + text.size();
    for (; end - at >= 8; at += 8) {
        uint64_t word;
        std::memcpy(&word, at, sizeof word);
        if (word & 0x8080808080808080ULL) return false;
    }
    for (; at < end; ++at)
        if (static_cast<unsigned char>(*at) >= 0x80) return false;
    return true;
}

// Unicode's lower case for every character, whatever locale the program
// runs in: the C.UTF-8 locale's tables, where there is one.
locale_t UnicodeLocale() {
    static locale_t locale = [] {
        for (const char *name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            locale_t made = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
            if (made != static_cast<locale_t>(0)) return made;
        }
        return static_cast<locale_t>(0);
    }();
    return locale;
}

std::string IconvName(const std::string &encoding) {
    std::string name;
    for (char c : encoding) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    // The spellings people use that iconv spells otherwise.
    if (name == "UTF8") return "UTF-8";
    if (name == "LATIN1" || name == "LATIN-1") return "ISO-8859-1";
    if (name.rfind("WINDOWS-", 0) == 0) return "CP" + name.substr(8);
    return name;
}

}  // namespace

// One byte's character in UTF-8.
struct ByteText {
    char utf8[4];
    uint8_t length;
};

struct CodePage::Converters {
    iconv_t toUtf8 = kNoConverter;
    iconv_t fromUtf8 = kNoConverter;
    // In a code page of one byte a character (1252 and its kind), the
    // UTF-8 of each byte from 0x80 on, as iconv gives it; a listing of a
    // large book then converts without a call a text.
    bool byteByByte = false;
    ByteText high[128] = {};
    // The other way: each of those bytes by its character, ordered by
    // character; empty when two bytes stand for one character.
    std::vector<std::pair<char32_t, char>> byCharacter;
    ~Converters() {
        if (toUtf8 != kNoConverter) iconv_close(toUtf8);
        if (fromUtf8 != kNoConverter) iconv_close(fromUtf8);
    }
};

namespace {

// The characters iconv gives the bytes from 0x80 on, for the way back;
// the bytes it refuses are left to it, as are code pages where two bytes
// give one character.
void TabulateCharacters(CodePage::Converters &converters, const std::vector<bool> &refused) {
    auto &table = converters.byCharacter;
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        if (refused[byte - 0x80]) continue;
        const ByteText &text = converters.high[byte - 0x80];
        std::u32string characters = Utf32Of(std::string_view(text.utf8, text.length));
        if (characters.size() != 1) return;
        table.emplace_back(characters[0], static_cast<char>(byte));
    }
    std::sort(table.begin(), table.end());
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i].first == table[i - 1].first) {
            table.clear();
            return;
        }
    }
}

// Works out each byte's UTF-8 with the converter itself. A byte iconv
// refuses stands for the character of its value, as ToUtf8 takes it; a
// byte that only begins a character (as in 932), or one whose character
// waits for the next byte, leaves the code page to iconv.
void TabulateBytes(CodePage::Converters &converters) {
    std::vector<bool> refused(128);
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        char in = static_cast<char>(byte);
        char *input = &in;
        size_t inLeft = 1;
        ByteText &text = converters.high[byte - 0x80];
        char *out = text.utf8;
        size_t outLeft = sizeof text.utf8;
        iconv(converters.toUtf8, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converters.toUtf8, &input, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) && inLeft == 0) {
            // A letter held back for the marks that may follow it (1255,
            // 1258) is no character of its own byte.
            if (out == text.utf8) return;
            text.length = static_cast<uint8_t>(out - text.utf8);
            continue;
        }
        if (errno != EILSEQ) return;
        refused[byte - 0x80] = true;
        std::string own = Utf8Of(byte);
        std::memcpy(text.utf8, own.data(), own.size());
        text.length = static_cast<uint8_t>(own.size());
    }
    iconv(converters.toUtf8, nullptr, nullptr, nullptr, nullptr);
    converters.byteByByte = true;
    TabulateCharacters(converters, refused);
}

// A well-formed UTF-8 text whose characters are all in the table, as its
// bytes; false for any other text, which iconv converts or refuses.
bool FromUtf8ByTable(const CodePage::Converters &converters, std::string_view utf8, std::string &bytes) {
    const auto &table = converters.byCharacter;
    if (table.empty() || !IsWellFormedUtf8(utf8)) return false;
    // Written straight into `bytes`: the converter that takes over when a
    // character is not in the table starts them afresh.
    bytes.clear();
    for (size_t at = 0; at < utf8.size();) {
        char32_t c = NextCharacter(utf8, at);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        auto found = std::lower_bound(table.begin(), table.end(), std::make_pair(c, '\0'),
                                      [](const auto &a, const auto &b) { return a.first < b.first; });
        if (found == table.end() || found->first != c) return false;
        bytes += found->second;
    }
    return true;
}

}  // namespace

CodePage::CodePage() = default;
CodePage::~CodePage() = default;

bool CodePage::Open(int number, std::string &error) {
    auto converters = std::make_unique<Converters>();
    const std::string name = "CP" + std::to_string(number);
    converters->toUtf8 = iconv_open("UTF-8", name.c_str());
    converters->fromUtf8 = iconv_open(name.c_str(), "UTF-8");
    if (number <= 0 || converters->toUtf8 == kNoConverter || converters->fromUtf8 == kNoConverter) {
        error = "--codepage: " + std::to_string(number) + " is no code page this system can convert";
        return false;
    }
    TabulateBytes(*converters);
    number_ = number;
    converters_ = std::move(converters);
    return true;
}

bool CodePage::FromUtf8(std::string_view utf8, std::string &bytes, TextFault &fault) const {
    if (IsAscii(utf8)) {
        bytes.assign(utf8);
        return true;
    }
    if (FromUtf8ByTable(*converters_, utf8, bytes)) return true;
    return Convert(converters_->fromUtf8, utf8, bytes, [&](size_t offset, std::string &instead) -> size_t {
        size_t length = Utf8Length(utf8, offset);
        fault.offset = offset;
        if (length == 0) {
            fault.what = ByteFault(static_cast<unsigned char>(utf8[offset]));
            return 0;
        }
        char32_t c = Utf32Of(utf8.substr(offset, length))[0];
        if (number_ == 1252 && UndefinedIn1252(c)) {
            instead = std::string(1, static_cast<char>(c));
            return length;
        }
        fault.what = CharacterName(c);
        return 0;
    });
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    if (IsAscii(bytes)) return std::string(bytes);
    std::string utf8;
    if (converters_->byteByByte) {
        utf8.reserve(bytes.size() * 2);
        for (char c : bytes) {
            auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80)
                utf8 += c;
            else
                utf8.append(converters_->high[byte - 0x80].utf8, converters_->high[byte - 0x80].length);
        }
        return utf8;
    }
    Convert(converters_->toUtf8, bytes, utf8, [&](size_t offset, std::string &instead) -> size_t {
        instead = Utf8Of(static_cast<unsigned char>(bytes[offset]));
        return 1;
    });
    return utf8;
}

std::u32string CodePage::Folded(std::string_view bytes) const {
    std::u32string text = Utf32Of(ToUtf8(bytes));
    locale_t locale = UnicodeLocale();
    for (char32_t &c : text) {
        if (locale != static_cast<locale_t>(0))
            c = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
        else if (c >= 'A' && c <= 'Z')
            c = c - 'A' + 'a';
    }
    return text;
}

namespace {

bool Recode(const std::string &from, const std::string &to, const std::string &text, std::string &out,
            TextFault &fault, bool &known) {
    // Closed however the conversion ends, also when memory runs out in it.
    std::unique_ptr<void, int (*)(iconv_t)> handle(iconv_open(to.c_str(), from.c_str()), iconv_close);
    known = handle.get() != kNoConverter;
    if (!known) {
        handle.release();
        return false;
    }
    return Convert(handle.get(), text, out, [&](size_t offset, std::string &) -> size_t {
        fault.offset = offset;
        size_t length = from == "UTF-8" ? Utf8Length(text, offset) : 0;
        fault.what = length == 0 ? ByteFault(static_cast<unsigned char>(text[offset]))
                                 : CharacterName(Utf32Of(std::string_view(text).substr(offset, length))[0]);
        return 0;
    });
}

}  // namespace

bool EncodingToUtf8(const std::string &encoding, const std::string &text, std::string &utf8, TextFault &fault,
                    bool &known) {
    const std::string from = IconvName(encoding);
    if (from == "UTF-8" && IsWellFormedUtf8(text)) {
        known = true;
        utf8 = text;
        return true;
    }
    return Recode(from, "UTF-8", text, utf8, fault, known);
}

bool Utf8ToEncoding(const std::string &encoding, const std::string &utf8, std::string &text, TextFault &fault,
                    bool &known) {
    return Recode("UTF-8", IconvName(encoding), utf8, text, fault, known);
}

bool EncodingKnown(const std::string &encoding) {
    iconv_t handle = iconv_open("UTF-8", IconvName(encoding).c_str());
    if (handle == kNoConverter) return false;
    iconv_close(handle);
    return true;
}
