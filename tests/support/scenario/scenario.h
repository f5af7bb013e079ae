// One scenario, two runners: the test host drives the real DLL under Wine,
// the native runner drives the same module over the portable layer. Both
// read the same scenario file and must leave the same outcome.
//
// SCENARIO FILE (e2e/scenarios/NAME.scenario)
//
// Header lines, one setting a line ('#' starts a comment line):
//   call EXPORT          the export to call: CreatePCLOrvixFaxInfo,
//                        CreatePSOrvixFaxInfo, PCLOrvixFaxCall,
//                        PSOrvixFaxCall, PCLOrvixFaxCallEx, PSOrvixFaxCallEx,
//                        OrvixFaxBookCall, EditNumberDlgProc; more call
//                        lines make more calls, one after the other, in
//                        one process (the script goes on through them)
//   clock YYYY-MM-DD HH:MM:SS   the moment the ticket is written
//   book FILE            e2e/scenarios/data/FILE is the address book
//                        (OrvixFax.adb) in the system directory at the start
//   book-unreadable      the book's place is taken by a directory: a book
//                        that is there but cannot be read (it must still be
//                        a directory afterwards, never saved over)
//   settings FILE        likewise the settings file (orvixfax.ini)
//   user-book FILE       the user's own copy of the book, in the folder
//                        "OrvixFax" of the user's application-data folder
//   user-settings FILE   likewise the user's own settings file
//   system-directory unwritable   the system directory refuses the user:
//                        no new file, no move or removal there (under Wine
//                        the host runs as a user without the right to write
//                        it, see e2e/standard_user_scenario.sh)
//   exporter PLACE       where the exporter library "Abexpw32.dll" lies:
//                        none, system (the system directory) or
//                        current-directory (only there)
//   exporter-book FILE   what the exporter writes (data/FILE); without this
//                        line it writes an empty file
//   record null|preset   the record given to a ...CallEx export: none, or
//                        one with status 0, bytes 6 and 7 set to AB CD and
//                        room for 200 recipients
//   number MODE "NUMBER" "DETAILS"  for EditNumberDlgProc: the record shown
//                        (MODE new or edit)
//   script               the rest of the file is the user's script, in the
//                        scripted front end's format
//
// The outcome (see ScenarioOutcome) is compared, file by file, with
// e2e/scenarios/expected/NAME/.
#ifndef ORVIXFAX_E2E_SCENARIO_H
#define ORVIXFAX_E2E_SCENARIO_H

#include "orvixfax.h"

#include <map>
#include <string>
#include <vector>

namespace scenario {

struct Clock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct Scenario {
    std::string name;
    std::string call;                // the first call
    std::vector<std::string> calls;  // all of them, in order
    bool hasClock = false;
    Clock clock;
    std::string book;          // data file name, empty for none
    bool bookUnreadable = false;
    std::string settings;      // likewise
    std::string userBook;      // the user's own copies, likewise
    std::string userSettings;
    bool systemDirectoryUnwritable = false;
    std::string exporter = "none";
    std::string exporterBook;  // data file name, empty: writes an empty file
    std::string record = "null";
    std::string numberMode = "new";
    std::string number, numberDetails;
    std::string script;        // the script text, with its own line numbers
    int scriptFirstLine = 0;   // line of the scenario file where it starts
};

// Reads a scenario; on a bad line returns false with `error` naming it.
bool ParseScenario(const std::string &text, const std::string &name, Scenario &out, std::string &error);
bool LoadScenario(const std::string &path, Scenario &out, std::string &error);

// Every export a scenario may call.
const std::vector<std::string> &KnownCalls();

// What a run leaves behind, as named files:
//   result.txt    what the call returned (and the record it filled)
//   messages.txt  the message boxes shown, "caption | text" a line
//   exporter.txt  the exporter's loads and calls
//   ticket.bin    the ticket bytes (only when there is a ticket)
//   OrvixFax.adb, orvixfax.ini   the files in the system directory
//                 afterwards (only those present)
//   appdata-OrvixFax.adb, appdata-orvixfax.ini   the user's own copies in
//                 the application-data folder afterwards (only those present)
//   errors.txt    script failures (only when there are any)
using ScenarioOutcome = std::map<std::string, std::string>;

void WriteOutcome(const ScenarioOutcome &outcome, const std::string &directory);
// The differences between an outcome and the expected directory, one
// message each; empty when they agree. A missing expected directory is a
// difference too.
std::vector<std::string> CompareOutcome(const ScenarioOutcome &outcome, const std::string &expectedDirectory);

std::string ReadFile(const std::string &path, bool *found = nullptr);

// The two files of the module, by the names they have in both places.
extern const char *const kModuleFiles[2];
// A path the exporter was given, in words both runners write: the system
// directory as %SYSTEM%, the user's application-data folder as %APPDATA%
// (compared without regard to case, as Windows compares paths).
std::string ShownExportPath(const std::string &path, const std::string &systemDir, const std::string &appDataDir);

// Text forms for result.txt, the same on both runners.
std::string QuoteBytes(const char *text, size_t size);  // "..." with \xHH for bytes outside 32..126
std::string QuoteField(const char *field, size_t capacity);  // up to the terminator
// Every field of a job record, a line each; the recipients pointer only as
// null or not, slots up to the count.
std::string DescribeFaxInfo(const FaxInfo *info);

}  // namespace scenario

#endif
