// orvixfax fax: a whole fax job through the module's exports, the user
// played by a script, by the actions the --to options stand for, by a
// person at the terminal, or on Windows by the person at the desk.
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "addrbook/address_book_file.h"
#include "entry/fax_info.h"
#include "faxdlg/fax_settings.h"
#include "orvixfax.h"
#include "orvixfax/book_access.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/fax_plan.h"
#include "orvixfax/job_listing.h"
#include "orvixfax/platform.h"
#include "orvixfax/settings_store.h"
#include "orvixfax/verbs.h"
#include "ticket/ticket_clock.h"

namespace {

namespace fs = std::filesystem;

struct FaxOptions {
    bool pcl = false;
    bool ps = false;
    std::string script;
    std::string at;
    std::string out;
    bool dryRun = false;
    bool noSave = false;
    bool fine = false;
    bool ultrafine = false;
    bool cover = false;
    bool noCover = false;
    FaxChoices choices;
};

const char kVerb[] = "orvixfax fax: ";

// The settings file as it was, put back when the job must leave it so.
class SettingsSnapshot {
public:
    void Take() {
        char path[MAX_PATH];
        if (!GetFaxSettingsPath(path, sizeof path)) return;
        path_ = Shown(path);
        std::error_code failed;
        existed_ = fs::exists(path_, failed);
        std::string error;
        taken_ = !existed_ || ReadWholeFile(path_, bytes_, error);
    }
    // False when it could not be put back.
    bool Restore() const {
        if (!taken_) return path_.empty();
        if (!existed_) {
            std::error_code failed;
            fs::remove(path_, failed);
            return !failed;
        }
        return WriteOutput(path_, bytes_);
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
    std::string bytes_;
    bool existed_ = false;
    bool taken_ = false;
};

// A copy of the directory's book and settings, for a job that must write
// nothing where the user keeps them.
class ScratchCopy {
public:
    ~ScratchCopy() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    bool Make(const std::string &from, std::string &error) {
        std::error_code failed;
        fs::path base = fs::temp_directory_path(failed);
        for (int attempt = 0; !failed && attempt < 100; ++attempt) {
            fs::path candidate = base / ("orvixfax-dry-run-" + std::to_string(GetCurrentProcessId()) + "-" +
                                         std::to_string(attempt));
            if (fs::create_directory(candidate, failed)) {
                path_ = candidate.string();
                break;
            }
        }
        if (path_.empty()) {
            error = "no scratch directory for the dry run: " + (failed ? failed.message() : "every name is taken");
            return false;
        }
        for (const char *name : {ADDRESS_BOOK_FILE_NAME, "orvixfax.ini"}) {
            fs::path file = fs::path(from) / name;
            if (fs::exists(file, failed)) fs::copy_file(file, fs::path(path_) / name, failed);
            if (failed) {
                error = "the dry run cannot copy " + file.string() + ": " + failed.message();
                return false;
            }
        }
        return true;
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};

bool RunsWithoutScript(const FaxOptions &options) {
    const FaxChoices &c = options.choices;
    return !c.to.empty() || !c.name.empty() || c.note || c.senderName || c.senderFax || c.senderBusiness ||
           c.senderHome || options.fine || options.ultrafine || options.cover || options.noCover;
}

int RunFax(FaxOptions options, const CommonOptions &common) {
    std::tm moment{};
    if (!options.at.empty() && !ParseTicketMoment(options.at, moment)) {
        std::cerr << kVerb << "--at: \"" << options.at
                  << "\" is not a valid local time of the form YYYY-MM-DD HH:MM:SS\n";
        return 2;
    }
    const bool planned = RunsWithoutScript(options);
    if (planned && options.choices.to.empty()) {
        std::cerr << kVerb << "the job's choices go with --to WHO, which names its recipients\n";
        return 2;
    }
    if (planned && !options.script.empty()) {
        std::cerr << kVerb << "--to and the other choices make the job's actions themselves; give them or "
                              "--script, not both\n";
        return 2;
    }
    const char kActions[] = "the fax options (--to ...)";
    std::string error;
    if (planned && !DialogUser::TakesActions(kActions, error)) {
        std::cerr << kVerb << error << "\n";
        return 2;
    }
    if (options.fine || options.ultrafine) options.choices.fine = options.fine;
    if (options.cover || options.noCover) options.choices.cover = options.cover;
    CodePage codePage;
    if (!OpenCodePage(common, codePage, error)) {
        std::cerr << kVerb << error << "\n";
        return 2;
    }
    // Where the ticket goes is checked before anyone works the dialog.
    if (!options.dryRun && !CheckOutput(options.out, error)) {
        std::cerr << kVerb << "--out: the ticket cannot be written to " << error << "\n";
        return 2;
    }
    DataPlace place;
    if (!DataDirectory(common.dir, !options.dryRun, place, error) ||
        (!options.dryRun && !UseDataDirectory(place.directory, place.named, error))) {
        std::cerr << kVerb << error << "\n";
        return 2;
    }
    // "Edit Address Book" in the dialog can save the book: it is held as the
    // book commands hold it, from before the recipients are looked up to the
    // job's end. Where no lock can be made, no book can be saved either, and
    // the fax goes on without.
    BookLock lock;
    std::string lockError;
    char path[MAX_PATH];
    if (!options.dryRun && GetAddressBookPath(path, sizeof path)) lock.Acquire(path, lockError);
    DialogUser user;
    FaxPlan plan;
    if (planned) {
        FaxPlanError refused;
        if (!PlanFaxJob(place.directory, options.choices, codePage, plan, refused)) {
            std::cerr << kVerb << refused.Message() << "\n";
            return 2;
        }
        if (!user.PrepareActions(plan.script, kActions, error)) {
            std::cerr << kVerb << error << "\n";
            return 2;
        }
    } else if (!user.Prepare(options.script, codePage.Number(), error)) {
        std::cerr << kVerb << error << "\n";
        return 2;
    }
    // A dry run works on a copy, so that nothing where the files are is written.
    ScratchCopy scratch;
    if (options.dryRun) {
        if (!scratch.Make(place.directory, error)) {
            std::cerr << kVerb << error << "\n";
            return 1;
        }
        if (!UseDataDirectory(scratch.Path(), true, error)) {
            std::cerr << kVerb << "--dry-run: " << error << "\n";
            return 2;
        }
    }
    SettingsSnapshot before;
    before.Take();
    auto restore = [&] {
        if (before.Restore()) return true;
        std::cerr << kVerb << "the settings file " << before.Path() << " could not be put back as it was\n";
        return false;
    };
    if (plan.fine && !StoreResolution(*plan.fine, error)) {
        std::cerr << kVerb << error << "\n";
        restore();
        return 1;
    }

    SetTicketTime(options.at.empty() ? nullptr : &moment);
    char *text = nullptr;
    uint32_t length = 0;
    FaxInfo *record = nullptr;
    if (options.dryRun && !NewFaxInfo(&record)) {
        std::cerr << kVerb << "not enough memory for the job record\n";
        return 1;
    }
    std::unique_ptr<FaxInfo *, void (*)(FaxInfo **)> releaseRecord(&record, [](FaxInfo **info) { FreeFaxInfo(info); });
    user.Play([&] {
        if (options.dryRun) {
            if (options.pcl) PCLOrvixFaxCallEx(record);
            else PSOrvixFaxCallEx(record);
        } else if (options.pcl) {
            CreatePCLOrvixFaxInfo(&text, &length);
        } else {
            CreatePSOrvixFaxInfo(&text, &length);
        }
    });
    SetTicketTime(nullptr);
    std::unique_ptr<char, void (*)(char *)> ticket(text, FreeTicket);

    if (!user.Finish(error)) {
        std::cerr << kVerb << error << "\n";
        // A job that did not run through leaves no settings behind.
        restore();
        return 2;
    }
    if (options.noSave && !restore()) return 1;
    if (options.dryRun) {
        if (record->status == 0) {
            std::cerr << kVerb << "the user chose Print: the job prints normally and there is no fax\n";
            return 1;
        }
        std::cout << JobListing(*record, codePage);
        return 0;
    }
    if (text == nullptr) {
        std::cerr << kVerb << "the user chose Print: the job prints normally and there is no fax ticket\n";
        return 1;
    }
    if (WriteTicket(text, length, options.out)) return 0;
    std::cerr << kVerb << "cannot write the ticket to "
              << (options.out.empty() || options.out == "-" ? std::string("standard output") : options.out) << "\n";
    return 1;
}

}  // namespace

void AddFaxVerb(CLI::App &app, const Common &common, int &exitCode) {
    auto options = std::make_shared<FaxOptions>();
    CLI::App *verb = app.add_subcommand(
        "fax",
        "Run a whole fax job as a printer driver does: the \"Fax Document\" dialog over the address book "
        "(OrvixFax.adb) and the settings (orvixfax.ini) of the directory, then the ticket the driver gets. "
        "With --to, the options are the user's actions in the dialog; with --script, a script of actions "
        "is (see src/script/script.h); with neither, at a terminal, you work the dialog yourself.");
    verb->footer(
        "WHO is a group (\"[Sales Team]\" or \"Sales Team\"), a person (\"Ann Lee\", \"Lee, Ann\", or the "
        "company of a person without a name), one number of a person (\"Ann Lee:+49 30 5550 1234\"), or a "
        "bare fax number, the dialog's one new recipient (--name names it). Each WHO must name one line of the "
        "dialog's list; texts compare as they are, and ignoring case when nothing matches so.\n\n" +
        ExitStatusSection({{0, "the ticket was written (with --dry-run: the job was shown)"},
                           {1, "the user chose Print (no ticket), or the ticket or a file could not be written"},
                           {2, "bad option or WHO (the candidates are listed), or a script that cannot be read "
                               "or did not run through; nothing was saved then"}}));
    auto *pcl = verb->add_flag("--pcl", options->pcl, "the PCL driver's call: a PJL ticket");
    auto *ps = verb->add_flag("--ps", options->ps, "the PostScript driver's call: a PostScript ticket");
    pcl->excludes(ps);
    ps->excludes(pcl);
    AddCommonOptions(*verb, *common);
    // One value each time, as the option is given once for each recipient.
    verb->add_option("--to", options->choices.to, "a recipient (WHO, below); once for each")->allow_extra_args(false);
    verb->add_option("--name", options->choices.name, "the name of a bare fax number's recipient");
    auto *cover = verb->add_flag("--cover", options->cover, "send a cover sheet (\"Use Cover Sheet\")");
    auto *noCover = verb->add_flag("--no-cover", options->noCover, "send no cover sheet");
    cover->excludes(noCover);
    noCover->excludes(cover);
    verb->add_option("--note", options->choices.note, "the cover sheet's note (a line feed breaks a line)");
    verb->add_option("--sender-name", options->choices.senderName,
                     "the sender's name on the cover sheet (\"\": none); kept in the settings");
    verb->add_option("--sender-fax", options->choices.senderFax, "the sender's fax number on the cover sheet");
    verb->add_option("--sender-business", options->choices.senderBusiness,
                     "the sender's business number on the cover sheet");
    verb->add_option("--sender-home", options->choices.senderHome, "the sender's home number on the cover sheet");
    auto *fine = verb->add_flag("--fine", options->fine, "send in Fine resolution (kept in the settings)");
    auto *ultrafine = verb->add_flag("--ultrafine", options->ultrafine, "send in Ultrafine resolution");
    fine->excludes(ultrafine);
    ultrafine->excludes(fine);
    verb->add_flag("--dry-run", options->dryRun,
                   "show the recipients (name, number, company) and the cover sheet the job would send, "
                   "and write nothing");
    verb->add_flag("--no-save", options->noSave, "leave the settings file as it was (also with --script)");
    verb->add_option("--script", options->script,
                     "the user's actions, one a line (\"-\": standard input; without it and without --to, the "
                     "dialog comes up in the terminal when standard input and output are one, and the script is "
                     "read from standard input otherwise)");
    verb->add_option("--at", options->at,
                     "the local time for the cover sheet's date, \"YYYY-MM-DD HH:MM:SS\" (default: now)");
    verb->add_option("--out", options->out, "write the ticket to this file (default, and \"-\": standard output)");
    verb->callback([options, common, &exitCode] {
        if (!options->pcl && !options->ps) {
            std::cerr << kVerb << "choose the driver: --pcl or --ps\n";
            exitCode = 2;
            return;
        }
        exitCode = RunVerb("orvixfax fax", [&] { return RunFax(*options, *common); });
    });
}
