// orvixfax book edit: the address book dialog, as OrvixFaxBookCall runs it,
// worked by a script (the scripted front end) or by a person at the terminal.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "orvixfax.h"
#include "../../src/addrbook/address_book_file.h"
#include "book_access.h"
#include "cli_support.h"
#include "verbs.h"

#ifndef _WIN32
#include "../../src/platform/portable/host.h"
#include "../../src/platform/portable/front_ends/script_front_end.h"
#include "../../src/res/resource_names.h"
#include "terminal/terminal_user.h"
#endif

namespace {

struct BookEditOptions {
    std::string dir;
    std::string script;
};

std::string FileBytes(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int EditBook(const BookEditOptions &options) {
    const char *verb = "orvixfax book edit";
#ifdef _WIN32
    // On Windows the real dialog comes up for a person at the desk, on the
    // real system directory's book.
    if (!options.dir.empty() || !options.script.empty()) {
        std::cerr << verb << ": --dir and --script need the portable build; on Windows the "
                     "dialog is worked by hand on the system directory's book\n";
        return 2;
    }
#else
    std::string dir, error;
    if (!DataDirectory(options.dir, dir, error)) {
        std::cerr << verb << ": " << error << "\n";
        return 2;
    }
    portable::SetSystemDirectory(std::filesystem::absolute(dir).string());
    portable::ScriptFrontEnd script(res::ControlIdByName);
    std::unique_ptr<terminal::TerminalFrontEnd> person;
    bool parsed = true;
    if (DialogsAtTerminal(options.script)) {
        person = MakeTerminalUser();
    } else if (options.script.empty() || options.script == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        parsed = script.Parse(text.str(), "standard input");
    } else {
        if (!std::filesystem::is_regular_file(options.script)) {
            std::cerr << verb << ": --script: \"" << options.script << "\" is not a readable file\n";
            return 2;
        }
        parsed = script.LoadFile(options.script);
    }
    if (!parsed) {
        std::cerr << script.Report();
        return 2;
    }
#endif
    char path[MAX_PATH];
    if (!GetAddressBookPath(path, sizeof path)) {
        std::cerr << verb << ": the directory's path is too long for the address book's name\n";
        return 2;
    }
#ifdef _WIN32
    const std::filesystem::path book = path;
#else
    const std::filesystem::path book = std::filesystem::absolute(dir) / ADDRESS_BOOK_FILE_NAME;
#endif
    // Held from the load to the save, as by every command that changes the
    // book; a book that cannot be read is said so here and never edited.
    BookLock lock;
    std::string lockError;
    if (!lock.Acquire(path, lockError)) {
        std::cerr << verb << ": " << lockError << "\n";
        return 1;
    }
    {
        BookContext loaded = LoadBook(path, lockError);
        if (!loaded) {
            std::cerr << verb << ": " << lockError << "\n";
            return 1;
        }
    }
    const bool existed = std::filesystem::exists(book);
    const std::string before = FileBytes(book);

#ifndef _WIN32
    std::string terminalError;
    if (person && !person->Start(terminalError)) {
        std::cerr << verb << ": " << terminalError << "; give the user's actions with --script\n";
        return 2;
    }
    portable::ScopedFrontEnd frontEnd(person ? static_cast<portable::FrontEnd *>(person.get()) : &script);
#endif
    OrvixFaxBookCall(nullptr);
    const bool exists = std::filesystem::exists(book);
    const bool changed = exists != existed || (exists && FileBytes(book) != before);
#ifndef _WIN32
    if (person) {
        person->End();
        if (person->Lost()) {
            std::cerr << verb << ": the terminal went away while the dialog was open; the book file is "
                      << (changed ? "changed (OK was pressed before)\n" : "as it was\n");
            return 2;
        }
    } else if (!script.Finish()) {
        std::cerr << script.Report();
        std::cerr << verb << ": the script did not run through; the book file is "
                  << (changed ? "changed (OK was pressed before the failure)\n" : "as it was\n");
        return 2;
    }
#endif
    if (!exists) {
        std::cout << "no address book saved as " << book.string() << "\n";
        return 1;
    }
    std::cout << book.string() << (changed ? ": saved with changes\n" : ": unchanged\n");
    return 0;
}

}  // namespace

void AddBookEditVerb(CLI::App &book, int &exitCode) {
    auto options = std::make_shared<BookEditOptions>();
    CLI::App *edit = book.add_subcommand(
        "edit",
        "Run the address book dialog, as OrvixFaxBookCall does, worked by a script of the "
        "scripted front end (one action a line; see src/script/script.h) or, at a terminal "
        "without --script, by you. OK in the dialog saves the book.\n"
        "Exit status: 0 the dialog ran through (the book may be unchanged); 1 it ended "
        "without a book file, or the book cannot be read or locked; 2 bad option, directory or "
        "script, or a script step that failed.");
    edit->add_option("--dir", options->dir,
                     "the directory that plays the system directory (default: ~/.local/share/orvixfax, "
                     "made when missing)");
    edit->add_option("--script", options->script,
                     "the script to run (\"-\": read it from standard input; without it, the "
                     "dialog comes up in the terminal when standard input and output are one, and "
                     "the script is read from standard input otherwise)");
    edit->callback([options, &exitCode] {
        exitCode = RunVerb("orvixfax book edit", [&] { return EditBook(*options); });
    });
}
