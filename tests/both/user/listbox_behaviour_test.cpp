// List boxes as Windows keeps them: sorted insertion, selection in single
// and multiple-selection lists, item data and user notifications.
#include "support/behaviour_harness.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using behaviour::Recorder;
using behaviour::RunInDialog;

LRESULT Add(HWND list, const char *text) {
    return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

std::vector<std::string> Lines(HWND list) {
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        lines.push_back(text);
    }
    return lines;
}

// A sorted single-selection list that notifies.
void InSortedList(const std::function<void(HWND list)> &body, Recorder *notes = nullptr) {
    RunInDialog("IDD_SORTED_LIST",
                [&](HWND dialog) { body(GetDlgItem(dialog, IDC_SORTED_LIST)); }, notes);
}

// A sorted multiple-selection list that notifies.
void InMultipleList(const std::function<void(HWND list)> &body, Recorder *notes = nullptr) {
    RunInDialog("IDD_CHOICES",
                [&](HWND dialog) { body(GetDlgItem(dialog, IDC_CHOICES_LIST)); }, notes);
}

TEST(ListBoxSort, BinaryInsertionReturnsEachNewIndex) {
    InSortedList([](HWND list) {
        EXPECT_EQ(Add(list, "item 2"), 0);
        EXPECT_EQ(Add(list, "item 0"), 0);
        EXPECT_EQ(Add(list, "item 1"), 1);
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"item 0", "item 1", "item 2"}));
    });
}

TEST(ListBoxSort, CaseDoesNotCountAndAnEqualLineGoesAtTheEqualIndex) {
    InSortedList([](HWND list) {
        Add(list, "beta");
        Add(list, "Alpha");
        Add(list, "GAMMA");
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"Alpha", "beta", "GAMMA"}));
        // "BETA" equals line 1; the binary search meets it and inserts there.
        EXPECT_EQ(Add(list, "BETA"), 1);
        EXPECT_EQ(Lines(list)[1], "BETA");
        EXPECT_EQ(Lines(list)[2], "beta");
    });
}

TEST(ListBoxSort, PunctuationThenDigitsOneByOneThenLetters) {
    // Windows' word sort: group lines in brackets come before names, and
    // numbers compare digit by digit. A byte-order compare would put
    // "[Team]" after "Zed" once case is folded.
    InSortedList([](HWND list) {
        Add(list, "Zed");
        Add(list, "adams");
        Add(list, "9 Lives");
        Add(list, "[Team]");
        Add(list, "10 Downing");
        EXPECT_EQ(Lines(list),
                  (std::vector<std::string>{"[Team]", "10 Downing", "9 Lives", "adams", "Zed"}));
    });
}

TEST(ListBoxSort, HyphensAndApostrophesArePassedOver) {
    // "co-z" sorts as "coz", after "coa"; byte order would put it first.
    InSortedList([](HWND list) {
        Add(list, "coa");
        EXPECT_EQ(Add(list, "co-z"), 1);
        EXPECT_EQ(Add(list, "O'Neil"), 2);
        EXPECT_EQ(Add(list, "Ohm"), 2);  // "Ohm" before "ONeil"
    });
}

TEST(ListBoxSort, InsertStringNeverSorts) {
    InSortedList([](HWND list) {
        Add(list, "b");
        EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>("a")), 1);
        EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("z")), 0);
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"z", "b", "a"}));
        EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    });
}

TEST(ListBoxSingle, SelectionMessages) {
    Recorder notes;
    InSortedList(
        [&](HWND list) {
            Add(list, "a");
            Add(list, "b");
            Add(list, "c");
            notes.Clear();
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
            EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 2, 0), 2);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
            EXPECT_GT(SendMessageA(list, LB_GETSEL, 2, 0), 0);
            EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 0);
            EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
            int items[4] = {};
            EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), LB_ERR);
            // Wine selects line 1 here instead of refusing.
            if (!behaviour::RunsOnWine()) {
                EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 1), LB_ERR);
            }
            // Removing a line before the selection moves it up; removing
            // the selected line leaves none.
            EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 2);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
            EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 1, 0), 1);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
        },
        &notes);
    // Selection by code notifies nothing.
    EXPECT_EQ(notes.Count(IDC_SORTED_LIST, LBN_SELCHANGE), 0);
}

