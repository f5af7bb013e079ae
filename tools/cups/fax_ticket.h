// The ticket of one job of a fax queue: the job's choices played through
// the module's "Fax Document" dialog over the user's book and settings, as
// `orvixfax fax --to` plays them, and the ticket the module then writes.
#ifndef ORVIXFAX_CUPS_FAX_TICKET_H
#define ORVIXFAX_CUPS_FAX_TICKET_H

#include <string>

#include "cups/job_options.h"

// Why a job gets no ticket: the option at fault (empty when it is the job
// as a whole) and the reason, one line.
struct FaxRefusal {
    std::string option;
    std::string reason;
};

// Writes the ticket of `options` on the book and settings in
// `bookDirectory` (OrvixFax.adb, orvixfax.ini; missing ones are empty).
// Nothing there is changed: the dialog works on a copy in `scratchParent`.
bool MakeFaxTicket(const FaxJobOptions &options, const std::string &bookDirectory, int codePage,
                   const std::string &scratchParent, std::string &ticket, FaxRefusal &refusal);

#endif
