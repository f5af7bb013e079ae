// A person at the terminal as the user of the dialogs: when `fax` and
// `book edit` get no script and both standard input and output are a
// terminal, the dialogs come up on it (the terminal front end) instead of
// waiting for a script on standard input.
#ifndef ORVIXFAX_CLI_TERMINAL_USER_H
#define ORVIXFAX_CLI_TERMINAL_USER_H

#include <memory>
#include <string>

#include "platform/portable/front_ends/terminal/terminal_front_end.h"

// No --script, and standard input and output on a terminal.
bool DialogsAtTerminal(const std::string &scriptOption);

// The front end for the module's dialogs: its text in the module's code
// page (--codepage: 1252, or 932 on Japanese systems), its icons drawn in
// characters. Not started yet.
std::unique_ptr<terminal::TerminalFrontEnd> MakeTerminalUser(int codePage);

#endif
