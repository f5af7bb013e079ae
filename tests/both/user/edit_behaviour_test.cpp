// Edits as Windows runs them: which changes notify, what limits what,
// read-only fields, Enter, and the display lines of a wrapping field.
#include "support/behaviour_harness.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using behaviour::Recorder;
using behaviour::RunInDialog;

std::string Text(HWND window) {
    char buffer[512] = "";
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

// EM_GETLINE with a buffer whose first WORD says `size`.
LRESULT GetLine(HWND edit, int line, WORD size, char *buffer) {
    std::memcpy(buffer, &size, sizeof size);
    return SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer));
}

std::string Line(HWND edit, int line) {
    char buffer[300];
    LRESULT count = GetLine(edit, line, 290, buffer);
    return std::string(buffer, static_cast<size_t>(count));
}

TEST(EditNotify, SetTextNotifiesOnlyFromASingleLineEdit) {
    Recorder notes;
    RunInDialog(
        "IDD_LINE_AND_NOTES",
        [&](HWND dialog) {
            notes.Clear();
            SetDlgItemTextA(dialog, IDC_LINE, "Ann");
            SetDlgItemTextA(dialog, IDC_NOTES, "multi-line notes");
            EXPECT_EQ(Text(GetDlgItem(dialog, IDC_NOTES)), "multi-line notes");
        },
        &notes);
    EXPECT_EQ(notes.Codes(IDC_LINE), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(notes.Codes(IDC_NOTES).empty());
}

TEST(EditLimit, SetTextIgnoresTheLimitTypingAndReplaceSelHonourIt) {
    Recorder notes;
    RunInDialog(
        "IDD_FIELDS",
        [&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_FIELDS_FIRST);
            EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 30000);
            SendMessageA(edit, EM_LIMITTEXT, 5, 0);
            EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 5);
            SetWindowTextA(edit, "1234567890");
            EXPECT_EQ(Text(edit), "1234567890");
            SetWindowTextA(edit, "123");
            notes.Clear();
            behaviour::TypeText(edit, "4567");
            EXPECT_EQ(Text(edit), "12345");
            EXPECT_GE(notes.Count(IDC_FIELDS_FIRST, EN_MAXTEXT), 1);
            // Only the two keys that changed the text notify; Wine also
            // notifies each of the two refused keys.
            EXPECT_EQ(notes.Count(IDC_FIELDS_FIRST, EN_CHANGE), behaviour::RunsOnWine() ? 4 : 2);
            SetWindowTextA(edit, "12");
            SendMessageA(edit, EM_SETSEL, 2, 2);
            notes.Clear();
            SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("abcdef"));
            EXPECT_EQ(Text(edit), "12abc");
            EXPECT_EQ(notes.Count(IDC_FIELDS_FIRST, EN_MAXTEXT), 1);
            // A limit of 0 is the largest there is.
            SendMessageA(edit, EM_LIMITTEXT, 0, 0);
            EXPECT_GE(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
        },
        &notes);
}

TEST(EditReadOnly, TypingChangesNothingButTheProgramMay) {
    RunInDialog("IDD_CHOICES", [](HWND dialog) {
        HWND numbers = GetDlgItem(dialog, IDC_CHOICES_READ_ONLY);
        EXPECT_TRUE(GetWindowLongPtrA(numbers, GWL_STYLE) & ES_READONLY);
        SetWindowTextA(numbers, "0123");
        behaviour::TypeText(numbers, "99");
        EXPECT_EQ(Text(numbers), "0123");
    });
}

TEST(EditEnter, DefaultButtonUnlessTheEditWantsReturn) {
    Recorder notes;
    RunInDialog(
        "IDD_NOTE",
        [&](HWND dialog) {
            HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
            behaviour::TypeText(note, "one\rtwo");
            EXPECT_EQ(Text(note), "one\r\ntwo");
            EXPECT_EQ(SendMessageA(note, EM_GETLINECOUNT, 0, 0), 2);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 0);

    notes.Clear();
    RunInDialog(
        "IDD_LINE_AND_NOTES",
        [&](HWND dialog) {
            HWND notesField = GetDlgItem(dialog, IDC_NOTES);
            behaviour::TypeText(notesField, "ab\r");
            EXPECT_EQ(Text(notesField), "ab");
        },
        &notes);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 1);
}

