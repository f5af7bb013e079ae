// Running scripts against dialogs: nesting, message boxes and failures.
#include "platform/portable/script_front_end.h"

#include "platform/portable/host.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using portable::ModuleInstance;
using portable::ScriptFrontEnd;

std::string typedNumber;

// The number editor's bones: OK ends with 1 and keeps the number; Cancel
// ends with 2; OK with the details "ask" asks first; "nest" in the details
// opens another number dialog from OK.
INT_PTR CALLBACK NumberProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return 0;
    char number[64] = "", details[64] = "";
    GetDlgItemTextA(dialog, IDC_NUMBER_NUMBER, number, sizeof number);
    GetDlgItemTextA(dialog, IDC_NUMBER_DETAILS, details, sizeof details);
    if (LOWORD(wParam) == IDC_NUMBER_NUMBER && HIWORD(wParam) == EN_CHANGE)
        EnableWindow(GetDlgItem(dialog, IDOK), number[0] != 0);
    if (LOWORD(wParam) == IDOK) {
        if (std::string(details) == "ask" &&
            MessageBoxA(dialog, "Keep it?", "Question", MB_YESNO) != IDYES)
            return 0;
        if (std::string(details) == "nest")
            DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", dialog, NumberProc, 0);
        typedNumber = number;
        EndDialog(dialog, 1);
    }
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 2);
    return 0;
}

struct ScriptRunOf {
    ScriptFrontEnd script;
    INT_PTR result = 0;
    explicit ScriptRunOf(const std::string &text, bool twice = false) {
        typedNumber.clear();
        EXPECT_TRUE(script.Parse(text, "run.script")) << script.Report();
        portable::ScopedFrontEnd scoped(&script);
        result = DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, NumberProc, 0);
        if (twice) result = DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, NumberProc, 0);
    }
};

TEST(ScriptRun, TypesChecksAndEnds) {
    ScriptRunOf run("dialog \"Edit Number\"\n"
            "expect-focus IDC_NUMBER_NUMBER\n"
            "expect-enabled IDOK\n"
            "type IDC_NUMBER_NUMBER \"555\"\n"
            "expect-text IDC_NUMBER_NUMBER \"555\"\n"
            "clear IDC_NUMBER_NUMBER\n"
            "expect-disabled IDOK\n"
            "type IDC_NUMBER_NUMBER \"0049 30\"\n"
            "click IDOK\n");
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(typedNumber, "0049 30");
    EXPECT_TRUE(run.script.Finish()) << run.script.Report();
}

TEST(ScriptRun, AFailedLineNamesScriptLineDialogControlAndReason) {
    ScriptRunOf run("type IDC_NUMBER_NUMBER \"1\"\n"
            "\n"
            "click 1099\n"
            "click IDOK\n");
    EXPECT_EQ(run.result, IDCANCEL);
    ASSERT_EQ(run.script.Errors().size(), 1u);
    EXPECT_EQ(run.script.Errors()[0],
              "run.script:3: click 1099: in \"Edit Number\": the dialog has no control 1099");
    EXPECT_FALSE(run.script.Finish());
    EXPECT_EQ(typedNumber, "");
}

TEST(ScriptRun, ChecksThatDoNotHoldFail) {
    ScriptRunOf wrongCaption("dialog \"Fax Document\"\n");
    EXPECT_NE(wrongCaption.script.Report().find("expected the dialog \"Fax Document\""),
              std::string::npos);
    ScriptRunOf disabledClick("type IDC_NUMBER_NUMBER \"1\"\nclear IDC_NUMBER_NUMBER\nclick IDOK\n");
    EXPECT_NE(disabledClick.script.Report().find(
                  "run.script:3: click IDOK: in \"Edit Number\": cannot click: control 1 of \"Edit "
                  "Number\" is disabled"),
              std::string::npos)
        << disabledClick.script.Report();
    ScriptRunOf text("type IDC_NUMBER_NUMBER \"12\"\nexpect-text IDC_NUMBER_NUMBER \"13\"\n");
    EXPECT_NE(text.script.Report().find("control 1012 reads \"12\""), std::string::npos)
        << text.script.Report();
    ScriptRunOf kind("check IDOK\n");
    EXPECT_NE(kind.script.Report().find("is a button, not a check box"), std::string::npos)
        << kind.script.Report();
    ScriptRunOf lines("expect-lines IDOK 1\n");
    EXPECT_NE(lines.script.Report().find("not a list box or an edit"), std::string::npos);
}

TEST(ScriptRun, RunningOutOfLinesEndsTheDialogWithCancel) {
    ScriptRunOf run("type IDC_NUMBER_NUMBER \"1\"\n");
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_NE(run.script.Report().find("the script ended while the dialog is still open"),
              std::string::npos)
        << run.script.Report();
}

