// The scripted front end over the portable layer: the lines reach the
// dialogs the modal loop hands over, nested dialogs and message boxes
// included, and a failed run ends everything with the user's way out.
// What each line means and says is the engine's (tests/script).
#include "platform/portable/front_ends/script_front_end.h"

#include "platform/portable/host.h"
#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using portable::ModuleInstance;
using portable::ScriptFrontEnd;

std::string typedNumber;

// A number editor's bones: OK ends with 1 and keeps the first field;
// Cancel ends with 2; OK with "ask" in the second field asks first; "nest"
// there opens another such dialog from OK.
INT_PTR CALLBACK NumberProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return 0;
    char number[64] = "", second[64] = "";
    GetDlgItemTextA(dialog, IDC_FIELDS_FIRST, number, sizeof number);
    GetDlgItemTextA(dialog, IDC_FIELDS_SECOND, second, sizeof second);
    if (LOWORD(wParam) == IDC_FIELDS_FIRST && HIWORD(wParam) == EN_CHANGE)
        EnableWindow(GetDlgItem(dialog, IDOK), number[0] != 0);
    if (LOWORD(wParam) == IDOK) {
        if (std::string(second) == "ask" &&
            MessageBoxA(dialog, "Keep it?", "Question", MB_YESNO) != IDYES)
            return 0;
        if (std::string(second) == "nest")
            DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", dialog, NumberProc, 0);
        typedNumber = number;
        EndDialog(dialog, 1);
    }
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 2);
    return 0;
}

// The scripts name the test dialog's controls by their names.
bool TestControlId(const std::string &name, int &id) {
    if (name == "IDC_FIELDS_FIRST") id = IDC_FIELDS_FIRST;
    else if (name == "IDC_FIELDS_SECOND") id = IDC_FIELDS_SECOND;
    else return false;
    return true;
}

struct ScriptRunOf {
    ScriptFrontEnd script{TestControlId};
    INT_PTR result = 0;
    explicit ScriptRunOf(const std::string &text, bool twice = false) {
        typedNumber.clear();
        EXPECT_TRUE(script.Parse(text, "run.script")) << script.Report();
        portable::ScopedFrontEnd scoped(&script);
        result = DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, NumberProc, 0);
        if (twice) result = DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, NumberProc, 0);
    }
};

TEST(ScriptRun, TypesChecksAndEnds) {
    ScriptRunOf run("dialog \"Edit Fields\"\n"
            "expect-focus IDC_FIELDS_FIRST\n"
            "expect-enabled IDOK\n"
            "type IDC_FIELDS_FIRST \"555\"\n"
            "expect-text IDC_FIELDS_FIRST \"555\"\n"
            "clear IDC_FIELDS_FIRST\n"
            "expect-disabled IDOK\n"
            "type IDC_FIELDS_FIRST \"0049 30\"\n"
            "click IDOK\n");
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(typedNumber, "0049 30");
    EXPECT_TRUE(run.script.Finish()) << run.script.Report();
}

TEST(ScriptRun, AFailedLineStopsTheRunAndCancelsTheDialog) {
    ScriptRunOf run("type IDC_FIELDS_FIRST \"1\"\n"
            "\n"
            "click 1099\n"
            "click IDOK\n");
    EXPECT_EQ(run.result, IDCANCEL);
    ASSERT_EQ(run.script.Errors().size(), 1u);
    EXPECT_EQ(run.script.Errors()[0], "run.script:3: click 1099: in \"Edit Fields\": the dialog has no control 1099");
    EXPECT_FALSE(run.script.Finish());
    EXPECT_EQ(typedNumber, "");
}

TEST(ScriptRun, RunningOutOfLinesEndsTheDialogWithCancel) {
    ScriptRunOf run("type IDC_FIELDS_FIRST \"1\"\n");
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_EQ(run.script.Report(), "run.script: in \"Edit Fields\": the script ended while the dialog is still open\n");
}