TEST(EditGetLine, BufferSizeTerminatorAndLinesPastTheEnd) {
    RunInDialog("IDD_LINE_AND_NOTES", [](HWND dialog) {
        HWND notesField = GetDlgItem(dialog, IDC_NOTES);
        SetWindowTextA(notesField, "abcdef\r\nxy");
        EXPECT_EQ(SendMessageA(notesField, EM_GETLINECOUNT, 0, 0), 2);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetLine(notesField, 0, 10, buffer), 6);
        EXPECT_EQ(std::string(buffer), "abcdef");  // room: terminated
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetLine(notesField, 0, 4, buffer), 4);
        EXPECT_EQ(std::string(buffer, 5), "abcd#");  // no room: not terminated
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetLine(notesField, 1, 2, buffer), 2);
        EXPECT_EQ(std::string(buffer, 3), "xy#");
        EXPECT_EQ(GetLine(notesField, 2, 10, buffer), 0);
        EXPECT_EQ(GetLine(notesField, 9, 10, buffer), 0);

        // A single-line edit has one line, whatever line is asked for.
        HWND first = GetDlgItem(dialog, IDC_LINE);
        SetWindowTextA(first, "Ann");
        EXPECT_EQ(SendMessageA(first, EM_GETLINECOUNT, 0, 0), 1);
        EXPECT_EQ(Line(first, 0), "Ann");
        EXPECT_EQ(Line(first, 3), "Ann");
    });
}

TEST(EditWrap, ParagraphsBreakAtTheLastSpaceThatFitsLongWordsInside) {
    RunInDialog("IDD_NOTE", [](HWND dialog) {
        HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
        LOGFONTA logFont{};
        logFont.lfHeight = -11;
        logFont.lfWidth = 8;
        logFont.lfPitchAndFamily = FIXED_PITCH;
        HFONT font = CreateFontIndirectA(&logFont);
        SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        // About 24 characters wide; frames and margins may take a few, so
        // the texts below wrap the same for any width from 16 to 23.
        SetWindowPos(note, nullptr, 0, 0, 24 * 8, 120, SWP_NOMOVE | SWP_NOZORDER);
        SetWindowTextA(note, "aaaaaaaaaaaaaaa bbbbbbbbbbbbbbb\r\n\r\nshort");
        EXPECT_EQ(SendMessageA(note, EM_GETLINECOUNT, 0, 0), 4);
        EXPECT_EQ(Line(note, 0), "aaaaaaaaaaaaaaa ");  // the space stays with its line
        EXPECT_EQ(Line(note, 1), "bbbbbbbbbbbbbbb");
        EXPECT_EQ(Line(note, 2), "");
        EXPECT_EQ(Line(note, 3), "short");

        std::string word(40, 'w');
        SetWindowTextA(note, word.c_str());
        int count = static_cast<int>(SendMessageA(note, EM_GETLINECOUNT, 0, 0));
        EXPECT_GE(count, 2);
        std::string joined;
        for (int i = 0; i < count; ++i) {
            std::string line = Line(note, i);
            EXPECT_FALSE(line.empty());
            EXPECT_LE(line.size(), 24u);
            joined += line;
        }
        EXPECT_EQ(joined, word);
        SendMessageA(note, WM_SETFONT, 0, FALSE);
        DeleteObject(font);
    });
}

TEST(EditWrap, AFieldThatCannotScrollDownTakesOnlyTheLinesItShows) {
    Recorder notes;
    RunInDialog(
        "IDD_NOTE",
        [&](HWND dialog) {
            // The note field has no ES_AUTOVSCROLL: 77 units high, it shows
            // far fewer than 30 lines of the dialog font.
            HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
            std::string enters(30, '\r');
            notes.Clear();
            behaviour::TypeText(note, ("a" + enters + "b").c_str());
            LRESULT lines = SendMessageA(note, EM_GETLINECOUNT, 0, 0);
            EXPECT_GT(lines, 3);
            EXPECT_LT(lines, 20);
            EXPECT_GE(notes.Count(IDC_NOTE_TEXT, EN_MAXTEXT), 1);
            // What was typed last went in on the last line that shows.
            EXPECT_EQ(Line(note, static_cast<int>(lines) - 1), "b");
        },
        &notes);
}

TEST(EditWrap, AnAutoScrollingFieldDoesNotWrap) {
    RunInDialog("IDD_CHOICES", [](HWND dialog) {
        HWND numbers = GetDlgItem(dialog, IDC_CHOICES_READ_ONLY);  // ES_AUTOHSCROLL
        std::string longLine(300, 'x');
        longLine += "\r\nsecond";
        SetWindowTextA(numbers, longLine.c_str());
        EXPECT_EQ(SendMessageA(numbers, EM_GETLINECOUNT, 0, 0), 2);
        EXPECT_EQ(Line(numbers, 1), "second");
    });
}

}  // namespace
