// A front end whose user is a piece of test code.
#ifndef ORVIXFAX_TESTS_PLATFORM_USER_TEST_FRONT_END_H
#define ORVIXFAX_TESTS_PLATFORM_USER_TEST_FRONT_END_H

#include "platform/portable/automation.h"
#include "platform/portable/front_end.h"
#include "platform/portable/host.h"

#include <functional>
#include <string>
#include <vector>

struct TestFrontEnd : portable::FrontEnd {
    std::function<void(HWND)> onDialog;
    std::function<int(const std::string &, const std::string &, UINT)> onMessageBox;
    std::vector<HWND> dialogsSeen;

    void RunDialog(HWND dialog) override {
        dialogsSeen.push_back(dialog);
        if (onDialog) onDialog(dialog);
    }
    int AnswerMessageBox(HWND, const std::string &text, const std::string &caption,
                         UINT type) override {
        return onMessageBox ? onMessageBox(text, caption, type) : IDOK;
    }
};

// Records the messages a dialog procedure receives.
struct Received {
    UINT message;
    int id;
    int code;
};

inline std::vector<Received> &ReceivedMessages() {
    static std::vector<Received> messages;
    return messages;
}

// The messages other than WM_COMMAND, in order.
inline std::vector<UINT> LifeMessages() {
    std::vector<UINT> out;
    for (const auto &m : ReceivedMessages())
        if (m.message != WM_COMMAND) out.push_back(m.message);
    return out;
}

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ReceivedMessages().push_back({message, 0, 0});
        return TRUE;
    }
    if (message == WM_COMMAND) {
        ReceivedMessages().push_back({message, LOWORD(wParam), HIWORD(wParam)});
        return 0;
    }
    if (message == WM_DESTROY) ReceivedMessages().push_back({message, 0, 0});
    return 0;
}

#endif
