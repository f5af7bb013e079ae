// orvixfax fax: a whole fax job through the module's exports, the user
// played by a script, a person at the terminal, or on Windows the person at the desk.
#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "addrbook/address_book_file.h"
#include "orvixfax.h"
#include "orvixfax/book_access.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"
#include "ticket/ticket_clock.h"

namespace {

struct FaxOptions {
    bool pcl = false;
    bool ps = false;
    std::string dir;
    std::string script;
    std::string at;
    std::string out;
};

int RunFax(const FaxOptions &options) {
    const char *verb = "orvixfax fax: ";
    std::tm moment{};
    if (!options.at.empty() && !ParseTicketMoment(options.at, moment)) {
        std::cerr << verb << "--at: \"" << options.at
                  << "\" is not a valid local time of the form YYYY-MM-DD HH:MM:SS\n";
        return 2;
    }
    std::string dir, error;
    if (!DataDirectory(options.dir, dir, error)) {
        std::cerr << verb << error << "\n";
        return 2;
    }
    DialogUser user;
    if (!user.Prepare(options.script, error) || !UseDataDirectory(dir, !options.dir.empty(), error)) {
        std::cerr << verb << error << "\n";
        return 2;
    }
    // "Edit Address Book" in the dialog can save the book: it is held as the
    // book commands hold it. Where no lock can be made, no book can be saved
    // either, and the fax goes on without.
    BookLock lock;
    std::string lockError;
    char path[MAX_PATH];
    if (GetAddressBookPath(path, sizeof path)) lock.Acquire(path, lockError);
    SetTicketTime(options.at.empty() ? nullptr : &moment);
    char *text = nullptr;
    uint32_t length = 0;
    user.Play([&] {
        if (options.pcl) {
            CreatePCLOrvixFaxInfo(&text, &length);
        } else {
            CreatePSOrvixFaxInfo(&text, &length);
        }
    });
    SetTicketTime(nullptr);
    std::unique_ptr<char, void (*)(char *)> ticket(text, FreeTicket);

    if (!user.Finish(error)) {
        std::cerr << verb << error << "\n";
        return 2;
    }
    if (text == nullptr) {
        std::cout << "The user chose Print: the job prints normally and there is no fax ticket.\n";
        return 1;
    }
    if (WriteTicket(text, length, options.out)) return 0;
    std::cerr << verb << "cannot write the ticket to "
              << (options.out.empty() ? std::string("standard output") : options.out) << "\n";
    return 1;
}

}  // namespace

void AddFaxVerb(CLI::App &app, int &exitCode) {
    auto options = std::make_shared<FaxOptions>();
    CLI::App *verb = app.add_subcommand(
        "fax",
        "Run a whole fax job as a printer driver would: the \"Fax Document\" dialog over the "
        "address book (OrvixFax.adb) and settings (orvixfax.ini) of DIR, worked by a script of "
        "the user's actions, then the job ticket the driver would get.\n"
        "Exit status: 0 ticket written; 1 the user chose Print (no ticket) or it could not be "
        "written; 2 bad option, or a script that cannot be read or did not run through.");
    auto *pcl = verb->add_flag("--pcl", options->pcl, "the PCL driver's call: a PJL ticket");
    auto *ps = verb->add_flag("--ps", options->ps, "the PostScript driver's call: a PostScript ticket");
    pcl->excludes(ps);
    ps->excludes(pcl);
    verb->add_option("--dir", options->dir,
                     std::string("the directory that plays the system directory (default: ") +
                         kDefaultDataDirectoryText + ", as for the book commands)");
    verb->add_option("--script", options->script,
                     "the user's actions, one a line (\"-\": standard input; without it, the dialog "
                     "comes up in the terminal when standard input and output are one, and the "
                     "script is read from standard input otherwise)");
    verb->add_option("--at", options->at,
                     "the local time for the cover sheet's date, \"YYYY-MM-DD HH:MM:SS\" "
                     "(default: now)");
    verb->add_option("--out", options->out, "write the ticket to this file (default: stdout)");
    verb->callback([options, &exitCode] {
        if (!options->pcl && !options->ps) {
            std::cerr << "orvixfax fax: choose the driver: --pcl or --ps\n";
            exitCode = 2;
            return;
        }
        exitCode = RunVerb("orvixfax fax", [&] { return RunFax(*options); });
    });
}
