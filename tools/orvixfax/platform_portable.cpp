// The command over the portable layer: the module's files in a directory of
// the user's choice, and the dialogs played by a script.
#include "orvixfax/platform.h"

#include <cstdlib>
#include <filesystem>

#include "orvixfax/cli_support.h"
#include "platform/portable/front_ends/script_front_end.h"
#include "platform/portable/host.h"
#include "platform/portable/listbox_order.h"
#include "res/resource.h"
#include "res/resource_names.h"
#include "orvixfax/terminal/terminal_user.h"

HINSTANCE ProgramInstance() { return portable::ModuleInstance(); }

const char kDefaultDataDirectoryText[] = "$XDG_DATA_HOME/orvixfax, or ~/.local/share/orvixfax";

bool DefaultDataDirectory(std::string &directory, std::string &error) {
    // As the XDG base directories have it, a relative XDG_DATA_HOME is ignored.
    const char *data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        directory = std::string(data) + "/orvixfax";
        return true;
    }
    const char *home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        error = "neither XDG_DATA_HOME nor HOME is set; name the directory with --dir";
        return false;
    }
    directory = std::string(home) + "/.local/share/orvixfax";
    return true;
}

std::vector<std::string> CommandLineArguments(int argc, char **argv) { return {argv, argv + argc}; }

// A terminal here shows the bytes it is given in its own character set.
void UseUtf8Console() {}

int CompareListLines(const std::string &a, const std::string &b) { return portable::CompareListText(a, b); }

bool UseDataDirectory(const std::string &directory, bool, std::string &) {
    // The system directory's form: absolute, with no trailing slash.
    std::string absolute = std::filesystem::absolute(directory).string();
    while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
    portable::SetSystemDirectory(absolute);
    return true;
}

// Nothing to do: POSIX streams never translate line ends.
void UseBinaryStandardOutput() {}

bool UseKanjiMode(std::string &) {
    portable::OverrideString(IDS_LANGUAGE, "Kanji");
    return true;
}

// A script plays the user; with no script and a terminal on standard
// input and output, the person at that terminal does.
struct DialogUser::Actions {
    portable::ScriptFrontEnd script{res::ControlIdByName};
    std::unique_ptr<terminal::TerminalFrontEnd> person;
    std::string startError;
};

DialogUser::DialogUser() : actions_(std::make_unique<Actions>()) {}
DialogUser::~DialogUser() = default;

namespace {
// The engine's report, one error a line, without the last line end.
std::string Lines(const std::string &report) {
    return !report.empty() && report.back() == '\n' ? report.substr(0, report.size() - 1) : report;
}
}  // namespace

bool DialogUser::Prepare(const std::string &script, int codePage, std::string &error) {
    if (DialogsAtTerminal(script)) {
        actions_->person = MakeTerminalUser(codePage);
        return true;
    }
    std::string text, name;
    if (!ReadScript(script, text, name, error)) return false;
    return PrepareActions(text, name, error);
}

bool DialogUser::TakesActions(const std::string &, std::string &) { return true; }

bool DialogUser::PrepareActions(const std::string &text, const std::string &name, std::string &error) {
    if (actions_->script.Parse(text, name)) return true;
    error = "the script cannot be read:\n" + Lines(actions_->script.Report());
    return false;
}

void DialogUser::Play(const std::function<void()> &dialogs) {
    terminal::TerminalFrontEnd *person = actions_->person.get();
    // The terminal is taken only now, after the verb's own checks, so that
    // their messages reach a terminal in its ordinary state.
    if (person != nullptr && !person->Start(actions_->startError)) return;
    portable::ScopedFrontEnd playing(person != nullptr ? static_cast<portable::FrontEnd *>(person)
                                                       : &actions_->script);
    dialogs();
}

bool DialogUser::Finish(std::string &error) {
    if (terminal::TerminalFrontEnd *person = actions_->person.get()) {
        if (!actions_->startError.empty()) {
            error = actions_->startError + "; give the user's actions with --script";
            return false;
        }
        person->End();
        if (!person->Lost()) return true;
        error = "the terminal went away while the dialog was open";
        return false;
    }
    if (actions_->script.Finish()) return true;
    error = "the script did not run through:\n" + Lines(actions_->script.Report());
    return false;
}
