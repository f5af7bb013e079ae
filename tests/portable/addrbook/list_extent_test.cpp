// The horizontal extent of the address book lists, on a real dialog.
#include "addrbook/display_lines.h"

#include <functional>

#include "book_fixture.h"
#include "platform/portable/front_end.h"
#include "res/resource.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct Hands : portable::FrontEnd {
    std::function<void(HWND)> act;
    void RunDialog(HWND dialog) override {
        act(dialog);
        EndDialog(dialog, IDOK);
    }
    int AnswerMessageBox(HWND, const std::string &, const std::string &, UINT) override { return IDOK; }
};

class ListExtentTest : public BookTest {
protected:
    // Runs the address book template with `act` as the user.
    void WithBookDialog(std::function<void(HWND)> act) {
        Hands hands;
        hands.act = std::move(act);
        portable::FrontEnd *previous = portable::CurrentFrontEnd();
        portable::SetFrontEnd(&hands);
        INT_PTR result = DialogBoxParamA(portable::ModuleInstance(), "IDD_EDIT_ADDRESS_BOOK", nullptr, PlainProc, 0);
        portable::SetFrontEnd(previous);
        EXPECT_EQ(result, IDOK);
    }
};

TEST_F(ListExtentTest, LongestLineTimesTheAverageWidth) {
    WithBookDialog([](HWND dialog) {
        int width = GetAverageCharWidth(dialog);
        EXPECT_GT(width, 0);
        for (const char *line : {"Lee, Ann\tAcme", "[Team]", "Longer-Name, Someone\tA Company Ltd", "x"})
            SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        SetListHorizontalExtent(dialog, 1017);
        // The TAB counts as one character.
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETHORIZONTALEXTENT, 0, 0), 34 * width);
    });
}

TEST_F(ListExtentTest, EmptyListGetsNoExtent) {
    WithBookDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_SETHORIZONTALEXTENT, 500, 0);
        SetListHorizontalExtent(dialog, 1017);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETHORIZONTALEXTENT, 0, 0), 0);
    });
}

TEST_F(ListExtentTest, AverageWidthIsThatOfTheWindowsOwnContext) {
    WithBookDialog([](HWND dialog) {
        HDC context = GetDC(dialog);
        TEXTMETRICA metrics{};
        ASSERT_TRUE(GetTextMetricsA(context, &metrics));
        ReleaseDC(dialog, context);
        EXPECT_EQ(GetAverageCharWidth(dialog), metrics.tmAveCharWidth);
    });
}

}  // namespace