TEST(ListBoxMultiple, SelectionMessages) {
    Recorder notes;
    InMultipleList(
        [&](HWND list) {
            for (const char *text : {"a", "b", "c", "d", "e"}) Add(list, text);
            notes.Clear();
            // The caret stands in for the current selection: 0 at the start.
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), LB_ERR);
            EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 3), LB_OKAY);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3);
            SendMessageA(list, LB_SETSEL, TRUE, 4);
            SendMessageA(list, LB_SETSEL, TRUE, 1);
            EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 1);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
            int items[5] = {-1, -1, -1, -1, -1};
            EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 5, reinterpret_cast<LPARAM>(items)), 3);
            EXPECT_EQ(items[0], 1);
            EXPECT_EQ(items[1], 3);
            EXPECT_EQ(items[2], 4);
            int two[5] = {-1, -1, -1, -1, -1};
            EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(two)), 2);
            EXPECT_EQ(two[0], 1);
            EXPECT_EQ(two[1], 3);
            EXPECT_EQ(two[2], -1);
            SendMessageA(list, LB_SETSEL, FALSE, 3);
            EXPECT_EQ(SendMessageA(list, LB_GETSEL, 3, 0), 0);
            SendMessageA(list, LB_SETSEL, FALSE, -1);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);
            SendMessageA(list, LB_SETSEL, TRUE, -1);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 5);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_CHOICES_LIST, LBN_SELCHANGE), 0);
}

TEST(ListBoxMultiple, UserClicksToggleAndNotify) {
    Recorder notes;
    InMultipleList(
        [&](HWND list) {
            Add(list, "a");
            Add(list, "b");
            notes.Clear();
            behaviour::ClickLine(list, 1);
            EXPECT_GT(SendMessageA(list, LB_GETSEL, 1, 0), 0);
            behaviour::ClickLine(list, 0);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 2);
            behaviour::ClickLine(list, 1);
            EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 0);
            EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 1);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_CHOICES_LIST, LBN_SELCHANGE), 3);
}

TEST(ListBoxSingle, UserClicksNotifyFocusSelectionAndDoubleClick) {
    Recorder notes;
    InSortedList(
        [&](HWND list) {
            Add(list, "a");
            Add(list, "b");
            notes.Clear();
            behaviour::ClickLine(list, 1);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
            EXPECT_EQ(GetFocus(), list);
            behaviour::DoubleClickLine(list, 0);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
        },
        &notes);
    std::vector<int> codes = notes.Codes(IDC_SORTED_LIST);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), LBN_SETFOCUS);
    EXPECT_EQ(notes.Count(IDC_SORTED_LIST, LBN_SETFOCUS), 1);
    EXPECT_GE(notes.Count(IDC_SORTED_LIST, LBN_SELCHANGE), 2);
    EXPECT_EQ(notes.Count(IDC_SORTED_LIST, LBN_DBLCLK), 1);
}

TEST(ListBoxLines, TextDataDeletionAndReset) {
    InSortedList([](HWND list) {
        EXPECT_EQ(Add(list, "b\tline"), 0);
        EXPECT_EQ(Add(list, "a"), 0);
        // Success is not documented as LB_OKAY: Wine answers TRUE, as it
        // says Windows does; only the error value is certain.
        EXPECT_NE(SendMessageA(list, LB_SETITEMDATA, 1, 0x1234), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 0x1234);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 0, 0), 0);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 5, 0), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 5, 1), LB_ERR);
        EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 6);  // the tab counts as one
        EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 2, 0), LB_ERR);
        char text[16] = "";
        EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 9, reinterpret_cast<LPARAM>(text)), LB_ERR);
        // Data travels with its line when an earlier line goes.
        EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 1);
        EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 0, 0), 0x1234);
        EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 3, 0), LB_ERR);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    });
}

TEST(ListBoxLines, FindingLinesByTheirStartOrWholeText) {
    InSortedList([](HWND list) {
        for (const char *text : {"[Team]", "Baker, Ann", "baker, Bob", "Carter"}) Add(list, text);
        auto find = [&](UINT message, int start, const char *text) {
            return SendMessageA(list, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
        };
        EXPECT_EQ(find(LB_FINDSTRING, -1, "BAKER"), 1);
        EXPECT_EQ(find(LB_FINDSTRING, 1, "baker"), 2);   // starts after line 1
        EXPECT_EQ(find(LB_FINDSTRING, 2, "baker"), 1);   // and wraps round
        EXPECT_EQ(find(LB_FINDSTRING, -1, "Zed"), LB_ERR);
        EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "baker"), LB_ERR);
        EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "CARTER"), 3);
        EXPECT_EQ(find(LB_SELECTSTRING, -1, "car"), 3);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3);
    });
}

TEST(ListBoxLines, TabStopsAndHorizontalExtent) {
    InSortedList([](HWND list) {
        int stops[2] = {40, 80};
        EXPECT_TRUE(SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops)));
        EXPECT_TRUE(SendMessageA(list, LB_SETTABSTOPS, 0, 0));  // back to the default
        SendMessageA(list, LB_SETHORIZONTALEXTENT, 321, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 321);
        SendMessageA(list, LB_SETHORIZONTALEXTENT, 0, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
    });
}

}  // namespace
