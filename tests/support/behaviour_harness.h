// The behaviour tests of the window layer know only the Win32 API and this
// interface. It runs one of the test dialogs (resources/test_dialogs.rc)
// with a test dialog procedure and lends the tests the user's hands. One
// implementation drives the portable layer (behaviour_harness_portable.cpp);
// another drives real USER32 under Windows or Wine, so the same tests show
// that the portable layer behaves as Windows does.
#ifndef ORVIXFAX_TESTS_BEHAVIOUR_HARNESS_H
#define ORVIXFAX_TESTS_BEHAVIOUR_HARNESS_H

#include "platform/win32api.h"

#include <functional>
#include <vector>

namespace behaviour {

// One WM_COMMAND the test dialog received: the control id and the
// notification code.
struct Note {
    int id;
    int code;
};

class Recorder {
public:
    void Add(int id, int code) { notes_.push_back(Note{id, code}); }
    void Clear() { notes_.clear(); }
    const std::vector<Note> &Notes() const { return notes_; }
    int Count(int id, int code) const {
        int count = 0;
        for (const Note &note : notes_) count += (note.id == id && note.code == code) ? 1 : 0;
        return count;
    }
    // The codes that came from control `id`, in order.
    std::vector<int> Codes(int id) const {
        std::vector<int> codes;
        for (const Note &note : notes_)
            if (note.id == id) codes.push_back(note.code);
        return codes;
    }

private:
    std::vector<Note> notes_;
};

// Called for every WM_COMMAND after it has been recorded: control id,
// notification code. It may end the dialog.
using CommandHandler = std::function<void(HWND dialog, int id, int code)>;

// The instance whose templates the tests run: the test dialogs'.
HINSTANCE TemplateInstance();

// Runs the template `templateName` modally with a test dialog procedure.
// WM_INITDIALOG returns TRUE, so the system focuses the first tab stop.
// Every WM_COMMAND is recorded in `notes` (when not null), then handed to
// `onCommand` (when set). `body` runs once while the dialog is open, after
// WM_INITDIALOG; a dialog it leaves open is ended with IDCANCEL. The
// result is DialogBoxParamA's.
INT_PTR RunInDialog(const char *templateName, const std::function<void(HWND)> &body,
                    Recorder *notes = nullptr, const CommandHandler &onCommand = nullptr);

// The user's hands. Each acts as a person at the keyboard and mouse: a
// disabled or hidden control takes no clicks and no keys. Each returns only
// when the dialog has dealt with everything the action caused, messages it
// posted included (the close box's WM_CLOSE becomes a posted IDCANCEL on
// Windows), so the test can look at the result at once.
//
// Give the edit the focus with the caret after its last character, then
// type each character as a key press; '\r' is the Enter key.
void TypeText(HWND edit, const char *text);
// Give the control the focus, then press Enter, Escape or Tab; the dialog
// manager acts on the key (default button, IDCANCEL, next tab stop) unless
// the control takes the key itself.
void PressEnter(HWND control);
void PressEscape(HWND control);
// A mouse click on a button, check box or radio button.
void ClickButton(HWND button);
// A mouse click and a double click on line `index` of a list box.
void ClickLine(HWND list, int index);
void DoubleClickLine(HWND list, int index);
// A click on the caption's close box (a dialog without one ignores it).
void CloseBox(HWND dialog);

// True when the tests run on Wine rather than on Windows or the portable
// layer. The layer follows Windows; where Wine is known to differ, the test
// says so with this.
bool RunsOnWine();

}  // namespace behaviour

#endif
