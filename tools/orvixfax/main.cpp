// orvixfax: the fax module from the command line. The verbs are in their
// own files (see verbs.h); this file only sets the module up and parses.
#include <iostream>
#include <new>

#include "entry/module_instance.h"
#include "orvixfax.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

// The program, with main only stopping what it throws.
int Run(const std::vector<std::string> &arguments) {
    CLI::App app{"orvixfax - the OrvixFax fax module from the command line.\n"
                 "Writes fax job tickets, runs fax jobs, and keeps the address book and the settings.",
                 "orvixfax"};
    app.require_subcommand(1);
    app.set_version_flag("-V,--version", "orvixfax " ORVIXFAX_VERSION_STRING, "show the version and exit");
    app.footer("Data goes to standard output, messages to standard error; \"-\" as a file is standard input "
               "or output. Each command's --help gives its exit statuses.");
    int exitCode = 0;
    AddVerbs(app, exitCode);

    std::string unknown;
    if (UnknownVerb(app, arguments, unknown)) {
        std::cerr << unknown << "\n";
        return 2;
    }
    std::vector<const char *> argv;
    for (const std::string &argument : arguments) argv.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
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
        UseUtf8Console();
        return Run(CommandLineArguments(argc, argv));
    } catch (const std::bad_alloc &) {
        // The verbs stop their own; this is for setting up and reading the
        // options around them.
        std::cerr << "orvixfax: not enough memory\n";
        return 1;
    }
}
