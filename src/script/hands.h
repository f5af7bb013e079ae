// The user's hands and eyes on the dialogs, as the script engine sees
// them. The engine decides what a script line means and whether it can be
// done; the hands only look and act. There are two pairs: one over the
// portable layer's automation API, one over real USER32 (the Windows test
// host), so a script line means the same on both.
//
// Everything works on what is on top: the innermost open dialog, or the
// message box it shows.
#ifndef ORVIXFAX_SCRIPT_HANDS_H
#define ORVIXFAX_SCRIPT_HANDS_H

#include <string>
#include <vector>

namespace script {

// The control ids and message box buttons the format knows without a
// resource header, with the values Windows gives them.
enum Id : int { kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7 };

enum class Kind { None, Button, CheckBox, RadioButton, GroupBox, Edit, ListBox, Static, Icon };

// What the eyes see of one control of the dialog on top.
struct ControlView {
    Kind kind = Kind::None;  // None: the dialog has no such control
    bool enabled = false;
    bool visible = false;
    bool checked = false;
    bool focused = false;
    bool readOnly = false;           // an edit with ES_READONLY
    std::string text;                // the window text
    int lineCount = 0;               // a list box's lines, or an edit's display lines
    std::vector<std::string> lines;  // their texts, when asked for
    std::vector<int> selected;       // a list box's selected lines, ascending
};

struct Top {
    enum class What { Nothing, Dialog, Message };  // Message: a message box
    What what = What::Nothing;
    std::string caption;
    std::string text;          // a message box's text
    std::vector<int> buttons;  // a message box's buttons (kIdOk ...), in the box's order
};

enum class Key { Enter, Escape, Tab };

class Hands {
public:
    virtual ~Hands() = default;

    virtual Top OnTop() = 0;
    // The texts of the lines only with `readLines`: a list of a large book
    // has hundreds of thousands, and most looks need just their count.
    virtual ControlView Look(int id, bool readLines) = 0;

    // The actions, on the dialog on top. The engine has already checked
    // that the user can reach the control and that it is of the right
    // kind. Each returns "" when done, else why it could not be done.
    //
    // Type: a click into the edit after its last character, then the text
    // key by key (limits apply); '\r' or '\n' (a "\r\n" pair counts once)
    // is the Enter key.
    virtual std::string Type(int id, const std::string &text) = 0;
    virtual std::string Clear(int id) = 0;  // select all, Backspace
    virtual std::string Click(int id) = 0;  // a button, check box or radio button
    virtual std::string ClickLine(int id, int index, bool twice) = 0;
    virtual std::string Focus(int id) = 0;  // a click into the control
    virtual std::string Press(Key key) = 0;  // on the control with the focus
    virtual std::string CloseBox() = 0;     // nothing without a close box
    // On the message box on top: press one of its buttons.
    virtual std::string Answer(int button) = 0;
};

}  // namespace script

#endif
