// What every verb of the orvixfax command shares on its command line: the
// options each takes (--dir before or after the verb's name, --codepage),
// the exit-status section of its help, and the message for a verb the
// program does not know.
#ifndef ORVIXFAX_TOOL_COMMAND_LINE_H
#define ORVIXFAX_TOOL_COMMAND_LINE_H

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "orvixfax/code_page.h"

struct CommonOptions {
    std::string dir;      // --dir: the directory that plays the system directory
    int codePage = 1252;  // --codepage: the module's ANSI code page
};

// Adds --codepage and, with `withDir`, --dir to a command; the program's
// own command takes them too, so they may stand before the verb.
void AddCommonOptions(CLI::App &command, CommonOptions &common, bool withDir = true);

// The help's section on exit statuses, one line each.
std::string ExitStatusSection(std::initializer_list<std::pair<int, const char *>> statuses);

// Opens the code page --codepage names. False with a message.
bool OpenCodePage(const CommonOptions &common, CodePage &codePage, std::string &error);

// An option's UTF-8 text in the code page. False with a message naming the
// option and the character that has no byte there.
bool OptionText(const CodePage &codePage, const std::string &option, const std::string &utf8, std::string &bytes,
                std::string &error);

// When `arguments` name a verb `app` does not have, or stop where a verb is
// needed: the message (with the nearest verb, when one is near) and true.
bool UnknownVerb(CLI::App &app, const std::vector<std::string> &arguments, std::string &message);

#endif
