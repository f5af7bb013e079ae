// orvixfax book edit: the address book dialog, as OrvixFaxBookCall runs it,
// worked by a script, a person at the terminal, or on Windows the person at the desk.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "addrbook/address_book_file.h"
#include "orvixfax.h"
#include "orvixfax/book_access.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

struct BookEditOptions {
    std::string script;
};

int EditBook(const BookEditOptions &options, const CommonOptions &common) {
    const char *verb = "orvixfax book edit";
    std::string error;
    DataPlace place;
    CodePage codePage;
    if (!OpenCodePage(common, codePage, error) || !DataDirectory(common.dir, true, place, error) ||
        !UseDataDirectory(place.directory, place.named, error)) {
        std::cerr << verb << ": " << error << "\n";
        return 2;
    }
    DialogUser user;
    if (!user.Prepare(options.script, codePage.Number(), error)) {
        std::cerr << verb << ": " << error << "\n";
        return 2;
    }
    char path[MAX_PATH];
    if (!GetAddressBookPath(path, sizeof path)) {
        std::cerr << verb << ": the directory's path is too long for the address book's name\n";
        return 2;
    }
    const std::filesystem::path book = Shown(path);
    // Held from the load to the save, as by every command that changes the
    // book; a book that cannot be read is said so here and never edited.
    // Its bytes, read once, tell afterwards whether OK changed it.
    BookLock lock;
    BookBytes before;
    if (!lock.Acquire(path, error) || !before.Read(path, error)) {
        std::cerr << verb << ": " << error << "\n";
        return 1;
    }
    const bool existed = std::filesystem::exists(book);

    user.Play([] { OrvixFaxBookCall(nullptr); });
    const bool exists = std::filesystem::exists(book);
    BookBytes after;
    std::string ignored;
    const bool changed =
        exists != existed || (exists && (!after.Read(path, ignored) || after.View() != before.View()));
    if (!user.Finish(error)) {
        std::cerr << verb << ": " << error << "\n"
                  << verb << ": the book file is "
                  << (changed ? "changed (OK was pressed before the failure)\n" : "as it was\n");
        return 2;
    }
    if (!exists) {
        std::cerr << verb << ": no address book saved as " << book.string() << "\n";
        return 1;
    }
    std::cerr << book.string() << (changed ? ": saved with changes\n" : ": unchanged\n");
    return 0;
}

}  // namespace

void AddBookEditVerb(CLI::App &book, const Common &common, int &exitCode) {
    auto options = std::make_shared<BookEditOptions>();
    CLI::App *edit = book.add_subcommand(
        "edit",
        "Run the address book dialog, as OrvixFaxBookCall does, worked by a script of the user's actions (one "
        "a line; see src/script/script.h) or, at a terminal without --script, by you. OK in the dialog saves "
        "the book.");
    edit->footer(ExitStatusSection(
        {{0, "the dialog ran through (the book may be unchanged)"},
         {1, "it ended without a book file, or the book cannot be read or locked"},
         {2, "bad option, directory or script, or a script step that failed (named by its line)"}}));
    AddCommonOptions(*edit, *common);
    edit->add_option("--script", options->script,
                     "the script to run (\"-\": standard input; without it, the dialog comes up in the terminal "
                     "when standard input and output are one, and the script is read from standard input "
                     "otherwise)");
    edit->callback([options, common, &exitCode] {
        exitCode = RunVerb("orvixfax book edit", [&] { return EditBook(*options, *common); });
    });
}
