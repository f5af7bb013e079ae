// orvixfax book: the address book from the command line - show it, save it
// back as the address book dialog does, and move it to and from CSV.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "orvixfax/book_access.h"
#include "orvixfax/book_csv.h"
#include "orvixfax/book_listing.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

struct BookOptions {
    bool json = false;
    std::string csv;
    std::string encoding = "UTF-8";
};

bool IsUtf8(const std::string &encoding) {
    std::string name;
    for (char c : encoding) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return name == "UTF-8" || name == "UTF8";
}

// "line N" of a text, for the byte at `offset`.
std::string LineOf(const std::string &text, size_t offset) {
    return "line " + std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

int RunBook(const std::string &action, const BookOptions &options, const CommonOptions &common) {
    const std::string verb = "orvixfax book " + action + ": ";
    std::string error;
    CodePage codePage;
    if (!OpenCodePage(common, codePage, error)) {
        std::cerr << verb << error << '\n';
        return 2;
    }
    if (!EncodingKnown(options.encoding)) {
        std::cerr << verb << "--encoding: \"" << options.encoding << "\" is no encoding this system converts\n";
        return 2;
    }
    const bool changes = action == "resave" || action == "import";
    if (action == "export" && !CheckOutput(options.csv, error)) {
        std::cerr << verb << "cannot write " << error << '\n';
        return 2;
    }
    // The CSV is read whole before the book is touched.
    std::string csv, name;
    if (action == "import") {
        std::string bytes;
        if (!ReadInput(options.csv, bytes, name, error)) {
            std::cerr << verb << "cannot read " << error << '\n';
            return 2;
        }
        TextFault fault;
        bool known = true;
        if (!EncodingToUtf8(options.encoding, bytes, csv, fault, known)) {
            std::cerr << verb << name << ", " << LineOf(bytes, fault.offset) << ": " << fault.what << " is not "
                      << options.encoding << "; nothing was imported\n";
            return 2;
        }
        if (!CheckBookCsv(csv, error, &codePage)) {
            std::cerr << verb << name << ", " << error << "; nothing was imported\n";
            return 2;
        }
    }
    DataPlace place;
    if (!DataDirectory(common.dir, changes, place, error)) {
        std::cerr << verb << error << '\n';
        return 2;
    }
    std::string path = BookPath(place.directory);
    // A command that changes the book holds it from its load to its save.
    BookLock lock;
    if (changes && !lock.Acquire(path, error)) {
        std::cerr << verb << error << '\n';
        return 1;
    }
    if (!changes && !BookExists(path)) {
        std::cerr << verb << "no address book at " << Shown(path) << '\n';
        return 1;
    }
    BookContext context = LoadBook(path, error);
    if (!context) {
        std::cerr << verb << error << '\n';
        return 1;
    }
    if (action == "show") {
        if (options.json)
            ShowJson(context.get(), codePage, std::cout);
        else
            ShowListing(context.get(), Shown(path), codePage, std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    }
    if (action == "resave") {
        if (SaveBook(context.get(), path, error)) return 0;
        std::cerr << verb << error << '\n';
        return 1;
    }
    if (action == "export") {
        std::string text = FormatBookCsv(context.get(), &codePage);
        if (!IsUtf8(options.encoding)) {
            std::string encoded;
            TextFault fault;
            bool known = true;
            if (!Utf8ToEncoding(options.encoding, text, encoded, fault, known)) {
                std::cerr << verb << "CSV " << LineOf(text, fault.offset) << ": " << fault.what << " has no form in "
                          << options.encoding << "; nothing was written\n";
                return 2;
            }
            text.swap(encoded);
        }
        if (WriteOutput(options.csv, text)) return 0;
        std::cerr << verb << "cannot write " << (options.csv == "-" ? std::string("standard output") : options.csv)
                  << '\n';
        return 1;
    }
    // import
    MergeCounts counts;
    if (!MergeBookCsv(context.get(), csv, counts, &codePage)) {
        std::cerr << verb << "not enough memory; nothing was imported\n";
        return 1;
    }
    if (!SaveBook(context.get(), path, error)) {
        std::cerr << verb << error << "; nothing was imported\n";
        return 1;
    }
    std::cerr << "Added " << counts.persons << (counts.persons == 1 ? " person" : " persons") << " and "
              << counts.numbers << (counts.numbers == 1 ? " number" : " numbers") << " to " << Shown(path) << '\n';
    return 0;
}

}  // namespace

CLI::App *AddBookVerb(CLI::App &app, const Common &common, int &exitCode) {
    CLI::App *book = app.add_subcommand("book", "Show, change, import and export the address book (OrvixFax.adb)");
    book->require_subcommand(1);
    auto options = std::make_shared<BookOptions>();
    auto run = [options, common, &exitCode](const std::string &action) {
        return [options, common, &exitCode, action] {
            exitCode = RunVerb(("orvixfax book " + action).c_str(), [&] { return RunBook(action, *options, *common); });
        };
    };
    const std::string readStatuses =
        ExitStatusSection({{0, "done"},
                           {1, "no address book at the directory, or it cannot be read, or the output cannot be "
                               "written"},
                           {2, "bad option or directory"}});

    CLI::App *show = book->add_subcommand("show", "Show the book as the module loads it, in UTF-8");
    AddCommonOptions(*show, *common);
    show->add_flag("--json", options->json, "print one JSON object instead of a listing");
    show->footer(readStatuses);
    show->callback(run("show"));

    CLI::App *resave = book->add_subcommand("resave", "Load the book and save it back, as the dialog's OK does");
    AddCommonOptions(*resave, *common);
    resave->footer(ExitStatusSection({{0, "saved"},
                                      {1, "the book could not be read, locked or saved (the old one stays)"},
                                      {2, "bad option or directory"}}));
    resave->callback(run("resave"));

    CLI::App *import = book->add_subcommand(
        "import", "Merge persons and numbers from a CSV file into the book (header row, one row per number)");
    import->add_option("file", options->csv, "the CSV file (\"-\": standard input)")->required();
    import->add_option("--encoding", options->encoding, "the CSV file's encoding (default: UTF-8)");
    AddCommonOptions(*import, *common);
    import->footer(ExitStatusSection({{0, "merged and saved"},
                                      {1, "the book could not be read, locked or saved (the old one stays)"},
                                      {2, "bad option, or a CSV file that cannot be read or has a bad row (named by "
                                          "its line; nothing was imported)"}}));
    import->callback(run("import"));

    CLI::App *exporter = book->add_subcommand("export", "Write the book's persons and numbers as CSV");
    exporter->add_option("file", options->csv, "the CSV file to write (\"-\": standard output)")->required();
    exporter->add_option("--encoding", options->encoding, "the CSV file's encoding (default: UTF-8)");
    AddCommonOptions(*exporter, *common);
    exporter->footer(readStatuses + "\n  2  also: a text the encoding has no form for (its CSV line named)");
    exporter->callback(run("export"));
    return book;
}
