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
#include "book_access.h"
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
            ShowListing(context.get(), path, std::cout);
        return 0;
    }
    if (action == "resave") {
        if (SaveBook(context.get(), path, error)) return 0;
        std::cerr << "orvixfax book: " << error << '\n';
        return 1;
    }
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
    if (!ReadWholeFile(options.csv, text, error)) {
        std::cerr << "orvixfax book import: cannot read " << error << '\n';
        return 2;
    }
    std::vector<CsvPersonRow> rows;
    if (!ParseBookCsv(text, rows, error)) {
        std::cerr << "orvixfax book import: " << options.csv << ", " << error << "; nothing was imported\n";
        return 2;
    }
    MergeCounts counts;
    if (!MergeBookRows(context.get(), rows, counts)) {
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
                            "Directory that plays the system directory (default: "
#ifdef _WIN32
                            "the system directory"
#else
                            "~/.local/share/orvixfax"
#endif
                            ")");
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