TEST(ScriptRun, MessageBoxesTakeTheNextLine) {
    ScriptRunOf yes("type IDC_FIELDS_FIRST \"7\"\ntype IDC_FIELDS_SECOND \"ask\"\nclick IDOK\n"
            "answer yes \"Keep it?\"\n");
    EXPECT_EQ(yes.result, 1);
    EXPECT_TRUE(yes.script.Finish()) << yes.script.Report();
    ASSERT_EQ(yes.script.MessageBoxes().size(), 1u);
    EXPECT_EQ(yes.script.MessageBoxes()[0].caption, "Question");
    EXPECT_EQ(yes.script.MessageBoxes()[0].text, "Keep it?");
    EXPECT_EQ(yes.script.MessageBoxes()[0].answer, IDYES);

    ScriptRunOf no("type IDC_FIELDS_FIRST \"7\"\ntype IDC_FIELDS_SECOND \"ask\"\nclick IDOK\n"
           "answer no\nexpect-text IDC_FIELDS_FIRST \"7\"\nclick IDCANCEL\n");
    EXPECT_EQ(no.result, 2);
    EXPECT_TRUE(no.script.Finish()) << no.script.Report();
}

TEST(ScriptRun, AMessageBoxAfterAFailureGetsTheSafeAnswer) {
    ScriptRunOf wrong("type IDC_FIELDS_FIRST \"7\"\ntype IDC_FIELDS_SECOND \"ask\"\nclick IDOK\n"
              "click IDCANCEL\n");
    EXPECT_NE(wrong.script.Report().find("run.script:4: click IDCANCEL: the message box"), std::string::npos)
        << wrong.script.Report();
    ASSERT_EQ(wrong.script.MessageBoxes().size(), 1u);
    EXPECT_EQ(wrong.script.MessageBoxes()[0].answer, IDNO);
    EXPECT_EQ(wrong.result, IDCANCEL);

    ScriptRunOf ranOut("type IDC_FIELDS_FIRST \"7\"\ntype IDC_FIELDS_SECOND \"ask\"\nclick IDOK\n");
    EXPECT_NE(ranOut.script.Report().find("the script ended while the message box \"Question\" \"Keep it?\" is shown"),
              std::string::npos)
        << ranOut.script.Report();
    EXPECT_EQ(ranOut.result, IDCANCEL);
}

TEST(ScriptRun, NestedDialogsTakeTheFollowingLines) {
    ScriptRunOf run("type IDC_FIELDS_FIRST \"outer\"\n"
            "type IDC_FIELDS_SECOND \"nest\"\n"
            "click IDOK\n"
            "  expect-text IDC_FIELDS_FIRST \"\"\n"
            "  type IDC_FIELDS_FIRST \"inner\"\n"
            "  click IDOK\n");
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(typedNumber, "outer");  // the outer OK finishes after the inner one
    EXPECT_TRUE(run.script.Finish()) << run.script.Report();

    ScriptRunOf failing("type IDC_FIELDS_FIRST \"outer\"\ntype IDC_FIELDS_SECOND \"nest\"\nclick IDOK\n"
                "click 5000\nclick IDOK\n");
    EXPECT_NE(failing.script.Report().find("run.script:4"), std::string::npos);
    EXPECT_EQ(failing.script.Errors().size(), 1u) << failing.script.Report();
}

TEST(ScriptRun, LeftoverLinesAndSeveralDialogsInARow) {
    ScriptRunOf two("type IDC_FIELDS_FIRST \"1\"\nclick IDOK\ntype IDC_FIELDS_FIRST \"2\"\nclick IDOK\n", true);
    EXPECT_EQ(typedNumber, "2");
    EXPECT_TRUE(two.script.Finish()) << two.script.Report();

    ScriptRunOf leftover("click IDCANCEL\nclick IDOK\nescape\n");
    EXPECT_EQ(leftover.result, 2);
    EXPECT_FALSE(leftover.script.Finish());
    EXPECT_EQ(leftover.script.Report(),
              "run.script:2: click IDOK: no dialog is open for this line (2 lines left unused)\n");
}

TEST(ScriptRun, EscapeAndCloseBoxCancel) {
    ScriptRunOf escape("escape\n");
    EXPECT_EQ(escape.result, 2);
    ScriptRunOf close("close\n");
    EXPECT_EQ(close.result, 2);
    EXPECT_TRUE(close.script.Finish()) << close.script.Report();
}

}  // namespace
