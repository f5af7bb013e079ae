#include "platform/portable/front_ends/terminal/terminal_session.h"

#include <curses.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace terminal {
namespace {

SCREEN *screen = nullptr;
std::string previousCharacters;   // LC_CTYPE before the session
volatile sig_atomic_t running = 0;

// The signals that end the program; each gets the terminal back first.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
struct sigaction previousActions[kSignalCount];
bool handlersInstalled = false;
bool exitHookInstalled = false;

// Escape waits this long (ms) for a key that makes it Alt+key.
constexpr int kAltWait = 40;
// Two presses of the mouse button this close (ms) are a double click.
constexpr long long kDoubleClickTime = 500;

struct Press {
    long long at = -kDoubleClickTime - 1;
    int row = -1, col = -1;
};
Press lastPress;

long long Milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void Restore() {
    if (!running) return;
    running = 0;
    endwin();
}

void OnEndingSignal(int signal, siginfo_t *info, void *) {
    Restore();
    for (size_t i = 0; i < kSignalCount; ++i)
        if (kEndingSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
    // A fault comes back when the instruction runs again, now to the
    // handler that was there before (the default, or a sanitizer's); a sent
    // signal is sent again.
    bool fault = info != nullptr && info->si_code > 0 &&
                 (signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL);
    if (!fault) raise(signal);
}

// Ours, each handing on to `handOnTo` (what the program had before).
void InstallHandlers(const struct sigaction *handOnTo) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = OnEndingSignal;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kSignalCount; ++i) {
        previousActions[i] = handOnTo[i];
        sigaction(kEndingSignals[i], &action, nullptr);
    }
    handlersInstalled = true;
}

void RemoveHandlers() {
    if (!handlersInstalled) return;
    for (size_t i = 0; i < kSignalCount; ++i) sigaction(kEndingSignals[i], &previousActions[i], nullptr);
    handlersInstalled = false;
}

Key Special(int code) {
    Key key;
    using K = Key::Kind;
    switch (code) {
    case KEY_BTAB: key.kind = K::BackTab; break;
    case KEY_ENTER: key.kind = K::Enter; break;
    case KEY_BACKSPACE: key.kind = K::Backspace; break;
    case KEY_DC: key.kind = K::Delete; break;
    case KEY_UP: key.kind = K::Up; break;
    case KEY_DOWN: key.kind = K::Down; break;
    case KEY_LEFT: key.kind = K::Left; break;
    case KEY_RIGHT: key.kind = K::Right; break;
    case KEY_HOME: key.kind = K::Home; break;
    case KEY_END: key.kind = K::End; break;
    case KEY_PPAGE: key.kind = K::PageUp; break;
    case KEY_NPAGE: key.kind = K::PageDown; break;
    case KEY_SR: key.kind = K::Up; key.shift = true; break;
    case KEY_SF: key.kind = K::Down; key.shift = true; break;
    case KEY_SLEFT: key.kind = K::Left; key.shift = true; break;
    case KEY_SRIGHT: key.kind = K::Right; key.shift = true; break;
    case KEY_SHOME: key.kind = K::Home; key.shift = true; break;
    case KEY_SEND: key.kind = K::End; key.shift = true; break;
    case KEY_SPREVIOUS: key.kind = K::PageUp; key.shift = true; break;
    case KEY_SNEXT: key.kind = K::PageDown; key.shift = true; break;
    case KEY_RESIZE: key.kind = K::Resize; break;
    case KEY_F(52): key.kind = K::CloseBox; break;  // Alt+F4 as xterm reports it
    case KEY_MOUSE: {
        MEVENT event;
        if (getmouse(&event) != OK) break;
        key.kind = K::Mouse;
        key.row = event.y;
        key.col = event.x;
        if (event.bstate & BUTTON1_PRESSED) {
            // A press acts, as on Windows; a second press on the same cell
            // soon after is a double click.
            long long now = Milliseconds();
            bool twice = now - lastPress.at <= kDoubleClickTime && lastPress.row == event.y && lastPress.col == event.x;
            key.mouse = twice ? Key::Mouse::DoubleClick : Key::Mouse::Click;
            lastPress = twice ? Press{} : Press{now, event.y, event.x};
        } else if (event.bstate & BUTTON4_PRESSED)
            key.mouse = Key::Mouse::WheelUp;
        else if (event.bstate & BUTTON5_PRESSED)
            key.mouse = Key::Mouse::WheelDown;
        else
            key.kind = K::None;
        break;
    }
    default: break;
    }
    return key;
}

