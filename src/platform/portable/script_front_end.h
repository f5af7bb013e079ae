// The scripted front end: a plain-text script plays the user of the
// module's dialogs, for tests and for the command line. The same script
// files are also run against the real dialogs under Windows, so this
// format is the contract between both runners.
//
// SCRIPT FORMAT
//
// One action a line. Leading and trailing blanks are ignored; blank lines
// and lines whose first other character is '#' are comments. Words are
// separated by blanks (spaces or tabs).
//
// Every action works on the innermost open dialog, the one on top. When an
// action opens a nested dialog (a button whose handler runs
// DialogBoxParamA), the following lines go to that dialog until it ends;
// then the next lines go on with the outer one. When the module shows a
// message box, the next line must be `answer`. A dialog that ends on its
// own (EndDialog) simply hands the next lines to the dialog below it, or to
// the next dialog the program opens.
//
// Arguments:
//   ID     a control id: a decimal number (1043, 1, 2) or a name of
//          src/res/resource.h (IDC_FAX_NEW_NUMBER) or IDOK, IDCANCEL.
//   "..."  a text in double quotes with the escapes \\ \" \t \r \n and
//          \xHH (exactly two hex digits); no other escape exists.
//   LINE   a line of a list box: #N (0-based index) or "text" (the whole
//          line text, exactly, tabs included; the first such line).
//
// Actions (the user's hands):
//   type ID "text"        click into edit ID after its last character and
//                         type the text key by key (limits apply). \r or \n
//                         (a \r\n pair counts once) is the Enter key: a line
//                         break in a multi-line edit with ES_WANTRETURN,
//                         otherwise the default button. \t types a tab
//                         character into a multi-line edit (Ctrl+Tab).
//   clear ID              select all of edit ID and press Backspace
//   click ID              click button, check box or radio button ID
//   check ID              click check box ID if it is not checked
//   uncheck ID            click check box ID if it is checked
//   select ID LINE        click a line of list box ID (in a multiple-
//                         selection list the click toggles the line)
//   dblclick ID LINE      double-click a line of list box ID
//   focus ID              click into control ID so that it has the focus
//   enter                 press Enter on the control that has the focus
//   escape                press Escape
//   tab                   press Tab
//   close                 click the caption's close box (a dialog without a
//                         system menu has none: then nothing happens)
//   answer BUTTON ["text"] answer the message box being shown by pressing
//                         BUTTON: ok, cancel, yes, no, abort, retry or
//                         ignore (it must be one of the box's buttons); with
//                         a text, the box must show exactly that text
//
// Checks (the user's eyes; the run fails when one does not hold):
//   dialog "Caption"      the innermost dialog has this caption
//   expect-text ID "text" the window text of ID
//   expect-enabled ID     / expect-disabled ID
//   expect-checked ID     / expect-unchecked ID
//   expect-visible ID     / expect-hidden ID
//   expect-focus ID       ID has the keyboard focus
//   expect-lines ID N     list box ID has N lines; for an edit, N display
//                         lines (as EM_GETLINECOUNT counts them)
//   expect-line ID #N "text"  line N of list box ID, or display line N of
//                         edit ID, reads exactly "text"
//   expect-selected ID #i #j ...  exactly these lines of list box ID are
//                         selected, in ascending order; `none` for none
//
// Failures: a line that cannot be read (unknown action, unknown control
// name, a missing or malformed argument) fails before anything runs. A
// line that cannot be performed (no such control in the dialog, a disabled
// or hidden control, no such line, a check that does not hold, an answer
// with no message box shown, the wrong caption) fails with a message
// naming the script and line number, the action, the dialog's caption, the
// control and the reason. The run then stops acting: every dialog still
// open ends with IDCANCEL and every further message box gets its safe
// answer (Cancel, No, Abort or OK). Running out of lines while a dialog or
// a message box is open is a failure too. The command line exits non-zero
// after any failure.
//
// Example:
//   dialog "Fax Document"
//   select IDC_FAX_RECIPIENTS "[Sales]"
//   expect-enabled IDOK
//   click IDC_FAX_USE_COVER
//   click IDC_FAX_EDIT_COVER
//     dialog "Cover Page"
//     type IDC_COVER_NOTE "Please call me back."
//     click IDOK
//   click IDOK
#ifndef ORVIXFAX_PORTABLE_SCRIPT_FRONT_END_H
#define ORVIXFAX_PORTABLE_SCRIPT_FRONT_END_H

#include "automation.h"

#include <string>
#include <vector>

namespace portable {

class ScriptFrontEnd : public FrontEnd {
public:
    struct MessageBoxShown {
        std::string caption;
        std::string text;
        UINT type = 0;
        int answer = 0;  // the button pressed
    };

    // Reads a script; false (see Errors) when a line cannot be read, and
    // then nothing runs. `name` names the script in messages.
    bool Parse(const std::string &text, const std::string &name = "script");
    bool LoadFile(const std::string &path);

    void RunDialog(HWND dialog) override;
    int AnswerMessageBox(HWND owner, const std::string &text, const std::string &caption,
                         UINT type) override;

    // After the program has returned: leftover lines are a failure too.
    // True when the whole run went well.
    bool Finish();

    bool Failed() const { return !errors_.empty(); }
    const std::vector<std::string> &Errors() const { return errors_; }
    std::string Report() const;  // the errors, one a line
    const std::vector<MessageBoxShown> &MessageBoxes() const { return boxes_; }
    size_t RemainingActions() const { return actions_.size() - next_; }

    // The control id of a name of resource.h (or IDOK, IDCANCEL); false
    // when there is no such name.
    static bool ControlIdByName(const std::string &name, int &id);

    struct Action {
        int line = 0;
        std::string source;  // the line as written, for messages
        std::string verb;
        int control = 0;
        std::string text;
        bool hasText = false;
        int number = 0;          // #N, N, or the button of `answer`
        bool lineByIndex = false;
        std::vector<int> indexes;  // expect-selected
    };

private:
    bool Perform(const Action &action, HWND dialog);
    void Fail(const Action *action, HWND dialog, const std::string &why);

    std::string name_ = "script";
    std::vector<Action> actions_;
    size_t next_ = 0;
    std::vector<std::string> errors_;
    std::vector<MessageBoxShown> boxes_;
};

// Installs a front end for a scope and puts the previous one back.
class ScopedFrontEnd {
public:
    explicit ScopedFrontEnd(FrontEnd *frontEnd) : previous_(CurrentFrontEnd()) {
        SetFrontEnd(frontEnd);
    }
    ~ScopedFrontEnd() { SetFrontEnd(previous_); }
    ScopedFrontEnd(const ScopedFrontEnd &) = delete;
    ScopedFrontEnd &operator=(const ScopedFrontEnd &) = delete;

private:
    FrontEnd *previous_;
};

}  // namespace portable

#endif
