// The verbs of the orvixfax command. Each verb lives in a source file of its
// own and adds itself to the program through one registration function;
// AddVerbs calls them all, for main and for the tests that run the program
// in their own process. A verb's callback stores the program's exit status
// in `exitCode` (0 success; 1 the job ran but gave no result, or a file
// could not be read or written; 2 bad input).
#ifndef ORVIXFAX_TOOL_VERBS_H
#define ORVIXFAX_TOOL_VERBS_H

#include <memory>

#include <CLI/CLI.hpp>

#include "orvixfax/command_line.h"

using Common = std::shared_ptr<CommonOptions>;

// Every verb below, and the options every verb takes on the program itself.
void AddVerbs(CLI::App &app, int &exitCode);

// orvixfax ticket --pcl|--ps --job FILE [--at TIME] [--kanji] [--out FILE]
void AddTicketVerb(CLI::App &app, const Common &common, int &exitCode);

// orvixfax book show|resave|import|export ...; gives the "book" command so
// further book subcommands can be attached to it.
CLI::App *AddBookVerb(CLI::App &app, const Common &common, int &exitCode);

// orvixfax book edit [--script FILE], attached to the "book" command
void AddBookEditVerb(CLI::App &book, const Common &common, int &exitCode);

// orvixfax book add|remove|find and book group add|remove|members
void AddBookChangeVerbs(CLI::App &book, const Common &common, int &exitCode);

// orvixfax fax --pcl|--ps [--script FILE | --to WHO ...] [--at TIME] [--out FILE]
void AddFaxVerb(CLI::App &app, const Common &common, int &exitCode);

// orvixfax settings show [--json] | settings set KEY VALUE
void AddSettingsVerb(CLI::App &app, const Common &common, int &exitCode);

#endif
