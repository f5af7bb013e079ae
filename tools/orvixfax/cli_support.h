// What several verbs of the orvixfax command share: the directory that plays
// the system directory, file arguments and outputs ("-" for standard input
// and output), the --at moment, the ticket's way out.
#ifndef ORVIXFAX_CLI_SUPPORT_H
#define ORVIXFAX_CLI_SUPPORT_H

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

// The directory that plays the system directory: --dir when given, else
// ORVIXFAX_DIR from the environment, else the platform's default (see
// platform.h). `named` says the user chose it. A named directory must
// exist; the default one is made when missing if `make` (the verbs that
// save), and otherwise may be missing (the read-only verbs create nothing).
// False with a reason when there is none or it is not a directory.
struct DataPlace {
    std::string directory;
    bool named = false;
};
bool DataDirectory(const std::string &option, bool make, DataPlace &place, std::string &error);

// The text of a file argument: the file, or standard input for "-" (and
// for an empty name). `name` names it in messages. False with a message
// naming the file and the reason when it cannot be read.
bool ReadInput(const std::string &path, std::string &text, std::string &name, std::string &error);

// The same for --script.
bool ReadScript(const std::string &option, std::string &text, std::string &name, std::string &error);

// Whether `path` can take an output once the work is done ("-" is standard
// output, which always can): a file that is there must be writable and not
// a directory, a new one must have a directory to go in that takes it.
// False with a reason; nothing is left behind either way.
bool CheckOutput(const std::string &path, std::string &error);

// Writes bytes whole to `path`, or to standard output for "-" or an empty
// path. False when they could not all be written.
bool WriteOutput(const std::string &path, const std::string &bytes);

// "YYYY-MM-DD HH:MM:SS", every field in its range, nothing more.
bool ParseTicketMoment(const std::string &text, std::tm &moment);

// Releases a ticket block through its handle, as a driver does.
void FreeTicket(char *text);

// Writes the ticket's bytes as they are to `out`, or to standard output when
// `out` is empty or "-". False when they could not all be written.
bool WriteTicket(const char *text, uint32_t length, const std::string &out);

// UTF-8 text with its control characters shown as \xHH (and U+0080 to
// U+009F as \u0080 ...), so that a listing stays one line per item and
// nothing from a file acts on the terminal.
std::string Printable(const std::string &text);

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
