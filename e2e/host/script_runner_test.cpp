// The hands' own failures, on the real number editor: a script that goes
// wrong must say where and why, and must never leave the dialog hanging.
#include "dialog_driver.h"
#include "module_loader.h"
#include "script.h"
#include "script_runner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "addrbook/records.h"

namespace e2e {
namespace {

struct Outcome {
    INT_PTR result = 0;
    NumberRecord number{};
    std::vector<std::string> errors;
};

// Runs the module's number editor (through its export) on this thread
// while `script` plays the user from another.
Outcome RunNumberEditor(const std::string &script, int mode = EDITOR_EDIT) {
    static scenario::Exports exports;
    static bool loaded = false;
    if (!loaded) {
        std::vector<std::string> problems;
        loaded = LoadOrvixFax(exports, problems);
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
    Outcome out;
    std::memset(&out.number, 0, sizeof out.number);
    std::strcpy(out.number.number, "555");
    NumberEditorParams params{mode, &out.number};
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_TRUE(ParseScript(script, "test", 1, actions, error)) << error;
    ScriptRunner runner(actions, "test");
    InstallDialogThread(exports.instance);
    std::thread hands([&runner] { runner.Run(); });
    out.result = DialogBoxParamA(exports.instance, "IDD_EDIT_NUMBER", nullptr, exports.EditNumberDlgProc,
                                 reinterpret_cast<LPARAM>(&params));
    CallFinished();
    hands.join();
    UninstallDialogThread();
    out.errors = runner.Errors();
    return out;
}

TEST(ScriptRunnerOnRealDialogs, AGoodScriptEndsTheDialogAsTheUserDid) {
    Outcome o = RunNumberEditor("dialog \"Edit Number\"\nclear IDC_NUMBER_NUMBER\ntype IDC_NUMBER_NUMBER \"77\"\nenter\n");
    EXPECT_TRUE(o.errors.empty()) << o.errors.front();
    EXPECT_EQ(o.result, IDOK);
    EXPECT_STREQ(o.number.number, "77");
}

TEST(ScriptRunnerOnRealDialogs, AFailedCheckNamesLineDialogControlAndWhyAndClosesTheDialog) {
    Outcome o = RunNumberEditor("dialog \"Edit Number\"\nexpect-text IDC_NUMBER_NUMBER \"556\"\nclick IDOK\n");
    ASSERT_EQ(o.errors.size(), 1u);
    const std::string &e = o.errors[0];
    EXPECT_NE(e.find("test:2: expect-text IDC_NUMBER_NUMBER \"556\""), std::string::npos) << e;
    EXPECT_NE(e.find("dialog \"Edit Number\""), std::string::npos) << e;
    EXPECT_NE(e.find("control 1012"), std::string::npos) << e;
    EXPECT_NE(e.find("its text is \"555\""), std::string::npos) << e;
    // Line 3 never ran: the dialog was cancelled, the record kept.
    EXPECT_EQ(o.result, IDCANCEL);
    EXPECT_STREQ(o.number.number, "555");
}

TEST(ScriptRunnerOnRealDialogs, TheWrongDialogAMissingControlOrABoxThatIsNotThereFail) {
    Outcome o = RunNumberEditor("dialog \"New Number\"\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("the dialog on top is \"Edit Number\""), std::string::npos) << o.errors[0];

    o = RunNumberEditor("click IDC_FAX_PRINT\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("the dialog has no such control"), std::string::npos) << o.errors[0];

    o = RunNumberEditor("answer ok\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("no message box is shown"), std::string::npos) << o.errors[0];
    EXPECT_EQ(o.result, IDCANCEL);
}

TEST(ScriptRunnerOnRealDialogs, ADisabledControlTakesNoClick) {
    Outcome o = RunNumberEditor("clear IDC_NUMBER_NUMBER\nexpect-disabled IDOK\nclick IDOK\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("test:3: click IDOK"), std::string::npos) << o.errors[0];
    EXPECT_NE(o.errors[0].find("it is disabled"), std::string::npos) << o.errors[0];
}

TEST(ScriptRunnerOnRealDialogs, RunningOutOfLinesWithTheDialogOpenIsAFailure) {
    Outcome o = RunNumberEditor("type IDC_NUMBER_DETAILS \"x\"\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("the script ran out while this is still open"), std::string::npos) << o.errors[0];
    EXPECT_EQ(o.result, IDCANCEL);
}

TEST(ScriptRunnerOnRealDialogs, LinesLeftAfterTheDialogEndedAreAFailure) {
    Outcome o = RunNumberEditor("escape\nclick IDOK\n");
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_NE(o.errors[0].find("test:2: click IDOK"), std::string::npos) << o.errors[0];
    EXPECT_NE(o.errors[0].find("no dialog is open"), std::string::npos) << o.errors[0];
    EXPECT_EQ(o.result, IDCANCEL);
}

}  // namespace
}  // namespace e2e
