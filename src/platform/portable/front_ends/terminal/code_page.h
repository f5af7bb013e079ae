// The module's 8-bit text and the terminal's characters. The book, the
// settings and the string table are in the module's ANSI code page
// (Windows-1252, or the Japanese one in Kanji mode); the terminal shows
// wide characters in its own locale, and what the user types comes back
// as the code page's bytes, as WM_CHAR brings them on Windows.
#ifndef ORVIXFAX_TERMINAL_CODE_PAGE_H
#define ORVIXFAX_TERMINAL_CODE_PAGE_H

#include <iconv.h>

#include <string>
#include <vector>

namespace terminal {

class CodePage {
public:
    // `name` as iconv knows it ("CP1252", "CP932"). An unknown name falls
    // back to Latin-1, which every byte converts from.
    explicit CodePage(const std::string &name);
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;

    // The text as characters; a byte that does not convert shows as '?'.
    // With `starts`, the byte offset where each character begins, and the
    // length of the text after the last one.
    std::wstring ToWide(const std::string &bytes, std::vector<size_t> *starts = nullptr) const;
    // The bytes of one typed character; empty when the code page has none.
    std::string FromWide(wchar_t c) const;

private:
    iconv_t toWide_;
    iconv_t fromWide_;
};

// The columns a character takes on the terminal: 0 for one it cannot
// show (which is then drawn as '?', one column), else 1 or 2.
int CellWidth(wchar_t c);
// The characters as drawn: those the terminal cannot show become '?'.
std::wstring Showable(const std::wstring &text);
// The columns of a text once Showable.
int TextWidth(const std::wstring &text);

}  // namespace terminal

#endif
