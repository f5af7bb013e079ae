#include "platform/portable/front_ends/terminal/code_page.h"

#include <cerrno>
#include <cwchar>

namespace terminal {
namespace {

const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

// One character from `in`: its bytes are taken from the input. False when
// the bytes there make no character (they are left for the caller).
bool NextCharacter(iconv_t handle, const char *&in, size_t &left, wchar_t &out) {
    // A character of the code pages used here takes one or two bytes.
    for (size_t take = 1; take <= 2 && take <= left; ++take) {
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char *from = const_cast<char *>(in);
        size_t fromLeft = take;
        char *to = reinterpret_cast<char *>(&out);
        size_t toLeft = sizeof out;
        if (iconv(handle, &from, &fromLeft, &to, &toLeft) != static_cast<size_t>(-1) && toLeft == 0) {
            in += take;
            left -= take;
            return true;
        }
        if (errno != EINVAL) return false;  // not the start of a longer character
    }
    return false;
}

}  // namespace

CodePage::CodePage(const std::string &name) {
    toWide_ = iconv_open("WCHAR_T", name.c_str());
    fromWide_ = iconv_open(name.c_str(), "WCHAR_T");
    if (toWide_ == kNone || fromWide_ == kNone) {
        if (toWide_ != kNone) iconv_close(toWide_);
        if (fromWide_ != kNone) iconv_close(fromWide_);
        toWide_ = iconv_open("WCHAR_T", "ISO-8859-1");
        fromWide_ = iconv_open("ISO-8859-1", "WCHAR_T");
    }
}

CodePage::~CodePage() {
    if (toWide_ != kNone) iconv_close(toWide_);
    if (fromWide_ != kNone) iconv_close(fromWide_);
}

std::wstring CodePage::ToWide(const std::string &bytes, std::vector<size_t> *starts) const {
    std::wstring out;
    if (starts) starts->clear();
    const char *in = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        if (starts) starts->push_back(bytes.size() - left);
        wchar_t c = L'?';
        if (toWide_ == kNone || !NextCharacter(toWide_, in, left, c)) {
            // A byte the code page has no character for: '?', and on.
            c = L'?';
            ++in;
            --left;
        }
        out.push_back(c);
    }
    if (starts) starts->push_back(bytes.size());
    return out;
}

std::string CodePage::FromWide(wchar_t c) const {
    if (fromWide_ == kNone) return c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string();
    iconv(fromWide_, nullptr, nullptr, nullptr, nullptr);
    char *in = reinterpret_cast<char *>(&c);
    size_t inLeft = sizeof c;
    char buffer[8];
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(fromWide_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return {};
    return std::string(buffer, static_cast<size_t>(out - buffer));
}

int CellWidth(wchar_t c) {
    int width = wcwidth(c);
    return width < 0 ? 0 : width;
}

std::wstring Showable(const std::wstring &text) {
    std::wstring out = text;
    for (wchar_t &c : out) {
        if (c == L'\t') c = L' ';
        else if (CellWidth(c) == 0) c = L'?';
    }
    return out;
}

int TextWidth(const std::wstring &text) {
    int width = 0;
    for (wchar_t c : Showable(text)) width += CellWidth(c) > 0 ? CellWidth(c) : 1;
    return width;
}

}  // namespace terminal
