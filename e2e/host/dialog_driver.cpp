#include "dialog_driver.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace e2e {

namespace {

constexpr UINT kMarker = WM_APP + 1;     // wParam: sequence number
constexpr UINT kEndDialog = WM_APP + 2;  // wParam: the dialog

struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    unsigned long posted = 0;
    unsigned long taken = 0;
    bool finished = false;
    std::vector<HWND> dialogs;  // #32770 windows of the dialog thread, oldest first
};
Shared shared;

HWND helper = nullptr;
HHOOK hook = nullptr;
HINSTANCE dialogsInstance = nullptr;
DWORD dialogThread = 0;

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMarker) {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.taken = std::max<unsigned long>(shared.taken, static_cast<unsigned long>(wParam));
        shared.changed.notify_all();
        return 0;
    }
    if (message == kEndDialog) {
        EndDialog(reinterpret_cast<HWND>(wParam), IDCANCEL);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Keeps the list of open dialogs and message boxes in the order they were
// made: the innermost is the last one still open.
LRESULT CALLBACK DialogWatch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (ClassName(window) == "#32770") {
            std::lock_guard<std::mutex> lock(shared.mutex);
            auto &d = shared.dialogs;
            d.erase(std::remove(d.begin(), d.end(), window), d.end());
            if (code == HCBT_CREATEWND) d.push_back(window);
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void InstallDialogThread(HINSTANCE moduleInstance) {
    dialogsInstance = moduleInstance;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HelperProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvixE2EHelper";
        RegisterClassA(&wc);
        registered = true;
    }
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.finished = false;
        shared.dialogs.clear();
    }
    dialogThread = GetCurrentThreadId();
    helper = CreateWindowExA(0, "OrvixE2EHelper", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    hook = SetWindowsHookExA(WH_CBT, DialogWatch, nullptr, dialogThread);
}

void UninstallDialogThread() {
    if (hook) UnhookWindowsHookEx(hook);
    if (helper) DestroyWindow(helper);
    hook = nullptr;
    helper = nullptr;
}

void CallFinished() {
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.finished = true;
    shared.changed.notify_all();
}

bool IsCallFinished() {
    std::lock_guard<std::mutex> lock(shared.mutex);
    return shared.finished;
}

namespace {

// One marker round: everything posted before it has been taken.
bool SettleRound(DWORD timeoutMs) {
    unsigned long sequence;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (shared.finished) return true;
        sequence = ++shared.posted;
    }
    PostMessageA(helper, kMarker, sequence, 0);
    std::unique_lock<std::mutex> lock(shared.mutex);
    return shared.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return shared.finished || shared.taken >= sequence; });
}

}  // namespace

bool Settle(DWORD timeoutMs) {
    // USER32 posts follow-ups of its own while it works (the close box's
    // IDCANCEL, an edit's Enter passed to the default button); they land
    // behind the first marker, so a few rounds see them through.
    for (int round = 0; round < 3; ++round)
        if (!SettleRound(timeoutMs)) return false;
    return true;
}

HWND Innermost() {
    std::lock_guard<std::mutex> lock(shared.mutex);
    for (auto it = shared.dialogs.rbegin(); it != shared.dialogs.rend(); ++it)
        if (IsWindow(*it)) return *it;
    return nullptr;
}

bool IsMessageBox(HWND window) {
    // Every dialog of the module is made from its own templates; a message
    // box is USER32's (whose instance is USER32's, the program's or none,
    // depending on the system).
    HINSTANCE owner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    return owner != dialogsInstance;
}

void ForceEndDialog(HWND dialog) { PostMessageA(helper, kEndDialog, reinterpret_cast<WPARAM>(dialog), 0); }

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length)) return {};
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_BLOCK, 5000,
                        &got);
    text.resize(std::min<size_t>(got, length));
    return text;
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND FocusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(dialogThread, &info)) return nullptr;
    return info.hwndFocus;
}

}  // namespace e2e
