// The display lines of an edit control: what the user sees on each line,
// which is what EM_GETLINE and EM_GETLINECOUNT count.
//
// Only CR LF breaks a paragraph (as in the classic Windows edit). A
// multi-line edit without ES_AUTOHSCROLL wraps each paragraph at its width
// in characters (window width / average character width of its font, at
// least 1): a line ends after the last space that still fits, with the
// spaces that follow it kept at its end; a word longer than a whole line
// is broken inside, at the width. Other edits show one line per paragraph.
#ifndef ORVIXFAX_PORTABLE_EDIT_LINES_H
#define ORVIXFAX_PORTABLE_EDIT_LINES_H

#include <cstddef>
#include <string>
#include <vector>

namespace portable {

struct EditLine {
    size_t start = 0;   // index of the first character in the text
    size_t length = 0;  // characters shown, without the CR LF
};

std::vector<EditLine> WrapEditText(const std::string &text, bool multiline, bool wrap,
                                   size_t widthInChars);

}  // namespace portable

#endif
