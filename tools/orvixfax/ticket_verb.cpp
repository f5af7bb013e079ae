// orvixfax ticket: the exact PJL or PostScript ticket of a job file.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "entry/fax_info.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/job_file.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"
#include "ticket/pjl_ticket.h"
#include "ticket/ps_ticket.h"
#include "ticket/ticket_clock.h"

namespace {

struct TicketOptions {
    bool pcl = false;
    bool ps = false;
    std::string job;
    std::string at;
    bool kanji = false;
    std::string out;
};

int RunTicket(const TicketOptions &options, const CommonOptions &common) {
    std::tm moment{};
    if (!options.at.empty() && !ParseTicketMoment(options.at, moment)) {
        std::cerr << "orvixfax ticket: --at: \"" << options.at
                  << "\" is not a valid local time of the form YYYY-MM-DD HH:MM:SS\n";
        return 2;
    }
    std::string error;
    CodePage codePage;
    if (!OpenCodePage(common, codePage, error)) {
        std::cerr << "orvixfax ticket: " << error << "\n";
        return 2;
    }
    if (!CheckOutput(options.out, error)) {
        std::cerr << "orvixfax ticket: --out: the ticket cannot be written to " << error << "\n";
        return 2;
    }
    if (options.kanji && !UseKanjiMode(error)) {
        std::cerr << "orvixfax ticket: " << error << "\n";
        return 2;
    }

    FaxInfo *info = nullptr;
    if (!NewFaxInfo(&info)) {
        std::cerr << "orvixfax ticket: out of memory for the job record\n";
        return 1;
    }
    std::unique_ptr<FaxInfo *, void (*)(FaxInfo **)> release(&info, [](FaxInfo **record) {
        FreeFaxInfo(record);
    });

    if (!ReadJobFile(options.job, info, error, codePage)) {
        std::cerr << "orvixfax ticket: " << error << "\n";
        return 2;
    }
    if (info->status == 0) {
        std::cerr << "orvixfax ticket: " << (options.job == "-" ? std::string("standard input") : options.job)
                  << ": the job's status is 0 (no fax: the user chose Print), so there is "
                     "no ticket\n";
        return 1;
    }

    SetTicketTime(options.at.empty() ? nullptr : &moment);
    uint32_t length = 0;
    char *text = options.pcl ? WritePjlTicket(info, &length) : WritePsTicket(info, &length);
    SetTicketTime(nullptr);
    if (text == nullptr) {
        std::cerr << "orvixfax ticket: out of memory for the ticket\n";
        return 1;
    }

    bool written = WriteTicket(text, length, options.out);
    FreeTicket(text);
    if (!written) {
        std::cerr << "orvixfax ticket: cannot write the ticket to "
                  << (options.out.empty() || options.out == "-" ? std::string("standard output") : options.out)
                  << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

void AddTicketVerb(CLI::App &app, const Common &common, int &exitCode) {
    auto options = std::make_shared<TicketOptions>();
    CLI::App *verb = app.add_subcommand(
        "ticket",
        "Write the PJL or PostScript fax ticket of a JSON job file, byte for byte, exactly as the module gives "
        "it to the driver: PJL lines for the PCL driver, or the PostScript block.");
    verb->footer(
        "The job file is one JSON object whose keys are the fax job record's field names (status, coverSheet, "
        "resolution, senderName, senderFaxNumber, senderHomeNumber, senderBusinessNumber, recipientNames, "
        "recipientFaxNumber, recipientCompany, includeRecipName, includeRecipNumber, includeRecipCompany, "
        "noteLines: up to 10 strings, recipients: up to 200 objects with name, faxNumber, company). Its texts "
        "are Unicode, each character one the code page has (so \u20ac works in 1252). A missing key is zero or "
        "empty; status defaults to 1.\n\n" +
        ExitStatusSection({{0, "the ticket was written"},
                           {1, "no ticket: the job's status is 0, or the ticket could not be written"},
                           {2, "bad job file or option (the message names the key and the limit)"}}));
    auto *pcl = verb->add_flag("--pcl", options->pcl, "a PJL ticket, for the PCL driver");
    auto *ps = verb->add_flag("--ps", options->ps, "a PostScript ticket, for the PostScript driver");
    pcl->excludes(ps);
    ps->excludes(pcl);
    verb->add_option("--job", options->job, "the job file (JSON; \"-\": standard input)")->required();
    verb->add_option("--at", options->at,
                     "the local time for the cover sheet's date, \"YYYY-MM-DD HH:MM:SS\" (default: now)");
    verb->add_flag("--kanji", options->kanji,
                   "run as in Kanji mode (language string \"Kanji\"): names last name first, octal PostScript "
                   "strings");
    verb->add_option("--out", options->out, "write the ticket to this file (default, and \"-\": standard output)");
    AddCommonOptions(*verb, *common, false);
    verb->callback([options, common, &exitCode] {
        if (!options->pcl && !options->ps) {
            std::cerr << "orvixfax ticket: choose the ticket: --pcl or --ps\n";
            exitCode = 2;
            return;
        }
        exitCode = RunVerb("orvixfax ticket", [&] { return RunTicket(*options, *common); });
    });
}
