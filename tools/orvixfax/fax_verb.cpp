// orvixfax fax: a whole fax job through the module's exports, the user
// played by a script of the scripted front end, or a person at the terminal.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "orvixfax.h"
#include "../../src/ticket/ticket_clock.h"
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
#ifdef _WIN32
    (void)options;
    std::cerr << verb << "needs the portable build: on Windows the user works the dialog "
                         "and the module runs inside the printer driver\n";
    return 2;
#else
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

    portable::ScriptFrontEnd script(res::ControlIdByName);
    std::unique_ptr<terminal::TerminalFrontEnd> person;
    bool read = true;
    if (DialogsAtTerminal(options.script)) {
        person = MakeTerminalUser();
    } else if (options.script.empty() || options.script == "-") {
        std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        read = script.Parse(text, "standard input");
    } else {
        read = script.LoadFile(options.script);
    }
    if (!read) {
        std::cerr << verb << "the script cannot be read:\n" << script.Report();
        return 2;
    }

    portable::SetSystemDirectory(std::filesystem::absolute(dir).string());
    // "Edit Address Book" in the dialog can save the book: it is held as the
    // book commands hold it. Where no lock can be made, no book can be saved
    // either, and the fax goes on without.
    BookLock lock;
    std::string lockError;
    lock.Acquire(BookPath(std::filesystem::absolute(dir).string()), lockError);
    std::string terminalError;
    if (person && !person->Start(terminalError)) {
        std::cerr << verb << terminalError << "; give the user's actions with --script\n";
        return 2;
    }
    SetTicketTime(options.at.empty() ? nullptr : &moment);
    char *text = nullptr;
    uint32_t length = 0;
    {
        portable::ScopedFrontEnd playing(person ? static_cast<portable::FrontEnd *>(person.get()) : &script);
        if (options.pcl) {
            CreatePCLOrvixFaxInfo(&text, &length);
        } else {
            CreatePSOrvixFaxInfo(&text, &length);
        }
    }
    SetTicketTime(nullptr);
    std::unique_ptr<char, void (*)(char *)> ticket(text, FreeTicket);

    if (person) {
        person->End();
        if (person->Lost()) {
            std::cerr << verb << "the terminal went away while the dialog was open; no ticket\n";
            return 2;
        }
    } else if (!script.Finish()) {
        std::cerr << verb << "the script did not run through:\n" << script.Report();
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
#endif
}

}  // namespace

void AddFaxVerb(CLI::App &app, int &exitCode) {
    auto options = std::make_shared<FaxOptions>();
    CLI::App *verb = app.add_subcommand(
        "fax",
        "Run a whole fax job as a printer driver would: the \"Fax Document\" dialog over the "
        "address book (OrvixFax.adb) and settings (orvixfax.ini) of DIR, worked by a script of "
        "the user's actions or, at a terminal without --script, by you, then the job ticket the "
        "driver would get.\n"
        "Exit status: 0 ticket written; 1 the user chose Print (no ticket) or it could not be "
        "written; 2 bad option, or a script that cannot be read or did not run through.");
    auto *pcl = verb->add_flag("--pcl", options->pcl, "the PCL driver's call: a PJL ticket");
    auto *ps = verb->add_flag("--ps", options->ps, "the PostScript driver's call: a PostScript ticket");
    pcl->excludes(ps);
    ps->excludes(pcl);
    verb->add_option("--dir", options->dir,
                     "the directory that plays the system directory (default: ~/.local/share/orvixfax, "
                     "as for the book commands)");
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
