#include "support/user32/dialog_thread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace user32 {
namespace {

constexpr UINT kMarker = WM_APP + 1;     // wParam: sequence number
constexpr UINT kEndDialog = WM_APP + 2;  // wParam: the dialog
constexpr UINT kRun = WM_APP + 3;        // lParam: the work

struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    unsigned long posted = 0;
    unsigned long taken = 0;
    bool postedBehind = false;  // more posted messages waited behind the last marker taken
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
        MSG waiting;
        bool behind = PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE) != FALSE;
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.taken = std::max<unsigned long>(shared.taken, static_cast<unsigned long>(wParam));
        shared.postedBehind = behind;
        shared.changed.notify_all();
        return 0;
    }
    if (message == kEndDialog) {
        EndDialog(reinterpret_cast<HWND>(wParam), IDCANCEL);
        return 0;
    }
    if (message == kRun) {
        (*reinterpret_cast<const std::function<void()> *>(lParam))();
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

bool OnThisThread() { return GetCurrentThreadId() == dialogThread; }

// The dialog thread's own wait: its messages taken as the modal loop takes
// them, keys through the dialog manager of their dialog.
void PumpUntilTaken(unsigned long sequence) {
    MSG msg;
    while (shared.taken < sequence && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && root != helper && IsDialogMessageA(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// One marker round: everything posted before it has been taken.
bool SettleRound(DWORD timeoutMs) {
    unsigned long sequence;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (shared.finished) return true;
        sequence = ++shared.posted;
    }
    PostMessageA(helper, kMarker, sequence, 0);
    if (OnThisThread()) {
        PumpUntilTaken(sequence);
        return true;
    }
    std::unique_lock<std::mutex> lock(shared.mutex);
    return shared.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return shared.finished || shared.taken >= sequence; });
}

}  // namespace

void InstallDialogThread(HINSTANCE moduleInstance) {
    dialogsInstance = moduleInstance;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HelperProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvixDialogThreadHelper";
        RegisterClassA(&wc);
        registered = true;
    }
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        shared.finished = false;
        shared.dialogs.clear();
    }
    dialogThread = GetCurrentThreadId();
    helper = CreateWindowExA(0, "OrvixDialogThreadHelper", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
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

bool OnDialogThread(const std::function<void()> &work) {
    if (OnThisThread()) {
        work();
        return true;
    }
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(helper, kRun, 0, reinterpret_cast<LPARAM>(&work), SMTO_BLOCK, 10000, &result) != 0;
}

bool Settle(DWORD timeoutMs) {
    // USER32 posts follow-ups of its own while it works (the close box's
    // IDCANCEL, an edit's Enter passed to the default button); they land
    // behind the marker, so the rounds go on until nothing posted is left,
    // a few at most.
    for (int round = 0; round < 8; ++round) {
        if (!SettleRound(timeoutMs)) return false;
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (shared.finished || !shared.postedBehind) break;
    }
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

}  // namespace user32
