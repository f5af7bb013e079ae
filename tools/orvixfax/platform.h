// What the orvixfax command does differently on Windows and over the
// portable layer, behind one small interface. platform_windows.cpp and
// platform_portable.cpp implement it; each build compiles its own, and the
// verbs never ask which platform they run on.
#ifndef ORVIXFAX_TOOL_PLATFORM_H
#define ORVIXFAX_TOOL_PLATFORM_H

#include <functional>
#include <memory>
#include <string>

#include "platform/win32api.h"

// The instance the module finds its strings and templates through: the
// program's own on Windows (its resources are linked in), the portable
// layer's elsewhere.
HINSTANCE ProgramInstance();

// Where the module's files are when --dir names none: the system directory
// on Windows; ~/.local/share/orvixfax elsewhere, made when missing. False
// with a reason when there is none.
bool DefaultDataDirectory(std::string &directory, std::string &error);

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
    // line is not understood; then nothing is to run.
    bool Prepare(const std::string &script, std::string &error);
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
