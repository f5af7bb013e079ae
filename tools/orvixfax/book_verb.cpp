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
#include "orvixfax/book_lookup.h"
#include "orvixfax/book_vcard.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

struct BookOptions {
    bool json = false;
    bool names = false;
    bool dryRun = false;
    std::string file;
    std::string encoding = "UTF-8";
    std::string format;     // "csv", "vcard", or empty: by the file's extension
    std::string separator;  // ",", ";", "tab", or empty: found from the header row
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

// Whether the file is a vCard file: --format, else its extension.
bool IsVcard(const BookOptions &options) {
    if (!options.format.empty()) return options.format == "vcard";
    std::string extension = std::filesystem::path(options.file).extension().string();
    for (char &c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".vcf" || extension == ".vcard";
}

// The CSV separator --separator names (0: found from the header row).
bool SeparatorOf(const std::string &option, char &separator) {
    if (option.empty()) separator = 0;
    else if (option == "," || option == ";") separator = option[0];
    else if (option == "tab" || option == "TAB" || option == "\t") separator = '\t';
    else return false;
    return true;
}

std::string Plural(int count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "3 persons, 5 numbers and 1 group" of what a merge added.
std::string Added(const MergeReport &report) {
    std::string text = Plural(report.persons, "person", "persons");
    if (report.groupsMade == 0)
        text += " and " + Plural(report.numbers, "number", "numbers");
    else
        text += ", " + Plural(report.numbers, "number", "numbers") + " and " +
                Plural(report.groupsMade, "group", "groups");
    if (report.members > 0)
        text += " (" + Plural(report.members, "member", "members") + " added to " +
                Plural(report.groupsMade + report.groupsChanged, "group", "groups") + ")";
    return text;
}

// Each addition of a dry run, one a line, by the WHO that names it.
void ShowEvents(const MergeReport &report, const CodePage &codePage, std::ostream &out) {
    for (const MergeReport::Event &event : report.events) {
        BookItem item;
        item.person = const_cast<PersonRecord *>(event.person);
        item.number = const_cast<NumberRecord *>(event.number);
        item.group = const_cast<GroupRecord *>(event.group);
        std::string line;
        switch (event.kind) {
        case MergeReport::Event::Kind::Person:
            item.kind = BookItem::Kind::Person;
            line = "add person " + WhoText(codePage, item);
            break;
        case MergeReport::Event::Kind::Number: {
            item.kind = BookItem::Kind::Number;
            std::string details = item.number->details[0] ? "  (" + codePage.ToUtf8(item.number->details) + ")" : "";
            line = "add number " + WhoText(codePage, item) + details;
            break;
        }
        case MergeReport::Event::Kind::Group:
            item.kind = BookItem::Kind::Group;
            line = "make group " + WhoText(codePage, item);
            break;
        case MergeReport::Event::Kind::Member: {
            BookItem group{BookItem::Kind::Group, item.group, nullptr, nullptr};
            item.kind = BookItem::Kind::Number;
            line = "add to " + WhoText(codePage, group) + ": " + WhoText(codePage, item);
            break;
        }
        }
        out << Printable(line) << '\n';
    }
}

// Every group and person of the book by the WHO that names it, one a line.
void ShowNames(const WorkingContext *context, const CodePage &codePage, std::ostream &out) {
    for (GroupRecord *group = context->groups->next; group; group = group->next)
        out << Printable(WhoText(codePage, BookItem{BookItem::Kind::Group, group, nullptr, nullptr})) << '\n';
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        std::string name = WhoText(codePage, BookItem{BookItem::Kind::Person, nullptr, person, nullptr});
        if (!name.empty()) out << Printable(name) << '\n';
    }
}

// Reads the import's file whole and checks it, before the book is touched.
int ReadImport(const std::string &verb, const BookOptions &options, const CodePage &codePage, std::string &text,
               std::string &name) {
    std::string bytes, error;
    if (!ReadInput(options.file, bytes, name, error)) {
        std::cerr << verb << "cannot read " << error << '\n';
        return 2;
    }
    TextFault fault;
    bool known = true;
    if (!EncodingToUtf8(options.encoding, bytes, text, fault, known)) {
        std::cerr << verb << name << ", " << LineOf(bytes, fault.offset) << ": " << fault.what << " is not "
                  << options.encoding << "; nothing was imported\n";
        return 2;
    }
    char separator = 0;
    SeparatorOf(options.separator, separator);
    ImportSummary summary;
    const RowVisitor check = [](const PersonRow &) { return true; };
    bool read = IsVcard(options) ? ReadVcards(text, &codePage, check, summary, error)
                                 : ReadBookCsv(text, &codePage, separator, check, summary, error);
    if (!read) {
        std::cerr << verb << name << ", " << error << "; nothing was imported\n";
        return 2;
    }
    if (!summary.ignored.empty()) {
        std::string columns;
        for (const std::string &column : summary.ignored) columns += (columns.empty() ? "\"" : ", \"") + column + "\"";
        std::cerr << verb << name << ": " << (summary.ignored.size() == 1 ? "a column" : "columns")
                  << " not read: " << Printable(columns) << '\n';
    }
    if (summary.skipped > 0)
        std::cerr << verb << name << ": "
                  << Plural(summary.skipped, IsVcard(options) ? "card" : "contact", IsVcard(options) ? "cards" : "contacts")
                  << " without a fax number skipped\n";
    return 0;
}

// Merges the checked text into the book.
bool MergeImport(WorkingContext *context, const BookOptions &options, const std::string &text,
                 const CodePage &codePage, MergeReport &report) {
    BookMerger merger(context, report, options.dryRun);
    bool merged = true;
    const RowVisitor merge = [&](const PersonRow &row) { return merged = merger.Add(row); };
    char separator = 0;
    SeparatorOf(options.separator, separator);
    ImportSummary summary;
    std::string ignored;
    if (IsVcard(options))
        ReadVcards(text, &codePage, merge, summary, ignored);
    else
        ReadBookCsv(text, &codePage, separator, merge, summary, ignored, true);
    return merged && merger.Finish();
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
    char separator = 0;
    if (!SeparatorOf(options.separator, separator)) {
        std::cerr << verb << "--separator: \"" << Printable(options.separator) << "\" is none of \",\", \";\" and tab\n";
        return 2;
    }
    if (IsVcard(options) && !options.separator.empty()) {
        std::cerr << verb << "--separator is for CSV files, not vCard\n";
        return 2;
    }
    if (action == "export" && IsVcard(options) && !IsUtf8(options.encoding)) {
        std::cerr << verb << "--encoding: vCard files are written in UTF-8\n";
        return 2;
    }
    const bool changes = action == "resave" || (action == "import" && !options.dryRun);
    if (action == "export" && !CheckOutput(options.file, error)) {
        std::cerr << verb << "cannot write " << error << '\n';
        return 2;
    }
    // The file is read whole and checked before the book is touched.
    std::string text, name;
    if (action == "import") {
        if (int status = ReadImport(verb, options, codePage, text, name); status != 0) return status;
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
    // A dry run merges into the book as it is, or into an empty one.
    if (!changes && action != "import" && !BookExists(path)) {
        std::cerr << verb << "no address book at " << Shown(path) << '\n';
        return 1;
    }
    BookContext context = LoadBook(path, error);
    if (!context) {
        std::cerr << verb << error << '\n';
        return 1;
    }
    if (action == "show") {
        if (options.names)
            ShowNames(context.get(), codePage, std::cout);
        else if (options.json)
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
        std::string written = IsVcard(options) ? FormatVcards(context.get(), &codePage)
                                               : FormatBookCsv(context.get(), &codePage, separator != 0 ? separator : ',');
        if (!IsUtf8(options.encoding)) {
            std::string encoded;
            TextFault fault;
            bool known = true;
            if (!Utf8ToEncoding(options.encoding, written, encoded, fault, known)) {
                std::cerr << verb << "CSV " << LineOf(written, fault.offset) << ": " << fault.what << " has no form in "
                          << options.encoding << "; nothing was written\n";
                return 2;
            }
            written.swap(encoded);
        }
        if (WriteOutput(options.file, written)) return 0;
        std::cerr << verb << "cannot write " << (options.file == "-" ? std::string("standard output") : options.file)
                  << '\n';
        return 1;
    }
    // import
    MergeReport report;
    if (!MergeImport(context.get(), options, text, codePage, report)) {
        std::cerr << verb << "not enough memory; nothing was imported\n";
        return 1;
    }
    if (options.dryRun) {
        ShowEvents(report, codePage, std::cout);
        std::cout.flush();
        std::cerr << "Would add " << Added(report) << " to " << Shown(path) << "; nothing was written\n";
        return std::cout ? 0 : 1;
    }
    if (!SaveBook(context.get(), path, error)) {
        std::cerr << verb << error << "; nothing was imported\n";
        return 1;
    }
    std::cerr << "Added " << Added(report) << " to " << Shown(path) << '\n';
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
    CLI::Option *json = show->add_flag("--json", options->json, "print one JSON object instead of a listing");
    show->add_flag("--names", options->names,
                   "print only the WHO of every group (\"[Team]\") and person, one a line (for scripts and shell "
                   "completion)")
        ->excludes(json);
    show->footer(readStatuses);
    show->callback(run("show"));

    CLI::App *resave = book->add_subcommand("resave", "Load the book and save it back, as the dialog's OK does");
    AddCommonOptions(*resave, *common);
    resave->footer(ExitStatusSection({{0, "saved"},
                                      {1, "the book could not be read, locked or saved (the old one stays)"},
                                      {2, "bad option or directory"}}));
    resave->callback(run("resave"));

    const auto formatOption = [options](CLI::App &command) {
        command.add_option("--format", options->format, "csv or vcard (default: vcard for a .vcf or .vcard file, else csv)")
            ->check(CLI::IsMember({"csv", "vcard"}));
    };
    CLI::App *import = book->add_subcommand(
        "import", "Merge persons, numbers and groups from a CSV or vCard file into the book");
    import->add_option("file", options->file, "the CSV or vCard file (\"-\": standard input)")->required();
    formatOption(*import);
    import->add_option("--separator", options->separator,
                       "the CSV separator: \",\", \";\" or tab (default: the one of the header row)");
    import->add_option("--encoding", options->encoding, "the file's encoding (default: UTF-8)");
    import->add_flag("--dry-run", options->dryRun,
                     "list what the import would add (persons, numbers, groups, members) and write nothing");
    AddCommonOptions(*import, *common);
    import->footer(
        "CSV columns, in any order, case and blanks ignored: the book's own (firstName, lastName, company, "
        "department, notes, number, details, groups) and the contacts programs' (\"First Name\"/\"Given Name\", "
        "\"Last Name\"/\"Family Name\", \"Company\"/\"Organization\"/\"Organization 1 - Name\", \"Department\", "
        "\"Notes\", \"Display Name\", \"Categories\"); every column with \"fax\" in its name (\"Business Fax\", "
        "\"Home Fax\", \"Fax Number\") gives a number with the column's kind (\"business fax\") as its details, and "
        "so does each \"Phone N - Type\"/\"Phone N - Value\" pair whose type says fax. Other columns are not read "
        "and are named once. groups holds group names separated by \";\" (\"\\;\" in a name). Rows without a fax "
        "number in a contacts program's file, and blank rows, are skipped.\n"
        "vCard 3.0 and 4.0: N (or FN) for the names, ORG for company;department (a card without a name is the "
        "company's), NOTE, each TEL whose TYPE includes fax (its other types are the details), CATEGORIES as "
        "groups. Cards without a fax number are skipped.\n"
        "A row's person is the book's person of the same first name, last name and company, or a new one; its "
        "number is added unless that person has it, and joins the row's groups, made when missing.\n"
        "Field limits, in characters: first name 35, last name 45, company 39, department 39, notes 249, number "
        "79, details 29, group name 79 (without [ or ]); a person needs a first name, a last name or a company.\n\n" +
        ExitStatusSection({{0, "merged and saved (with --dry-run: listed)"},
                           {1, "the book could not be read, locked or saved (the old one stays)"},
                           {2, "bad option, or a file that cannot be read or has a bad row or card (named by its "
                               "line; nothing was imported)"}}));
    import->callback(run("import"));

    CLI::App *exporter = book->add_subcommand(
        "export", "Write the book's persons, numbers and groups as CSV, or as vCard 3.0 (UTF-8)");
    exporter->add_option("file", options->file, "the file to write (\"-\": standard output)")->required();
    formatOption(*exporter);
    exporter->add_option("--separator", options->separator, "the CSV separator: \",\" (default), \";\" or tab");
    exporter->add_option("--encoding", options->encoding, "the CSV file's encoding (default: UTF-8)");
    AddCommonOptions(*exporter, *common);
    exporter->footer("CSV: the columns firstName, lastName, company, department, notes, number, details, groups, one "
                     "row per number. vCard: one card per person; its fax numbers as TEL;TYPE=fax with the details "
                     "as further types, its groups as CATEGORIES.\n\n" +
                     readStatuses + "\n  2  also: a text the encoding has no form for (its CSV line named)");
    exporter->callback(run("export"));
    return book;
}
