// orvixfax book: the address book from the command line - show it, save it
// back as the address book dialog does, and move it to and from CSV.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "../../src/addrbook/address_book_file.h"
#include "../../src/addrbook/records.h"
#include "book_csv.h"
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


// Control bytes shown as \xHH so a listing stays one line per item.
std::string Printable(const char *text) {
    std::string out;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        if (*p < 0x20 || *p == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", *p);
            out += hex;
        } else {
            out += static_cast<char>(*p);
        }
    }
    return out;
}

// Positions of a member, or false when it is not in the lists.
bool MemberPosition(const WorkingContext *context, const MemberLink *link, int &person, int &number) {
    person = 0;
    const PersonRecord *p = context->persons->next;
    while (p && p != link->person) p = p->next, ++person;
    if (!p) return false;
    number = 0;
    const NumberRecord *n = p->numbers->next;
    while (n && n != link->number) n = n->next, ++number;
    return n != nullptr;
}

// "First Last", or the company for a person without a name.
std::string ShownName(const PersonRecord *person) {
    std::string name = Printable(person->firstName);
    if (person->firstName[0] && person->lastName[0]) name += ' ';
    name += Printable(person->lastName);
    if (!name.empty()) return name;
    return person->company[0] ? Printable(person->company) : "(no name)";
}

void ShowJson(const WorkingContext *context, std::ostream &out) {
    nlohmann::ordered_json persons = nlohmann::ordered_json::array();
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        nlohmann::ordered_json numbers = nlohmann::ordered_json::array();
        for (const NumberRecord *number = person->numbers->next; number; number = number->next)
            numbers.push_back({{"number", Latin1ToUtf8(number->number)}, {"details", Latin1ToUtf8(number->details)}});
        persons.push_back({{"firstName", Latin1ToUtf8(person->firstName)},
                           {"lastName", Latin1ToUtf8(person->lastName)},
                           {"company", Latin1ToUtf8(person->company)},
                           {"department", Latin1ToUtf8(person->department)},
                           {"notes", Latin1ToUtf8(person->notes)},
                           {"numbers", numbers}});
    }
    nlohmann::ordered_json groups = nlohmann::ordered_json::array();
    for (const GroupRecord *group = context->groups->next; group; group = group->next) {
        nlohmann::ordered_json members = nlohmann::ordered_json::array();
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            int person = 0, number = 0;
            if (MemberPosition(context, link, person, number)) members.push_back({person, number});
        }
        groups.push_back({{"name", Latin1ToUtf8(group->name)}, {"members", members}});
    }
    out << nlohmann::ordered_json{{"persons", persons}, {"groups", groups}}.dump(2) << '\n';
}

void ShowListing(const WorkingContext *context, const std::string &path, std::ostream &out) {
    int personCount = 0, groupCount = 0;
    for (const PersonRecord *p = context->persons->next; p; p = p->next) ++personCount;
    for (const GroupRecord *g = context->groups->next; g; g = g->next) ++groupCount;
    out << "Address book " << Shown(path) << ": " << personCount << (personCount == 1 ? " person, " : " persons, ")
        << groupCount << (groupCount == 1 ? " group" : " groups") << '\n';
    int index = 0;
    for (const PersonRecord *person = context->persons->next; person; person = person->next, ++index) {
        out << "\nPerson " << index << ": " << ShownName(person) << '\n';
        if (person->company[0]) out << "  company:    " << Printable(person->company) << '\n';
        if (person->department[0]) out << "  department: " << Printable(person->department) << '\n';
        if (person->notes[0]) out << "  notes:      " << Printable(person->notes) << '\n';
        int numberIndex = 0;
        for (const NumberRecord *number = person->numbers->next; number; number = number->next, ++numberIndex) {
            out << "  number " << index << '.' << numberIndex << ": " << Printable(number->number);
            if (number->details[0]) out << "  (" << Printable(number->details) << ')';
            out << '\n';
        }
        if (numberIndex == 0) out << "  no numbers\n";
    }
    for (const GroupRecord *group = context->groups->next; group; group = group->next) {
        out << "\nGroup [" << Printable(group->name) << "]\n";
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            int person = 0, number = 0;
            if (!MemberPosition(context, link, person, number)) continue;
            out << "  " << person << '.' << number << ": " << ShownName(link->person) << ", "
                << Printable(link->number->number) << '\n';
        }
    }
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
            ShowListing(context.get(), path, std::cout);
        return 0;
    }
    if (action == "resave") return SaveBook(context.get(), directory, path);
    if (action == "export") {
        std::ofstream out(options.csv, std::ios::binary | std::ios::trunc);
        out << FormatBookCsv(context.get());
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
    std::vector<CsvPersonRow> rows;
    if (!ParseBookCsv(text, rows, error)) {
        std::cerr << "orvixfax book import: " << options.csv << ", " << error << "; nothing was imported\n";
        return 2;
    }
    MergeCounts counts;
    if (!MergeBookRows(context.get(), rows, counts)) {
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
