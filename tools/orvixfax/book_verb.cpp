// orvixfax book: the address book from the command line - show it, save it
// back as the address book dialog does, and move it to and from CSV.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "../../src/addrbook/address_book_file.h"
#include "../../src/addrbook/records.h"
#include "book_csv.h"
#include "book_listing.h"
#include "cli_support.h"
#include "verbs.h"

namespace {

namespace fs = std::filesystem;

struct BookOptions {
    std::string dir;
    bool json = false;
    std::string csv;
};


// The path as the module spells it; the portable layer reads '\' as a separator.
std::string BookPath(const std::string &directory) { return directory + "\\" ADDRESS_BOOK_FILE_NAME; }

// The path as the user's system spells it, for messages.
std::string Shown(const std::string &path) {
#ifdef _WIN32
    return path;
#else
    std::string shown = path;
    for (char &c : shown)
        if (c == '\\') c = '/';
    return shown;
#endif
}

struct ContextCloser {
    void operator()(WorkingContext *context) const { CloseWorkingContext(&context); }
};
using Context = std::unique_ptr<WorkingContext, ContextCloser>;

// The book as the module opens it: read, then groups without members gone.
// A missing or empty file is an empty book.
Context LoadBook(const std::string &path, std::string &error) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(WorkingContext)) != ERR_NONE) {
        error = "out of memory";
        return nullptr;
    }
    Context context(static_cast<WorkingContext *>(block));
    void *persons = nullptr, *groups = nullptr;
    if (NewList(&persons, sizeof(PersonRecord)) != ERR_NONE) {
        error = "out of memory";
        return nullptr;
    }
    context->persons = static_cast<PersonRecord *>(persons);
    if (NewList(&groups, sizeof(GroupRecord)) != ERR_NONE) {
        error = "out of memory";
        return nullptr;
    }
    context->groups = static_cast<GroupRecord *>(groups);

    FileRef ref{};
    ref.handle = HFILE_ERROR;
    ref.mode = OF_READ;
    if (path.size() >= sizeof ref.path) {
        error = "the path " + path + " is too long";
        return nullptr;
    }
    std::snprintf(ref.path, sizeof ref.path, "%s", path.c_str());
    char *buffer = nullptr;
    int32_t size = 0;
    uint16_t result = ReadFileToBlock(&ref, &buffer, &size);
    if (result == ERR_NONE) ParseAddressBook(context.get(), buffer, static_cast<size_t>(size));
    void *bytes = buffer;
    DisposePtr(&bytes);
    if (result == ERR_NO_MEMORY) {
        error = "the address book " + Shown(path) + " could not be read into memory";
        return nullptr;
    }
    RemoveEmptyGroups(context.get());
    return context;
}


bool ReadWholeFile(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

// Saves the book; the directory is made when it is the default one.
int SaveBook(WorkingContext *context, const std::string &directory, const std::string &path) {
    std::error_code ignored;
    fs::create_directories(directory, ignored);
    if (!SaveAddressBook(context, path.c_str())) {
        std::cerr << "orvixfax book: the address book could not be written to " << Shown(path)
                  << "; the old book is unchanged\n";
        return 1;
    }
    return 0;
}

int RunBook(const std::string &action, const BookOptions &options) {
    std::string directory, error;
    if (!DataDirectory(options.dir, directory, error)) {
        std::cerr << "orvixfax book: " << error << '\n';
        return 2;
    }
    std::string path = BookPath(directory);
    Context context = LoadBook(path, error);
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
    if (action == "resave") return SaveBook(context.get(), directory, path);
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
    if (!ReadWholeFile(options.csv, text)) {
        std::cerr << "orvixfax book import: cannot read " << options.csv << '\n';
        return 2;
    }
    if (!CheckBookCsv(text, error)) {
        std::cerr << "orvixfax book import: " << options.csv << ", " << error << "; nothing was imported\n";
        return 2;
    }
    MergeCounts counts;
    if (!MergeBookCsv(context.get(), text, counts)) {
        std::cerr << "orvixfax book import: out of memory; nothing was imported\n";
        return 1;
    }
    int status = SaveBook(context.get(), directory, path);
    if (status != 0) return status;
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
                            "Directory that plays the system directory (default: "
#ifdef _WIN32
                            "the system directory"
#else
                            "~/.local/share/orvixfax"
#endif
                            ")");
    };
    auto run = [options, &exitCode](const std::string &action) {
        return [options, &exitCode, action] { exitCode = RunBook(action, *options); };
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
