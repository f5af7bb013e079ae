// What several verbs of the orvixfax command share: the directory that plays
// the system directory, the script of the user's actions, the --at moment,
// the ticket's way out, 8-bit text shown as UTF-8.
#ifndef ORVIXFAX_CLI_SUPPORT_H
#define ORVIXFAX_CLI_SUPPORT_H

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

// The directory that plays the system directory: --dir when given, else the
// platform's default (see platform.h). False with a reason when there is
// none or it is not a directory.
bool DataDirectory(const std::string &option, std::string &directory, std::string &error);

// The text of a script: the file --script names, or standard input when the
// option is empty or "-". `name` names the script in messages. False with
// a message naming the file and the reason when it cannot be read.
bool ReadScript(const std::string &option, std::string &text, std::string &name, std::string &error);

// "YYYY-MM-DD HH:MM:SS", every field in its range, nothing more.
bool ParseTicketMoment(const std::string &text, std::tm &moment);

// Releases a ticket block through its handle, as a driver does.
void FreeTicket(char *text);

// Writes the ticket's bytes as they are to `out`, or to standard output when
// `out` is empty. False when they could not all be written.
bool WriteTicket(const char *text, uint32_t length, const std::string &out);

// Each byte as the character U+0000 to U+00FF of the same value, in UTF-8.
std::string Latin1ToUtf8(const char *text);

// Control bytes shown as \xHH, so that a listing stays one line per item
// and nothing from a file acts on the terminal.
std::string Printable(const char *text);

// A Windows error code in words, for messages ("access is denied").
std::string ErrorText(unsigned long code);

// The whole of a regular file, read through the kernel's file calls. False
// with a message naming the path and the reason (a directory, a missing
// file, no permission, a read error).
bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error);

// Runs a verb's work: an exception it throws (memory running out, above
// all) becomes a message and exit status 1 instead of ending the program.
int RunVerb(const char *verb, const std::function<int()> &work);

#endif