TEST(ScriptRun, MessageBoxesTakeTheNextLine) {
    ScriptRunOf yes("type IDC_NUMBER_NUMBER \"7\"\ntype IDC_NUMBER_DETAILS \"ask\"\nclick IDOK\n"
            "answer yes \"Keep it?\"\n");
    EXPECT_EQ(yes.result, 1);
    EXPECT_TRUE(yes.script.Finish()) << yes.script.Report();
    ASSERT_EQ(yes.script.MessageBoxes().size(), 1u);
    EXPECT_EQ(yes.script.MessageBoxes()[0].caption, "Question");
    EXPECT_EQ(yes.script.MessageBoxes()[0].text, "Keep it?");
    EXPECT_EQ(yes.script.MessageBoxes()[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(yes.script.MessageBoxes()[0].answer, IDYES);

    ScriptRunOf no("type IDC_NUMBER_NUMBER \"7\"\ntype IDC_NUMBER_DETAILS \"ask\"\nclick IDOK\n"
           "answer no\nexpect-text IDC_NUMBER_NUMBER \"7\"\nclick IDCANCEL\n");
    EXPECT_EQ(no.result, 2);
    EXPECT_TRUE(no.script.Finish()) << no.script.Report();
}

TEST(ScriptRun, MessageBoxMistakesFailWithTheSafeAnswer) {
    ScriptRunOf missing("type IDC_NUMBER_NUMBER \"7\"\ntype IDC_NUMBER_DETAILS \"ask\"\nclick IDOK\n"
                "click IDCANCEL\n");
    EXPECT_NE(missing.script.Report().find("run.script:4: click IDCANCEL"), std::string::npos);
    EXPECT_NE(missing.script.Report().find("message box \"Question\" \"Keep it?\" is shown; answer it first"),
              std::string::npos)
        << missing.script.Report();
    ASSERT_EQ(missing.script.MessageBoxes().size(), 1u);
    EXPECT_EQ(missing.script.MessageBoxes()[0].answer, IDNO);
    EXPECT_EQ(missing.result, IDCANCEL);

    ScriptRunOf wrongButton("type IDC_NUMBER_NUMBER \"7\"\ntype IDC_NUMBER_DETAILS \"ask\"\nclick IDOK\n"
                    "answer ok\n");
    EXPECT_NE(wrongButton.script.Report().find("has no button ok (it has yes, no)"), std::string::npos)
        << wrongButton.script.Report();
    ScriptRunOf wrongText("type IDC_NUMBER_NUMBER \"7\"\ntype IDC_NUMBER_DETAILS \"ask\"\nclick IDOK\n"
                  "answer yes \"Keep?\"\n");
    EXPECT_NE(wrongText.script.Report().find("does not read \"Keep?\""), std::string::npos);
    ScriptRunOf noBox("answer ok\n");
    EXPECT_NE(noBox.script.Report().find("run.script:1: answer ok: in \"Edit Number\": no message box is shown"),
              std::string::npos)
        << noBox.script.Report();
}

TEST(ScriptRun, NestedDialogsTakeTheFollowingLines) {
    ScriptRunOf run("type IDC_NUMBER_NUMBER \"outer\"\n"
            "type IDC_NUMBER_DETAILS \"nest\"\n"
            "click IDOK\n"
            "  expect-text IDC_NUMBER_NUMBER \"\"\n"
            "  type IDC_NUMBER_NUMBER \"inner\"\n"
            "  click IDOK\n");
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(typedNumber, "outer");  // the outer OK finishes after the inner one
    EXPECT_TRUE(run.script.Finish()) << run.script.Report();

    ScriptRunOf failing("type IDC_NUMBER_NUMBER \"outer\"\ntype IDC_NUMBER_DETAILS \"nest\"\nclick IDOK\n"
                "click 5000\nclick IDOK\n");
    EXPECT_NE(failing.script.Report().find("run.script:4"), std::string::npos);
    EXPECT_EQ(failing.script.Errors().size(), 1u) << failing.script.Report();
}

TEST(ScriptRun, LeftoverLinesAndSeveralDialogsInARow) {
    ScriptRunOf two("type IDC_NUMBER_NUMBER \"1\"\nclick IDOK\ntype IDC_NUMBER_NUMBER \"2\"\nclick IDOK\n", true);
    EXPECT_EQ(typedNumber, "2");
    EXPECT_TRUE(two.script.Finish()) << two.script.Report();

    ScriptRunOf leftover("click IDCANCEL\nclick IDOK\nescape\n");
    EXPECT_EQ(leftover.result, 2);
    EXPECT_FALSE(leftover.script.Finish());
    EXPECT_NE(leftover.script.Report().find("run.script:2: click IDOK: no dialog is open for this line (2 lines left unused)"),
              std::string::npos)
        << leftover.script.Report();
}

TEST(ScriptRun, EscapeAndCloseBoxCancel) {
    ScriptRunOf escape("escape\n");
    EXPECT_EQ(escape.result, 2);
    ScriptRunOf close("close\n");
    EXPECT_EQ(close.result, 2);
    EXPECT_TRUE(close.script.Finish()) << close.script.Report();
}

}  // namespace
