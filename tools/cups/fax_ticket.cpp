#include "cups/fax_ticket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "addrbook/address_book_file.h"
#include "faxdlg/fax_settings.h"
#include "orvixfax.h"
#include "orvixfax/book_access.h"
#include "orvixfax/book_lookup.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/code_page.h"
#include "orvixfax/fax_plan.h"
#include "orvixfax/platform.h"
#include "orvixfax/settings_store.h"

namespace {

namespace fs = std::filesystem;

const char kSettingsFileName[] = "orvixfax.ini";

// The user's book and settings, copied where the dialog may change them:
// a fax job leaves the user's own files as they were.
class ScratchBook {
public:
    ~ScratchBook() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    bool Make(const std::string &parent, const std::string &from, FaxRefusal &refusal) {
        std::string pattern = parent + "/orvixfax-job-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            refusal.reason = "no working directory in " + parent + ": " + std::strerror(errno);
            return false;
        }
        path_ = pattern;
        for (const char *name : {ADDRESS_BOOK_FILE_NAME, kSettingsFileName}) {
            const std::string file = from + "/" + name;
            struct stat status{};
            if (stat(file.c_str(), &status) != 0 && errno == ENOENT) continue;
            std::string bytes, error;
            if (!ReadWholeFile(file, bytes, error) || !WriteOutput(path_ + "/" + name, bytes)) {
                refusal.reason = error.empty() ? "the job's copy of " + file + " cannot be made" : error;
                return false;
            }
        }
        return true;
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};

// The plan names the command line's options; the job has the queue's.
std::string QueueOption(const std::string &planned) {
    const struct {
        const char *command, *queue;
    } names[] = {
        {"--to", "orvixfax-to"},
        {"--name", "orvixfax-name"},
        {"--note", "orvixfax-note"},
        {"--sender-name", "orvixfax-sender-name"},
        {"--sender-fax", "orvixfax-sender-fax"},
        {"--sender-business", "orvixfax-sender-business"},
        {"--sender-home", "orvixfax-sender-home"},
    };
    for (const auto &name : names) {
        size_t length = std::strlen(name.command);
        if (planned.compare(0, length, name.command) == 0 && (planned.size() == length || planned[length] == ' '))
            return name.queue + planned.substr(length);
    }
    return planned;
}

// The WHO of a refused --to "WHO".
bool RecipientNamed(const std::string &planned, std::string &who) {
    const std::string opening = "--to \"";
    if (planned.size() <= opening.size() || planned.compare(0, opening.size(), opening) != 0 || planned.back() != '"')
        return false;
    who = planned.substr(opening.size(), planned.size() - opening.size() - 1);
    return true;
}

// A person the dialog's list does not show because none of the person's
// numbers is there to show.
bool NamesPersonWithoutNumber(const std::string &directory, const CodePage &codePage, const std::string &whoUtf8) {
    std::string error, who;
    TextFault fault;
    BookContext book = LoadBook(BookPath(directory), error);
    if (!book || !codePage.FromUtf8(whoUtf8, who, fault)) return false;
    for (const BookItem &item : FindWho(book.get(), codePage, who, WhoMeans::Anything)) {
        if (item.kind == BookItem::Kind::Person && item.person->numbers->next == nullptr) return true;
    }
    return false;
}

// The sender details as the dialog is to show them: a detail the job
// shows or hides becomes a text for the cover page (the saved one when the
// job gives none; empty to hide it).
void ChooseSenders(const FaxJobOptions &options, const FaxSettings &saved, const CodePage &codePage,
                   FaxChoices &choices) {
    const struct {
        const std::optional<std::string> &text;
        const std::optional<bool> &shown;
        const char *savedText;
        std::optional<std::string> &into;
    } senders[] = {
        {options.senderName, options.showSenderName, saved.senderName, choices.senderName},
        {options.senderFax, options.showSenderFax, saved.senderFaxNumber, choices.senderFax},
        {options.senderBusiness, options.showSenderBusiness, saved.senderBusinessNumber, choices.senderBusiness},
        {options.senderHome, options.showSenderHome, saved.senderHomeNumber, choices.senderHome},
    };
    for (const auto &sender : senders) {
        if (sender.shown == false) {
            sender.into = std::string();
        } else if (sender.text) {
            sender.into = sender.text;
        } else if (sender.shown == true) {
            sender.into = codePage.ToUtf8(sender.savedText);
        }
    }
}

}  // namespace

bool MakeFaxTicket(const FaxJobOptions &options, const std::string &bookDirectory, int codePageNumber,
                   const std::string &scratchParent, std::string &ticket, FaxRefusal &refusal) {
    CodePage codePage;
    std::string error;
    if (!codePage.Open(codePageNumber, error)) {
        refusal.reason = "the configuration's CodePage: " + error;
        return false;
    }
    if (options.to.empty()) {
        refusal = {"orvixfax-to", "no recipient: the job names none (-o orvixfax-to=\"'[Group];Name'\")"};
        return false;
    }
    ScratchBook scratch;
    if (!scratch.Make(scratchParent, bookDirectory, refusal)) return false;
    if (!UseDataDirectory(scratch.Path(), true, error)) {
        refusal.reason = error;
        return false;
    }
    FaxSettings saved{};
    LoadFaxSettings(&saved);

    FaxChoices choices;
    choices.to = options.to;
    choices.name = options.name;
    choices.cover = options.cover;
    choices.note = options.note;
    choices.fine = options.fine;
    ChooseSenders(options, saved, codePage, choices);

    FaxPlan plan;
    FaxPlanError refused;
    if (!PlanFaxJob(scratch.Path(), choices, codePage, plan, refused)) {
        refusal.option = QueueOption(refused.who);
        refusal.reason = refused.reason;
        std::string who;
        if (refused.candidates.empty() && RecipientNamed(refused.who, who) &&
            NamesPersonWithoutNumber(scratch.Path(), codePage, who))
            refusal.reason = "names a person who has no fax number";
        for (size_t i = 0; i < refused.candidates.size(); ++i)
            refusal.reason += (i == 0 ? " " : "; ") + refused.candidates[i];
        return false;
    }

    // What the dialog takes from the settings when it opens.
    const struct {
        const char *key;
        const std::optional<bool> &value;
    } stored[] = {
        {"RecipNameTrue", options.showRecipName},
        {"RecipNumberTrue", options.showRecipNumber},
        {"RecipCompanyTrue", options.showRecipCompany},
    };
    for (const auto &setting : stored) {
        if (setting.value && !StoreSetting(setting.key, *setting.value ? "1" : "0", error)) {
            refusal.reason = error;
            return false;
        }
    }
    if (plan.fine && !StoreResolution(*plan.fine, error)) {
        refusal.reason = error;
        return false;
    }

    DialogUser user;
    if (!user.PrepareActions(plan.script, "the job's fax options", error)) {
        refusal.reason = error;
        return false;
    }
    char *text = nullptr;
    uint32_t length = 0;
    user.Play([&] {
        if (options.ticket == TicketKind::Pjl) {
            CreatePCLOrvixFaxInfo(&text, &length);
        } else {
            CreatePSOrvixFaxInfo(&text, &length);
        }
    });
    std::unique_ptr<char, void (*)(char *)> release(text, FreeTicket);
    if (!user.Finish(error)) {
        refusal.reason = "the fax dialog did not take the job's options: " + error;
        return false;
    }
    if (text == nullptr) {
        refusal.reason = "the fax dialog gave no ticket";
        return false;
    }
    ticket.assign(text, length);
    return true;
}
