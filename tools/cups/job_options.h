// What a job asks of its fax, from the job's options (the filter's fifth
// argument) over the defaults of the queue's PPD. The options are those the
// fax queue's PPD offers (orvixfax.ppd.in); texts are UTF-8, as IPP has
// them.
#ifndef ORVIXFAX_CUPS_JOB_OPTIONS_H
#define ORVIXFAX_CUPS_JOB_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

enum class TicketKind { Pjl, PostScript };

struct FaxJobOptions {
    TicketKind ticket = TicketKind::Pjl;  // the queue's, from the PPD's *OrvixFaxTicket
    bool sharedBook = false;              // the queue's orvixfax-book: never the job's own

    std::vector<std::string> to;          // orvixfax-to, split at ";"
    std::string name;                     // orvixfax-name: a new recipient's name
    std::optional<std::string> note;      // orvixfax-note
    std::optional<std::string> senderName, senderFax, senderBusiness, senderHome;

    // Unset: as the user's saved fax settings have it ("Saved").
    std::optional<bool> cover;
    std::optional<bool> fine;  // orvixfax-resolution: Fine or Ultrafine
    std::optional<bool> showRecipName, showRecipNumber, showRecipCompany;
    std::optional<bool> showSenderName, showSenderFax, showSenderBusiness, showSenderHome;
};

// Reads the options of a job (`jobOptions`, as CUPS gives them to a filter)
// on the queue whose PPD is at `ppdPath`. False with a message that starts
// with the option's name when a value is not one the option takes, or with
// the PPD's path when it cannot be read or is no fax queue's PPD.
bool ReadFaxJobOptions(const std::string &ppdPath, const std::string &jobOptions, FaxJobOptions &options,
                       std::string &error);

#endif
