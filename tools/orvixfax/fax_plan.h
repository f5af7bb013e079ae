// A fax job chosen in words instead of clicks: the recipients as WHO texts
// (book_lookup.h) and the cover sheet's choices become the actions a user
// would take in the real "Fax Document" dialog, a script of the one script
// engine (script/script.h). Played through the dialog, they give the job,
// the ticket and the saved settings that the same clicks give.
//
// `orvixfax fax --to` plans its jobs here, and so may any other front of
// the module that takes its recipients from words, such as a print
// server's filter reading them from a job's options:
//
//   FaxPlan plan;
//   FaxPlanError error;
//   if (!PlanFaxJob(directory, choices, codePage, plan, error)) refuse(error.Message());
//   if (plan.fine && !StoreResolution(*plan.fine, why)) refuse(why);   // settings_store.h
//   play plan.script (portable::ScriptFrontEnd) around CreatePCLOrvixFaxInfo
//
// with the module pointed at `directory` (its system directory) and the
// book held under its lock (book_access.h) from the plan to the job's end.
#ifndef ORVIXFAX_TOOL_FAX_PLAN_H
#define ORVIXFAX_TOOL_FAX_PLAN_H

#include <optional>
#include <string>
#include <vector>

#include "orvixfax/code_page.h"

// Every text in UTF-8.
struct FaxChoices {
    std::vector<std::string> to;  // WHO texts: groups, persons, persons' numbers, or one bare fax number
    std::string name;             // the new recipient's name, for a bare number
    std::optional<bool> cover;    // "Use Cover Sheet" on or off; unset: as the settings left it
    std::optional<std::string> note;  // the cover note; a line feed breaks a line
    // The sender's details on the cover sheet; an empty text takes the
    // detail off the cover sheet. Unset: as the settings left them.
    std::optional<std::string> senderName, senderFax, senderBusiness, senderHome;
    std::optional<bool> fine;     // Fine or Ultrafine; unset: as the settings left it
};

struct FaxPlan {
    std::string script;        // the user's actions in the fax dialog, ending with "F&ax"
    std::optional<bool> fine;  // the resolution to store in the settings before the dialog opens (the
                               // dialog keeps it hidden: it comes from the settings)
    std::vector<std::string> recipients;  // what was chosen, as WHO texts (UTF-8)
};

struct FaxPlanError {
    std::string who;     // the WHO or the option at fault, UTF-8 (empty: the book or the job as a whole)
    std::string reason;  // why, in words
    std::vector<std::string> candidates;  // WHO texts that would do, each with its details
    // All of it as a message: a line, then the candidates one a line.
    std::string Message() const;
};

// Plans the job on the book of `bookDirectory` (its OrvixFax.adb; a missing
// book is an empty one) with the module's code page. False with `error`
// when a WHO matches nothing or more than one line of the dialog's list
// (the candidates listed), a text has no bytes in the code page or is
// longer than its field, the choices do not go together (a bare number
// with other recipients, --name without one), the recipients are more
// than the dialog takes, or the book cannot be read.
bool PlanFaxJob(const std::string &bookDirectory, const FaxChoices &choices, const CodePage &codePage, FaxPlan &plan,
                FaxPlanError &error);

#endif
