// What the orvixfax command does differently on Windows and over the
// portable layer, behind one small interface. platform_windows.cpp and
// platform_portable.cpp implement it; each build compiles its own, and the
// verbs never ask which platform they run on.
#ifndef ORVIXFAX_TOOL_PLATFORM_H
#define ORVIXFAX_TOOL_PLATFORM_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32api.h"

// The instance the module finds its strings and templates through: the
// program's own on Windows (its resources are linked in), the portable
// layer's elsewhere.
HINSTANCE ProgramInstance();

// Where the module's files are when neither --dir nor ORVIXFAX_DIR names
// a directory: the system directory on Windows; elsewhere
// $XDG_DATA_HOME/orvixfax, or ~/.local/share/orvixfax when XDG_DATA_HOME is
// not set (or not absolute). Nothing is made here. False with a reason
// when there is none.
bool DefaultDataDirectory(std::string &directory, std::string &error);

// The program's arguments in UTF-8, as the verbs read them: on Windows from
// the wide command line (the narrow one is in the ANSI code page).
std::vector<std::string> CommandLineArguments(int argc, char **argv);

// Standard output shows UTF-8 where it is a console that needs telling.
void UseUtf8Console();

// The order of a sorted list box's lines (LBS_SORT), as the editors' lists
// keep them: < 0, 0 or > 0 as `a` comes before, with or after `b`.
int CompareListLines(const std::string &a, const std::string &b);

// That default in words, for the options' help.
extern const char kDefaultDataDirectoryText[];

// Points the module's own reads and writes (its settings, its book) at
// `directory`; `named` says the user chose it with --dir. False with a
// reason where the module cannot be pointed there: on Windows it keeps to
// the system directory.
bool UseDataDirectory(const std::string &directory, bool named, std::string &error);

// Standard output takes bytes as they are: no CR is put before an LF.
void UseBinaryStandardOutput();

// The module runs as in Kanji mode (its language string reads "Kanji").
// False with a reason where the module's own string table decides.
bool UseKanjiMode(std::string &error);

// The user of the dialogs a verb opens: over the portable layer a script of
// the user's actions plays it; on Windows the person at the desk does.
class DialogUser {
public:
    DialogUser();
    ~DialogUser();
    DialogUser(const DialogUser &) = delete;
    DialogUser &operator=(const DialogUser &) = delete;

    // Takes the user's actions from `script` (a file; empty or "-":
    // standard input). False with a message when they cannot be read or a
    // line is not understood; then nothing is to run. `codePage` is the
    // module's, for a person at a terminal.
    bool Prepare(const std::string &script, int codePage, std::string &error);
    // Whether actions the command makes from its options can play the
    // dialogs here; false with a message naming them (`name`) when not.
    static bool TakesActions(const std::string &name, std::string &error);
    // Takes the user's actions from the text of a script the command made
    // from its options; `name` names it in messages.
    bool PrepareActions(const std::string &text, const std::string &name, std::string &error);
    // Makes `dialogs`, a call of the module that opens them, with this user
    // at them.
    void Play(const std::function<void()> &dialogs);
    // After the call: false with a message when not every action ran.
    bool Finish(std::string &error);

private:
    struct Actions;
    std::unique_ptr<Actions> actions_;
};

#endif
