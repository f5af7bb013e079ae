// The script engine over real USER32, on the module's number editor: the
// hands reach the real controls, a script that goes wrong says where and
// why (in the engine's words, the same as over the portable layer) and
// never leaves the dialog hanging.
#include "host/module_loader.h"
#include "res/resource_names.h"
#include "support/user32/dialog_thread.h"
#include "support/user32/script_hands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "addrbook/records.h"

namespace {

struct Outcome {
    INT_PTR result = 0;
    NumberRecord number{};
    std::string report;
};

// Runs the module's number editor (through its export) on this thread
// while `text` plays the user from another.
Outcome RunNumberEditor(const std::string &text, int mode = EDITOR_EDIT) {
    static scenario::Exports exports;
    static bool loaded = false;
    if (!loaded) {
        std::vector<std::string> problems;
        loaded = e2e::LoadOrvixFax(exports, problems);
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
    Outcome out;
    std::memset(&out.number, 0, sizeof out.number);
    std::strcpy(out.number.number, "555");
    NumberEditorParams params{mode, &out.number};
    script::Script script(res::ControlIdByName);
    EXPECT_TRUE(script.Parse(text, "test")) << script.Report();
    user32::InstallDialogThread(exports.instance);
    std::thread hands([&script] { user32::PlayScript(script); });
    out.result = DialogBoxParamA(exports.instance, "IDD_EDIT_NUMBER", nullptr, exports.EditNumberDlgProc,
                                 reinterpret_cast<LPARAM>(&params));
    user32::CallFinished();
    hands.join();
    user32::UninstallDialogThread();
    out.report = script.Report();
    return out;
}

TEST(ScriptOnRealDialogs, AGoodScriptEndsTheDialogAsTheUserDid) {
    Outcome o = RunNumberEditor("dialog \"Edit Number\"\nclear IDC_NUMBER_NUMBER\nexpect-disabled IDOK\n"
                                "type IDC_NUMBER_NUMBER \"77\"\nexpect-focus IDC_NUMBER_NUMBER\nenter\n");
    EXPECT_EQ(o.report, "");
    EXPECT_EQ(o.result, IDOK);
    EXPECT_STREQ(o.number.number, "77");
}

TEST(ScriptOnRealDialogs, AFailedCheckStopsTheRunAndCancelsTheDialog) {
    Outcome o = RunNumberEditor("dialog \"Edit Number\"\nexpect-text IDC_NUMBER_NUMBER \"556\"\nclick IDOK\n");
    EXPECT_EQ(o.report,
              "test:2: expect-text IDC_NUMBER_NUMBER \"556\": in \"Edit Number\": control 1012 reads \"555\"\n");
    // Line 3 never ran: the dialog was cancelled, the record kept.
    EXPECT_EQ(o.result, IDCANCEL);
    EXPECT_STREQ(o.number.number, "555");
}

TEST(ScriptOnRealDialogs, WhatTheUserCannotDoFails) {
    EXPECT_NE(RunNumberEditor("dialog \"New Number\"\n").report.find("expected the dialog \"New Number\""),
              std::string::npos);
    EXPECT_NE(RunNumberEditor("click IDC_FAX_PRINT\n").report.find("the dialog has no control 1047"),
              std::string::npos);
    EXPECT_NE(RunNumberEditor("check IDOK\n").report.find("control 1 is a button, not a check box"),
              std::string::npos);
    Outcome disabled = RunNumberEditor("clear IDC_NUMBER_NUMBER\nclick IDOK\n");
    EXPECT_EQ(disabled.report, "test:2: click IDOK: in \"Edit Number\": control 1 is disabled\n");
    Outcome noBox = RunNumberEditor("answer ok\n");
    EXPECT_NE(noBox.report.find("no message box is shown"), std::string::npos);
    EXPECT_EQ(noBox.result, IDCANCEL);
}

TEST(ScriptOnRealDialogs, RunningOutOfLinesOrHavingLinesLeftIsAFailure) {
    Outcome open = RunNumberEditor("type IDC_NUMBER_DETAILS \"x\"\n");
    EXPECT_EQ(open.report, "test: in \"Edit Number\": the script ended while the dialog is still open\n");
    EXPECT_EQ(open.result, IDCANCEL);
    Outcome leftover = RunNumberEditor("escape\nclick IDOK\n");
    EXPECT_EQ(leftover.report, "test:2: click IDOK: no dialog is open for this line (1 line left unused)\n");
    EXPECT_EQ(leftover.result, IDCANCEL);
}

}  // namespace
