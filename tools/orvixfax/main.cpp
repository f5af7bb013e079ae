// orvixfax: the fax module from the command line. The verbs are in their
// own files (see verbs.h); this file only sets the module up and parses.
#include <iostream>
#include <new>

#include "common/module_instance.h"
#include "orvixfax.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

// The program, with main only stopping what it throws.
int Run(int argc, char **argv) {
    CLI::App app{"orvixfax - the OrvixFax fax module from the command line.\n"
                 "Writes fax job tickets, and works the address book and settings."};
    app.require_subcommand(1);
    app.set_version_flag("-V,--version", "orvixfax " ORVIXFAX_VERSION_STRING, "Show the version and exit");
    int exitCode = 0;
    AddTicketVerb(app, exitCode);
    CLI::App *book = AddBookVerb(app, exitCode);
    AddBookEditVerb(*book, exitCode);
    AddFaxVerb(app, exitCode);
    AddSettingsVerb(app, exitCode);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        // Help and version requests end well; every other parse error is bad input.
        int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    return exitCode;
}

}  // namespace

int main(int argc, char **argv) {
    DllMain(ProgramInstance(), DLL_PROCESS_ATTACH, nullptr);
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        // The verbs stop their own; this is for setting up and reading the
        // options around them.
        std::cerr << "orvixfax: not enough memory\n";
        return 1;
    }
}
