// The script engine: a plain-text script plays the user of the module's
// dialogs. The command line and the tests run it over the portable layer,
// the Windows test host over the real dialogs; both drive the one engine
// below through their own pair of hands (hands.h), so this format is the
// contract between both runners.
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
// Actions (the user's hands), each only on a control the user can reach
// (visible and enabled):
//   type ID "text"        click into edit ID after its last character and
//                         type the text key by key (limits apply). \r or \n
//                         (a \r\n pair counts once) is the Enter key: a line
//                         break in a multi-line edit with ES_WANTRETURN,
//                         otherwise the default button. \t types a tab
//                         character into a multi-line edit (Ctrl+Tab).
//                         A read-only edit takes no typing.
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
//                         selected, written in ascending order; `none` for
//                         none
//
// Failures: a line that cannot be read (unknown action, unknown control
// name, a missing or malformed argument) fails before anything runs. A
// line that cannot be performed (no such control in the dialog, a disabled
// or hidden control, a control of the wrong kind, no such line, a check
// that does not hold, an answer with no message box shown, the wrong
// caption) fails with a message naming the script and line number, the
// line, the dialog's caption and the reason. The run then stops acting:
// every dialog still open ends with IDCANCEL and every further message box
// gets its safe answer (Cancel, No, Abort or OK). Running out of lines
// while a dialog or a message box is open is a failure too, and so are
// lines left over when no dialog is open. The command line exits non-zero
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
#ifndef ORVIXFAX_SCRIPT_SCRIPT_H
#define ORVIXFAX_SCRIPT_SCRIPT_H

#include "script/hands.h"

#include <string>
#include <vector>

namespace script {

// The control id of a name the program's resources give (IDC_...); false
// for a name it does not know. IDOK and IDCANCEL are known without it.
using ControlLookup = bool (*)(const std::string &name, int &id);

struct Action {
    int line = 0;
    std::string source;  // the line as written, for messages
    std::string verb;
    int control = 0;
    std::string text;  // typed text, expected text or caption
    bool hasText = false;
    int number = 0;  // #N, the count of expect-lines, or the button of `answer`
    bool lineByIndex = false;  // LINE given as #N (else as "text")
    std::vector<int> indexes;  // expect-selected; empty for `none`
};

struct MessageBoxSeen {
    std::string caption;
    std::string text;
    int answer = 0;  // the button pressed (kIdOk ...)
};

class Script {
public:
    explicit Script(ControlLookup names = nullptr) : names_(names) {}

    // Reads a script; false (see Errors) when a line cannot be read, and
    // then nothing runs. `name` names the script in messages; `firstLine`
    // numbers its first line (a script inside a scenario file keeps the
    // file's numbering).
    bool Parse(const std::string &text, const std::string &name = "script", int firstLine = 1);
    bool LoadFile(const std::string &path);
    bool ControlId(const std::string &name, int &id) const;

    // Performs the next line on what is on top. False when no line is left
    // or when the run has failed (this line, or one before).
    bool Step(Hands &hands);
    bool HasLinesLeft() const { return next_ < actions_.size(); }
    size_t RemainingActions() const { return actions_.size() - next_; }

    // The lines ran out while something is still open: a failure naming
    // it, unless the run has failed already.
    void RanOut(Hands &hands);
    // After a failure or when the lines ran out: the message box on top,
    // if any, gets its safe answer and is kept with the others. False when
    // no message box is on top.
    bool DismissMessageBox(Hands &hands);
    // The program has returned: leftover lines are a failure too. True
    // when the whole run went well.
    bool Finish();

    bool Failed() const { return !errors_.empty(); }
    const std::vector<std::string> &Errors() const { return errors_; }
    std::string Report() const;  // the errors, one a line
    // Every message box shown, in order, with the answer it got.
    const std::vector<MessageBoxSeen> &MessageBoxes() const { return boxes_; }

private:
    bool Perform(const Action &action, Hands &hands, const Top &top);
    bool Answer(const Action &action, Hands &hands, const Top &top);
    void Fail(const Action *action, const Top *top, const std::string &why);

    ControlLookup names_;
    std::string name_ = "script";
    std::vector<Action> actions_;
    size_t next_ = 0;
    std::vector<std::string> errors_;
    std::vector<MessageBoxSeen> boxes_;
};

// The answer of a user who wants out: Cancel, else No, else Abort, else OK.
int SafeAnswer(const std::vector<int> &buttons);
// A text as a script writes it: in quotes, with its escapes.
std::string Quote(const std::string &text);
// The word `answer` takes for a button (kIdYes: "yes").
std::string ButtonWord(int id);

}  // namespace script

#endif
