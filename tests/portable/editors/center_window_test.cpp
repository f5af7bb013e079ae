// Centring on the screen, with the edge cases of a window larger than the
// screen and of odd differences (integer division).
#include "book_fixture.h"
#include "common/center_window.h"
#include "common/module_instance.h"
#include "editors/number_editor.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

class CenterWindowTest : public BookTest {
protected:
    // Runs the small number dialog and centres it on a screen of the given size.
    RECT CentreOn(int screenWidth, int screenHeight, RECT *size) {
        portable::SetScreenSize(screenWidth, screenHeight);
        RECT placed{};
        user_.Then([&](HWND dialog) {
            RECT before;
            GetWindowRect(dialog, &before);
            *size = before;
            CenterWindow(dialog);
            GetWindowRect(dialog, &placed);
            Click(dialog, IDCANCEL);
        });
        NumberRecord record{};
        NumberEditorParams params{EDITOR_EDIT, &record};
        DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, EditNumberDlgProc,
                        reinterpret_cast<LPARAM>(&params));
        return placed;
    }
};

TEST_F(CenterWindowTest, CentresAndKeepsTheSize) {
    RECT size{};
    const RECT placed = CentreOn(1025, 769, &size);
    const int width = size.right - size.left;
    const int height = size.bottom - size.top;
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    EXPECT_EQ(placed.left, (1025 - width) / 2);
    EXPECT_EQ(placed.top, (769 - height) / 2);
    EXPECT_EQ(placed.right - placed.left, width);
    EXPECT_EQ(placed.bottom - placed.top, height);
}

TEST_F(CenterWindowTest, AWindowLargerThanTheScreenStaysAtTheTopLeftCorner) {
    RECT size{};
    const RECT placed = CentreOn(10, 10, &size);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right - placed.left, size.right - size.left);
}

}  // namespace
