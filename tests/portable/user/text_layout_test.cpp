// The portable layer's own text rules: display lines of edits, the note
// field's 50-character wrap and the list box order beyond what Windows
// can be asked about.
#include "support/test_front_end.h"

#include "platform/portable/user/edit_lines.h"
#include "platform/portable/user/listbox_order.h"
#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using portable::CompareListText;
using portable::WrapEditText;

std::vector<std::string> Wrapped(const std::string &text, size_t width) {
    std::vector<std::string> lines;
    for (const auto &line : WrapEditText(text, true, true, width))
        lines.push_back(text.substr(line.start, line.length));
    return lines;
}

TEST(EditLines, EmptyTextAndLineBreaks) {
    EXPECT_EQ(Wrapped("", 10), std::vector<std::string>{""});
    EXPECT_EQ(Wrapped("\r\n", 10), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Wrapped("a\r\n\r\nb\r\n", 10), (std::vector<std::string>{"a", "", "b", ""}));
    // A lone line feed is no line break.
    EXPECT_EQ(Wrapped("a\nb", 10), std::vector<std::string>{"a\nb"});
}

TEST(EditLines, BreaksAtTheLastSpaceThatFits) {
    EXPECT_EQ(Wrapped("aaaa bbbb cccc", 10), (std::vector<std::string>{"aaaa bbbb ", "cccc"}));
    // Exactly the width fits; the spaces after it stay on the line.
    EXPECT_EQ(Wrapped("aaaaaaaaaa   bb", 10), (std::vector<std::string>{"aaaaaaaaaa   ", "bb"}));
    EXPECT_EQ(Wrapped("aaaaaaaaaa", 10), std::vector<std::string>{"aaaaaaaaaa"});
    EXPECT_EQ(Wrapped("aaaaaaaaaaa", 10), (std::vector<std::string>{"aaaaaaaaaa", "a"}));
    EXPECT_EQ(Wrapped("ab abcdefghijklmnop", 5),
              (std::vector<std::string>{"ab ", "abcde", "fghij", "klmno", "p"}));
    // Trailing blanks at the end of a paragraph make no empty line.
    EXPECT_EQ(Wrapped("aaaa bbbb      ", 5), (std::vector<std::string>{"aaaa ", "bbbb      "}));
}

TEST(EditLines, NoWrapAndSingleLine) {
    auto lines = WrapEditText("abcdef ghij\r\nk", true, false, 3);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].length, 11u);
    lines = WrapEditText("abc\r\ndef", false, true, 2);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].length, 8u);
}

TEST(ListOrder, RulesOnAscii) {
    EXPECT_EQ(CompareListText("Smith", "SMITH"), 0);
    EXPECT_LT(CompareListText("Smith, Ann\tAcme", "Smith, Ann Bee\tX"), 0);  // tab before blank
    EXPECT_LT(CompareListText("[Team]", "10"), 0);
    EXPECT_LT(CompareListText("10", "9"), 0);
    EXPECT_LT(CompareListText("9", "a"), 0);
    EXPECT_LT(CompareListText("ab", "abc"), 0);
    EXPECT_LT(CompareListText("coa", "co-z"), 0);
    EXPECT_LT(CompareListText("coop", "co-op"), 0);  // without the hyphen first
    EXPECT_GT(CompareListText("co-op", "coop"), 0);
    EXPECT_NE(CompareListText("o'neil", "o-neil"), 0);
    EXPECT_LT(CompareListText("+", "0"), 0);
    EXPECT_LT(CompareListText("~", "+"), 0);
}

TEST(ListOrder, BytesAbove127ComeAfterAscii) {
    EXPECT_GT(CompareListText("\xE9t\xE9", "zz"), 0);
    EXPECT_LT(CompareListText("\xC0", "\xE0"), 0);
}

TEST(NoteField, WrapsAtExactlyFiftyCharactersOfTheNoteFont) {
    TestFrontEnd frontEnd;
    portable::SetFrontEnd(&frontEnd);
    frontEnd.onDialog = [](HWND dialog) {
        HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
        LOGFONTA logFont{};
        logFont.lfHeight = -11;
        logFont.lfWidth = 8;
        logFont.lfPitchAndFamily = FIXED_PITCH;
        HFONT font = CreateFontIndirectA(&logFont);
        SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        HDC dc = GetDC(note);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(note, dc);
        SetWindowPos(note, nullptr, 0, 0, 50 * tm.tmAveCharWidth,
                     8 * (tm.tmHeight + tm.tmInternalLeading + tm.tmExternalLeading),
                     SWP_NOMOVE | SWP_NOZORDER);
        std::string fifty(50, 'n');
        SetWindowTextA(note, (fifty + fifty + "x").c_str());
        auto lines = portable::automation::EditLines(dialog, IDC_NOTE_TEXT);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], fifty);
        EXPECT_EQ(lines[2], "x");
        std::string words = std::string(45, 'a') + " " + std::string(10, 'b');
        SetWindowTextA(note, words.c_str());
        lines = portable::automation::EditLines(dialog, IDC_NOTE_TEXT);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].size(), 46u);
        EndDialog(dialog, 1);
        SendMessageA(note, WM_SETFONT, 0, FALSE);
        DeleteObject(font);
    };
    DialogBoxParamA(portable::ModuleInstance(), "IDD_NOTE", nullptr, RecordingProc, 0);
    portable::SetFrontEnd(nullptr);
}

}  // namespace
