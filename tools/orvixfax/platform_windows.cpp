// The command on Windows: the module keeps to the system directory and its
// own string table, and the person at the desk works the real dialogs.
#include "orvixfax/platform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }

const char kDefaultDataDirectoryText[] = "the system directory";

bool DefaultDataDirectory(std::string &directory, std::string &error) {
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) {
        error = "the system directory cannot be found";
        return false;
    }
    directory = system;
    return true;
}

bool UseDataDirectory(const std::string &, bool named, std::string &error) {
    if (!named) return true;
    error = "--dir needs the portable build; on Windows the module reads and writes the system directory";
    return false;
}

void UseBinaryStandardOutput() {
    std::cout.flush();
    _setmode(_fileno(stdout), _O_BINARY);
}

bool UseKanjiMode(std::string &error) {
    error = "--kanji needs the portable build; on Windows the module's own string table decides";
    return false;
}

// Nothing to hold: the person at the desk needs no script.
struct DialogUser::Actions {};

DialogUser::DialogUser() : actions_(std::make_unique<Actions>()) {}
DialogUser::~DialogUser() = default;

bool DialogUser::Prepare(const std::string &script, std::string &error) {
    if (script.empty()) return true;
    error = "--script needs the portable build; on Windows the person at the desk works the dialogs";
    return false;
}

void DialogUser::Play(const std::function<void()> &dialogs) { dialogs(); }

bool DialogUser::Finish(std::string &) { return true; }
