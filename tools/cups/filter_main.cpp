// orvixfax-cups: the CUPS filter of the OrvixFax fax queues. It runs last in
// a job's filters, takes the rendered document (PCL or PostScript) and
// writes the fax job the print server takes: the document with the fax
// ticket the module writes for the job's recipients and cover sheet.
//
// As every CUPS filter: orvixfax-cups job-id user title copies options [file],
// the document from the file or standard input, the job to standard output,
// messages for the job's state on standard error ("ERROR: ...", "INFO: ...").
// The queue's PPD (PPD in the environment) says which ticket goes with the
// job; /etc/orvixfax/cups.conf, or the file ORVIXFAX_CUPS_CONF names, where
// the users' address books are (server_config.h).
//
// A job that cannot have its ticket (a recipient not in the book, or named
// ambiguously, too many recipients, none with a number, a bad option) is
// failed before anything is written: exit status 1, nothing on standard
// output, the reason on standard error.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cups/fax_job_frame.h"
#include "cups/fax_ticket.h"
#include "cups/job_options.h"
#include "cups/server_config.h"
#include "common/module_instance.h"
#include "orvixfax/platform.h"

#ifndef ORVIXFAX_CUPS_CONF
#define ORVIXFAX_CUPS_CONF "/etc/orvixfax/cups.conf"
#endif

namespace {

// The scheduler reads the job's messages from a pipe in its own time, and
// it may notice that a filter has ended before it reads what the filter
// said; the job's state would then read "Filter failed". So a failing
// filter waits (a few seconds at most) until its message is off the pipe.
void WaitUntilMessagesAreRead() {
    struct stat status{};
    if (fstat(STDERR_FILENO, &status) != 0 || !S_ISFIFO(status.st_mode)) return;
    for (int waited = 0; waited < 5000; waited += 10) {
        int unread = 0;
        if (ioctl(STDERR_FILENO, FIONREAD, &unread) != 0 || unread == 0) return;
        usleep(10000);
    }
}

int Fail(const std::string &message) {
    std::fprintf(stderr, "ERROR: %s\n", message.c_str());
    std::fflush(stderr);
    WaitUntilMessagesAreRead();
    return 1;
}

std::string Environment(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr,
                     "Usage: orvixfax-cups job-id user title copies options [file]\n"
                     "The last filter of an OrvixFax fax queue: run by CUPS with the queue's PPD in PPD.\n"
                     "Its configuration: %s, or the file ORVIXFAX_CUPS_CONF names.\n",
                     ORVIXFAX_CUPS_CONF);
        return 1;
    }
    DllMain(ProgramInstance(), DLL_PROCESS_ATTACH, nullptr);
    const std::string user = argv[2];

    ServerConfig config;
    std::string error;
    if (!ReadServerConfig(ServerConfigPath(ORVIXFAX_CUPS_CONF), config, error)) return Fail(error);

    std::string ppd = Environment("PPD");
    if (ppd.empty()) return Fail("no PPD in the environment: orvixfax-cups runs as the filter of a fax queue");
    FaxJobOptions options;
    if (!ReadFaxJobOptions(ppd, argv[5], options, error)) return Fail(error);

    std::string directory;
    const std::string &pattern = options.sharedBook ? config.sharedBookDirectory : config.bookDirectory;
    if (!BookDirectoryFor(pattern, user, directory, error)) return Fail(error);
    std::fprintf(stderr, "DEBUG: the address book of the job: %s\n", directory.c_str());

    std::string scratch = Environment("TMPDIR");
    std::string ticket;
    FaxRefusal refusal;
    if (!MakeFaxTicket(options, directory, config.codePage, scratch.empty() ? "/tmp" : scratch, ticket, refusal)) {
        return Fail(refusal.option.empty() ? refusal.reason : refusal.option + ": " + refusal.reason);
    }

    std::FILE *document = stdin;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> opened(nullptr, std::fclose);
    if (argc == 7) {
        opened.reset(std::fopen(argv[6], "rb"));
        if (!opened) return Fail(std::string("the document ") + argv[6] + " cannot be opened");
        document = opened.get();
    }
    bool written = options.ticket == TicketKind::Pjl ? WritePclFaxJob(ticket, document, stdout, error)
                                                     : WritePostScriptFaxJob(ticket, document, stdout, error);
    if (!written) return Fail(error);
    std::fputs("INFO: the fax job is on its way to the fax print server\n", stderr);
    return 0;
}
