// The one code page of the module's text and Unicode at the command line's
// edges. The book, the settings and the tickets hold 8-bit text in the
// module's ANSI code page (Windows-1252 unless --codepage names another,
// 932 on Japanese systems); what the command reads from or shows to people
// is Unicode (UTF-8), and every path converts where it meets them.
// code_page_portable.cpp converts with iconv, code_page_windows.cpp with
// the system's own code page tables.
#ifndef ORVIXFAX_TOOL_CODE_PAGE_H
#define ORVIXFAX_TOOL_CODE_PAGE_H

#include <memory>
#include <string>
#include <string_view>

// Where a text could not be converted: the byte offset in the input of the
// character (or byte) at fault, and that character in words ("U+20AC", or
// "the byte 0xFF" for input that is no text in its encoding).
struct TextFault {
    size_t offset = 0;
    std::string what;
};

class CodePage {
public:
    CodePage();
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;

    // Chooses the code page by its Windows number (1252, 932, ...). False
    // with a reason when the system cannot convert it.
    bool Open(int number, std::string &error);
    int Number() const { return number_; }

    // UTF-8 text as the code page's bytes. False when a character has no
    // byte in the code page, or the input is not UTF-8.
    bool FromUtf8(std::string_view utf8, std::string &bytes, TextFault &fault) const;
    // The code page's bytes as UTF-8. Never fails: a byte that stands for
    // no character (as 0x81 in 1252) is taken as the character of its
    // value, as Windows takes it, so every text shows and converts back.
    std::string ToUtf8(std::string_view bytes) const;
    // The text in a form in which texts differing only in case are equal
    // (each character in lower case, as Unicode gives it: "Ødegård" and
    // "ødegård" fold alike), for finding texts while ignoring case.
    std::u32string Folded(std::string_view bytes) const;

    struct Converters;

private:
    int number_ = 0;
    std::unique_ptr<Converters> converters_;
};

// The message for a text of `where` that does not fit the code page:
// "senderName: the character U+20AC has no byte in code page 1252", and
// the same without the place.
std::string UnmappableMessage(const std::string &where, const TextFault &fault, int codePage);
std::string UnmappableReason(const TextFault &fault, int codePage);

// Whole texts in a named encoding (--encoding: "UTF-8", "ISO-8859-1",
// "UTF-16", "CP1252", ...) to and from UTF-8. False with `fault` when the
// text does not convert; `known` false when the encoding is not known.
bool EncodingToUtf8(const std::string &encoding, const std::string &text, std::string &utf8, TextFault &fault,
                    bool &known);
bool Utf8ToEncoding(const std::string &encoding, const std::string &utf8, std::string &text, TextFault &fault,
                    bool &known);
// Whether the system converts `encoding` at all.
bool EncodingKnown(const std::string &encoding);

// The "U+XXXX" form of a character.
std::string CharacterName(char32_t c);
// UTF-8 of one character, and the characters of a UTF-8 text (bytes that
// are no UTF-8 count as characters of their own value).
std::string Utf8Of(char32_t c);
std::u32string Utf32Of(std::string_view utf8);
// The character at `at` of a UTF-8 text, as Utf32Of takes it, and `at`
// moved past it.
char32_t NextCharacter(std::string_view utf8, size_t &at);

#endif
