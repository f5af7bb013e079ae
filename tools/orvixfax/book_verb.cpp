// orvixfax book: the address book from the command line - show it, save it
// back as the address book dialog does, and move it to and from CSV.
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

namespace fs = std::filesystem;

struct BookOptions {
    std::string dir;
    bool json = false;
    std::string csv;
};


int RunBook(const std::string &action, const BookOptions &options) {
    std::string directory, error;
    if (!DataDirectory(options.dir, directory, error)) {
        std::cerr << "orvixfax book: " << error << '\n';
        return 2;
    }
    std::string path = BookPath(directory);
    // A command that changes the book holds it from its load to its save.
    const bool changes = action == "resave" || action == "import";
    BookLock lock;
    if (changes && !lock.Acquire(path, error)) {
        std::cerr << "orvixfax book: " << error << '\n';
        return 1;
    }
    BookContext context = LoadBook(path, error);
    if (!context) {
        std::cerr << "orvixfax book: " << error << '\n';
        return 1;
    }
    if (action == "show") {
        if (options.json)
            ShowJson(context.get(), std::cout);
        else
            ShowListing(context.get(), Shown(path), std::cout);
        return 0;
    }
    if (action == "resave") {
        if (SaveBook(context.get(), path, error)) return 0;
        std::cerr << "orvixfax book: " << error << '\n';
        return 1;
    }
    if (action == "export") {
        std::ofstream out(options.csv, std::ios::binary | std::ios::trunc);
        WriteBookCsv(context.get(), out);
        out.close();
        if (!out) {
            std::cerr << "orvixfax book export: cannot write " << options.csv << '\n';
            return 1;
        }
        return 0;
    }
    // import
    std::string text;
    if (!ReadWholeFile(options.csv, text, error)) {
        std::cerr << "orvixfax book import: cannot read " << error << '\n';
        return 2;
    }
    if (!CheckBookCsv(text, error)) {
        std::cerr << "orvixfax book import: " << options.csv << ", " << error << "; nothing was imported\n";
        return 2;
    }
    MergeCounts counts;
    if (!MergeBookCsv(context.get(), text, counts)) {
        std::cerr << "orvixfax book import: not enough memory; nothing was imported\n";
        return 1;
    }
    if (!SaveBook(context.get(), path, error)) {
        std::cerr << "orvixfax book import: " << error << "; nothing was imported\n";
        return 1;
    }
    std::cout << "Added " << counts.persons << (counts.persons == 1 ? " person" : " persons") << " and "
              << counts.numbers << (counts.numbers == 1 ? " number" : " numbers") << " to " << Shown(path) << '\n';
    return 0;
}

}  // namespace

CLI::App *AddBookVerb(CLI::App &app, int &exitCode) {
    CLI::App *book = app.add_subcommand("book", "Show, save back, import and export the address book");
    book->require_subcommand(1);
    auto options = std::make_shared<BookOptions>();
    auto addDir = [options](CLI::App *command) {
        command->add_option("--dir", options->dir,
                            std::string("Directory that plays the system directory (default: ") +
                                kDefaultDataDirectoryText + ")");
    };
    auto run = [options, &exitCode](const std::string &action) {
        return [options, &exitCode, action] {
            exitCode = RunVerb("orvixfax book", [&] { return RunBook(action, *options); });
        };
    };

    CLI::App *show = book->add_subcommand("show", "The book as the module loads it");
    addDir(show);
    show->add_flag("--json", options->json, "JSON instead of a listing");
    show->callback(run("show"));

    CLI::App *resave = book->add_subcommand("resave", "Load the book and save it back, as the dialog's OK does");
    addDir(resave);
    resave->callback(run("resave"));

    CLI::App *import = book->add_subcommand("import", "Merge persons and numbers from a CSV file into the book");
    import->add_option("file", options->csv, "CSV file with a header row, one row per number")->required();
    addDir(import);
    import->callback(run("import"));

    CLI::App *exporter = book->add_subcommand("export", "Write the book's persons and numbers to a CSV file");
    exporter->add_option("file", options->csv, "CSV file to write")->required();
    addDir(exporter);
    exporter->callback(run("export"));
    return book;
}
