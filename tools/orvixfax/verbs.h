// The verbs of the orvixfax command. Each verb lives in a source file of its
// own and adds itself to the program through one registration function,
// called from main. A verb's callback stores the program's exit status in
// `exitCode` (0 success; 1 the job ran but gave no result; 2 bad input).
#ifndef ORVIXFAX_TOOL_VERBS_H
#define ORVIXFAX_TOOL_VERBS_H

#include <CLI/CLI.hpp>

// orvixfax ticket --pcl|--ps --job FILE [--at TIME] [--kanji] [--out FILE]
void AddTicketVerb(CLI::App &app, int &exitCode);

// orvixfax book show|resave|import|export [--dir DIR] ...; gives the "book"
// command so further book subcommands can be attached to it.
CLI::App *AddBookVerb(CLI::App &app, int &exitCode);

// orvixfax book edit [--dir DIR] [--script FILE], attached to the "book" command
void AddBookEditVerb(CLI::App &book, int &exitCode);

// orvixfax fax --pcl|--ps [--dir DIR] [--script FILE] [--at TIME] [--out FILE]
void AddFaxVerb(CLI::App &app, int &exitCode);

// orvixfax settings show [--dir DIR] [--json]
void AddSettingsVerb(CLI::App &app, int &exitCode);

#endif
