#include "orvixfax/fax_plan.h"

#include <algorithm>

#include "addrbook/display_lines.h"
#include "faxdlg/recipient_list.h"
#include "orvixfax/book_access.h"
#include "orvixfax/book_lookup.h"
#include "script/script.h"

namespace {

// The cover page dialog takes at most this many characters of each
// sender detail.
const size_t kSenderTextLimit = 40;
// At most this many candidates are listed for a WHO.
const size_t kCandidateLimit = 12;

bool Fail(FaxPlanError &error, const std::string &who, const std::string &reason,
          std::vector<std::string> candidates = {}) {
    error.who = who;
    error.reason = reason;
    error.candidates = std::move(candidates);
    return false;
}

// A fax number as people type one: digits, with blanks and + - ( ) / .
bool IsBareNumber(const std::string &text) {
    if (text.find_first_of("0123456789") == std::string::npos) return false;
    return text.find_first_not_of("0123456789 +-()/.") == std::string::npos;
}

std::string Trimmed(const std::string &text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The line of the fax dialog's recipient list that shows an item.
std::string RecipientLine(const BookItem &item) {
    char line[512];
    if (item.kind == BookItem::Kind::Group)
        FormatGroupLine(item.group, line, sizeof line);
    else
        FormatRecipientNumberLine(item.person, item.number, line, sizeof line);
    return line;
}

int MemberCount(const GroupRecord *group) {
    int count = 0;
    for (const MemberLink *link = group->members->next; link; link = link->next) ++count;
    return count;
}

std::vector<std::string> Described(const CodePage &codePage, const std::vector<BookItem> &items) {
    std::vector<std::string> lines;
    for (const BookItem &item : items) {
        if (lines.size() == kCandidateLimit) {
            lines.push_back("... and " + std::to_string(items.size() - kCandidateLimit) + " more");
            break;
        }
        std::string details = WhoDetails(codePage, item);
        lines.push_back(WhoText(codePage, item) + (details.empty() ? "" : "  (" + details + ")"));
    }
    return lines;
}

// A text of the choices in the code page; false with the error named.
bool InCodePage(const CodePage &codePage, const std::string &who, const std::string &utf8, std::string &bytes,
                FaxPlanError &error) {
    TextFault fault;
    if (codePage.FromUtf8(utf8, bytes, fault)) return true;
    return Fail(error, who, UnmappableReason(fault, codePage.Number()));
}

bool WithinLimit(const std::string &who, const std::string &bytes, size_t limit, FaxPlanError &error) {
    if (bytes.size() <= limit) return true;
    return Fail(error, who, "is longer than the dialog's limit of " + std::to_string(limit) + " characters");
}

class ScriptWriter {
public:
    void Line(const std::string &line) { script_ += indent_ + line + "\n"; }
    void Action(const std::string &verb, const char *control, const std::string &text) {
        Line(verb + " " + control + " " + script::Quote(text));
    }
    void Indent(bool in) { indent_ = in ? "  " : ""; }
    const std::string &Text() const { return script_; }

private:
    std::string script_;
    std::string indent_;
};

struct Sender {
    const char *option;
    const std::optional<std::string> *text;
    const char *check;
    const char *edit;
};

}  // namespace

std::string FaxPlanError::Message() const {
    std::string message = who.empty() ? reason : who + ": " + reason;
    for (const std::string &candidate : candidates) message += "\n  " + candidate;
    return message;
}

namespace {

// The dialog's new-recipient mode: the bare number, typed with its name.
bool PlanNewRecipient(const FaxChoices &choices, const std::string &bare, const CodePage &codePage,
                      ScriptWriter &script, FaxPlan &plan, FaxPlanError &error) {
    const std::string named = "--to \"" + bare + "\"";
    if (choices.to.size() > 1)
        return Fail(error, named,
                    "a bare fax number is the dialog's one new recipient and goes alone; put the other recipients "
                    "in the address book, or send them a job of their own");
    std::string number, name;
    if (!InCodePage(codePage, named, bare, number, error) ||
        !WithinLimit(named, number, NEW_RECIPIENT_NUMBER_LIMIT, error) ||
        !InCodePage(codePage, "--name", choices.name, name, error) ||
        !WithinLimit("--name", name, NEW_RECIPIENT_NAME_LIMIT, error))
        return false;
    script.Line("check IDC_FAX_NEW_RECIPIENT");
    if (!name.empty()) script.Action("type", "IDC_FAX_NEW_NAME", name);
    script.Action("type", "IDC_FAX_NEW_NUMBER", number);
    plan.recipients.push_back(bare + (choices.name.empty() ? "" : " (" + choices.name + ")"));
    return true;
}

// The dialog's list mode: each WHO one line of the recipient list.
bool PlanListRecipients(const FaxChoices &choices, WorkingContext *book, const CodePage &codePage,
                        ScriptWriter &script, FaxPlan &plan, FaxPlanError &error) {
    if (!choices.name.empty())
        return Fail(error, "--name", "names the new recipient of a bare fax number, and --to gives none");
    // Every line of the dialog's list, to tell lines of the same text apart.
    std::vector<std::string> allLines;
    for (const BookItem &item : FindContaining(book, codePage, "", WhoMeans::Recipients))
        allLines.push_back(RecipientLine(item));
    script.Line("uncheck IDC_FAX_NEW_RECIPIENT");
    std::vector<std::string> chosen;
    int recipients = 0;
    for (const std::string &whoUtf8 : choices.to) {
        const std::string named = "--to \"" + whoUtf8 + "\"";
        std::string who;
        if (!InCodePage(codePage, named, whoUtf8, who, error)) return false;
        if (Trimmed(who).empty()) return Fail(error, named, "names no one");
        std::vector<BookItem> found = FindWho(book, codePage, who, WhoMeans::Recipients);
        if (found.empty()) {
            std::vector<BookItem> containing = FindContaining(book, codePage, who, WhoMeans::Recipients);
            return Fail(error, named,
                        containing.empty() ? "matches nothing in the address book"
                                           : "matches nothing in the address book; these contain it:",
                        Described(codePage, containing));
        }
        // One line of the list, and one only the dialog could mean by its text.
        const std::string line = found.size() == 1 ? RecipientLine(found[0]) : "";
        if (found.size() > 1 || std::count(allLines.begin(), allLines.end(), line) > 1) {
            if (found.size() == 1) {
                found.clear();
                for (const BookItem &item : FindContaining(book, codePage, "", WhoMeans::Recipients))
                    if (RecipientLine(item) == line) found.push_back(item);
            }
            return Fail(error, named,
                        "matches " + std::to_string(found.size()) + " lines of the fax dialog's list; name one of them:",
                        Described(codePage, found));
        }
        // A line chosen twice is the same choice: a second click would take it back.
        if (std::find(chosen.begin(), chosen.end(), line) != chosen.end()) continue;
        chosen.push_back(line);
        recipients += found[0].kind == BookItem::Kind::Group ? MemberCount(found[0].group) : 1;
        if (recipients > FAX_MAX_RECIPIENTS)
            return Fail(error, named,
                        "brings the job to " + std::to_string(recipients) +
                            " recipients, and the fax dialog takes at most " + std::to_string(FAX_MAX_RECIPIENTS));
        script.Action("select", "IDC_FAX_RECIPIENTS", line);
        plan.recipients.push_back(WhoText(codePage, found[0]));
    }
    return true;
}

// The cover sheet: its details and note are edited in the cover page
// dialog, which opens only while "Use Cover Sheet" is checked.
bool PlanCoverSheet(const FaxChoices &choices, const CodePage &codePage, ScriptWriter &script, FaxPlanError &error) {
    const Sender senders[] = {
        {"--sender-name", &choices.senderName, "IDC_COVER_SENDER_NAME", "IDC_COVER_NAME"},
        {"--sender-fax", &choices.senderFax, "IDC_COVER_SENDER_FAX", "IDC_COVER_FAX"},
        {"--sender-business", &choices.senderBusiness, "IDC_COVER_SENDER_BUSINESS", "IDC_COVER_BUSINESS"},
        {"--sender-home", &choices.senderHome, "IDC_COVER_SENDER_HOME", "IDC_COVER_HOME"},
    };
    bool coverPage = choices.note.has_value();
    for (const Sender &sender : senders) coverPage = coverPage || sender.text->has_value();
    if (coverPage) {
        script.Line("check IDC_FAX_USE_COVER");
        script.Line("click IDC_FAX_EDIT_COVER");
        script.Indent(true);
        script.Line("dialog \"Cover Page\"");
        for (const Sender &sender : senders) {
            if (!sender.text->has_value()) continue;
            std::string text;
            if (!InCodePage(codePage, sender.option, **sender.text, text, error) ||
                !WithinLimit(sender.option, text, kSenderTextLimit, error))
                return false;
            script.Line(std::string(text.empty() ? "uncheck " : "check ") + sender.check);
            script.Line(std::string("clear ") + sender.edit);
            if (!text.empty()) script.Action("type", sender.edit, text);
        }
        if (choices.note) {
            std::string note;
            if (!InCodePage(codePage, "--note", *choices.note, note, error)) return false;
            // Enter breaks a line; a CR LF pair is one break.
            note.erase(std::remove(note.begin(), note.end(), '\r'), note.end());
            if (!note.empty()) script.Action("type", "IDC_COVER_NOTE", note);
        }
        script.Line("click IDOK");
        script.Indent(false);
    }
    if (choices.cover) script.Line(std::string(*choices.cover ? "check" : "uncheck") + " IDC_FAX_USE_COVER");
    return true;
}

}  // namespace

bool PlanFaxJob(const std::string &bookDirectory, const FaxChoices &choices, const CodePage &codePage, FaxPlan &plan,
                FaxPlanError &error) {
    plan = FaxPlan{};
    if (choices.to.empty()) return Fail(error, "--to", "no recipient: name at least one");
    std::string loadError;
    BookContext book = LoadBook(BookPath(bookDirectory), loadError);
    if (!book) return Fail(error, "", loadError);

    ScriptWriter script;
    script.Line("dialog \"Fax Document\"");
    std::string bare;
    for (const std::string &who : choices.to)
        if (bare.empty() && IsBareNumber(Trimmed(who))) bare = Trimmed(who);
    const bool recipients = !bare.empty() ? PlanNewRecipient(choices, bare, codePage, script, plan, error)
                                          : PlanListRecipients(choices, book.get(), codePage, script, plan, error);
    if (!recipients || !PlanCoverSheet(choices, codePage, script, error)) return false;
    script.Line("click IDOK");
    plan.script = script.Text();
    plan.fine = choices.fine;
    return true;
}