Key Plain(wint_t c) {
    Key key;
    using K = Key::Kind;
    switch (c) {
    case L'\t': key.kind = K::Tab; break;
    case L'\r':
    case L'\n': key.kind = K::Enter; break;
    case 0x1B: key.kind = K::Escape; break;
    case 0x08:
    case 0x7F: key.kind = K::Backspace; break;
    case 0x0C: key.kind = K::Redraw; break;
    default:
        if (c >= 0x20) {
            key.kind = K::Character;
            key.character = static_cast<wchar_t>(c);
        }
        break;
    }
    return key;
}

}  // namespace

bool StartSession(std::string &error) {
    if (running) return true;
    const char *characters = std::setlocale(LC_CTYPE, nullptr);
    previousCharacters = characters ? characters : "C";
    // Only the character type: the module's numbers and sorting stay as
    // they are.
    std::setlocale(LC_CTYPE, "");
    // ncurses puts in its own interrupt handlers where there are none: ours
    // go over them and hand on to what was there before ncurses.
    struct sigaction before[kSignalCount];
    for (size_t i = 0; i < kSignalCount; ++i) sigaction(kEndingSignals[i], nullptr, &before[i]);
    const char *term = std::getenv("TERM");
    screen = newterm(nullptr, stdout, stdin);
    if (screen == nullptr) {
        std::setlocale(LC_CTYPE, previousCharacters.c_str());
        error = std::string("the terminal \"") + (term ? term : "") + "\" cannot be used for the dialogs";
        return false;
    }
    set_term(screen);
    running = 1;
    InstallHandlers(before);
    if (!exitHookInstalled) {
        std::atexit(Restore);
        exitHookInstalled = true;
    }
    cbreak();
    noecho();
    nonl();
    intrflush(stdscr, FALSE);
    keypad(stdscr, TRUE);
    set_escdelay(25);
    // Presses and releases as they come (the releases are dropped): ncurses
    // makes no clicks of them then, which some terminals' reports defeat.
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED, nullptr);
    mouseinterval(0);
    curs_set(1);
    return true;
}

void EndSession() {
    if (!screen) return;
    Restore();
    RemoveHandlers();
    delscreen(screen);
    screen = nullptr;
    std::setlocale(LC_CTYPE, previousCharacters.c_str());
}

bool SessionRunning() { return running != 0; }

Key ReadKey() {
    wint_t c = 0;
    int status = wget_wch(stdscr, &c);
    while (status == ERR && errno == EINTR) status = wget_wch(stdscr, &c);
    if (status == ERR) {
        // A read that fails with no signal behind it: the terminal is gone.
        Key key;
        key.kind = Key::Kind::Lost;
        return key;
    }
    if (status == KEY_CODE_YES) return Special(static_cast<int>(c));
    if (c != 0x1B) return Plain(c);
    // Escape alone, or the Alt+key a terminal sends as Escape and the key.
    wtimeout(stdscr, kAltWait);
    wint_t next = 0;
    int after = wget_wch(stdscr, &next);
    wtimeout(stdscr, -1);
    if (after == ERR) return Plain(c);
    Key key = after == KEY_CODE_YES ? Special(static_cast<int>(next)) : Plain(next);
    if (after == KEY_CODE_YES && next == KEY_F(4)) key.kind = Key::Kind::CloseBox;
    key.alt = true;
    return key;
}

}  // namespace terminal
