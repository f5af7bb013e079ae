// The command on Windows: the module keeps to the system directory and its
// own string table, and the person at the desk works the real dialogs.
#include "orvixfax/platform.h"

#include <fcntl.h>
#include <io.h>

#include <shellapi.h>

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

std::vector<std::string> CommandLineArguments(int argc, char **argv) {
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) LocalFree(wide);
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(length > 0 ? static_cast<size_t>(length) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), length, nullptr, nullptr);
        argument.resize(argument.size() - 1);
        arguments.push_back(argument);
    }
    LocalFree(wide);
    return arguments;
}

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

int CompareListLines(const std::string &a, const std::string &b) {
    // A sorted list box compares as CompareString does, ignoring case.
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) - CSTR_EQUAL;
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

bool DialogUser::Prepare(const std::string &script, int, std::string &error) {
    if (script.empty()) return true;
    error = "--script needs the portable build; on Windows the person at the desk works the dialogs";
    return false;
}

bool DialogUser::TakesActions(const std::string &name, std::string &error) {
    error = name + " need the portable build; on Windows the person at the desk works the dialogs";
    return false;
}

bool DialogUser::PrepareActions(const std::string &, const std::string &name, std::string &error) {
    return TakesActions(name, error);
}

void DialogUser::Play(const std::function<void()> &dialogs) { dialogs(); }

bool DialogUser::Finish(std::string &) { return true; }
