// The terminal while the dialogs are on it: ncurses on standard input and
// output, the keys and mouse as they come, and the terminal given back as
// it was however the program ends: when the session ends, at exit, and on
// a signal that ends the program (an interrupt, a termination, a hang-up or
// a fault), after which the signal goes on to do what it would have done.
#ifndef ORVIXFAX_TERMINAL_SESSION_H
#define ORVIXFAX_TERMINAL_SESSION_H

#include <string>

namespace terminal {

struct Key {
    enum class Kind {
        None,       // nothing the dialogs use
        Character,  // `character`, with `alt` when Alt (or Escape first) was held
        Tab, BackTab, Enter, Escape, Backspace, Delete,
        Up, Down, Left, Right, Home, End, PageUp, PageDown,
        CloseBox,   // Alt+F4
        Redraw,     // Ctrl+L
        Resize,     // the terminal changed its size
        Mouse,      // see `mouse`, `row`, `col`
        Lost,       // the terminal is gone: no more input will come
    };
    enum class Mouse { Click, DoubleClick, WheelUp, WheelDown };

    Kind kind = Kind::None;
    wchar_t character = 0;
    bool alt = false;
    bool shift = false;
    Mouse mouse = Mouse::Click;
    int row = 0, col = 0;
};

// Takes the terminal; false with a reason when it cannot be used (no
// terminal description for TERM, or not a terminal at all).
bool StartSession(std::string &error);
// Gives the terminal back as it was. Safe to call when no session runs.
void EndSession();
bool SessionRunning();

// Waits for the next key, mouse event or resize.
Key ReadKey();

}  // namespace terminal

#endif
