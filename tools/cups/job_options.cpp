#include "cups/job_options.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <cstring>
#include <memory>
#include <strings.h>

namespace {

struct ParsedOptions {
    explicit ParsedOptions(const std::string &text) { count = cupsParseOptions(text.c_str(), 0, &options); }
    ~ParsedOptions() { cupsFreeOptions(count, options); }
    ParsedOptions(const ParsedOptions &) = delete;
    ParsedOptions &operator=(const ParsedOptions &) = delete;
    int count = 0;
    cups_option_t *options = nullptr;
};

// A text option's value: what the job gave, less the "Custom." that print
// dialogs put before a typed text; the PPD's "None" choice is no text.
std::optional<std::string> TextOption(const char *name, int count, cups_option_t *given) {
    const char *value = cupsGetOption(name, count, given);
    if (value == nullptr) return std::nullopt;
    std::string text = value;
    if (text.compare(0, 7, "Custom.") == 0) text.erase(0, 7);
    if (text == "None") return std::nullopt;
    return text;
}

// The job's choice, else the queue's default.
std::string Choice(const char *name, int count, cups_option_t *given, ppd_file_t *ppd) {
    if (const char *value = cupsGetOption(name, count, given)) return value;
    ppd_option_t *option = ppdFindOption(ppd, name);
    return option != nullptr ? option->defchoice : "";
}

bool ReadSwitch(const char *name, const std::string &value, std::optional<bool> &into, std::string &error) {
    for (const char *on : {"True", "yes", "on", "1"}) {
        if (strcasecmp(value.c_str(), on) == 0) {
            into = true;
            return true;
        }
    }
    for (const char *off : {"False", "no", "off", "0"}) {
        if (strcasecmp(value.c_str(), off) == 0) {
            into = false;
            return true;
        }
    }
    if (value.empty() || strcasecmp(value.c_str(), "Saved") == 0) {
        into.reset();
        return true;
    }
    error = std::string(name) + ": \"" + value + "\" is not one of Saved, True and False";
    return false;
}

std::vector<std::string> Recipients(const std::string &list) {
    std::vector<std::string> whos;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string who = list.substr(start, end - start);
        size_t first = who.find_first_not_of(" \t");
        if (first != std::string::npos) whos.push_back(who.substr(first, who.find_last_not_of(" \t") - first + 1));
        start = end + 1;
    }
    return whos;
}

}  // namespace

bool ReadFaxJobOptions(const std::string &ppdPath, const std::string &jobOptions, FaxJobOptions &options,
                       std::string &error) {
    std::unique_ptr<ppd_file_t, void (*)(ppd_file_t *)> ppd(ppdOpenFile(ppdPath.c_str()), ppdClose);
    if (!ppd) {
        int line = 0;
        ppd_status_t status = ppdLastError(&line);
        error = ppdPath + ": the queue's PPD cannot be read: " + ppdErrorString(status) + " (line " +
                std::to_string(line) + ")";
        return false;
    }
    ppd_attr_t *kind = ppdFindAttr(ppd.get(), "OrvixFaxTicket", nullptr);
    if (kind == nullptr || kind->value == nullptr ||
        (strcmp(kind->value, "PJL") != 0 && strcmp(kind->value, "PostScript") != 0)) {
        error = ppdPath + ": not an OrvixFax fax queue's PPD (no *OrvixFaxTicket: PJL or PostScript)";
        return false;
    }
    options.ticket = strcmp(kind->value, "PJL") == 0 ? TicketKind::Pjl : TicketKind::PostScript;
    ppd_option_t *book = ppdFindOption(ppd.get(), "orvixfax-book");
    options.sharedBook = book != nullptr && strcmp(book->defchoice, "Shared") == 0;

    ParsedOptions parsed(jobOptions);
    int count = parsed.count;
    cups_option_t *given = parsed.options;

    if (auto to = TextOption("orvixfax-to", count, given)) options.to = Recipients(*to);
    options.name = TextOption("orvixfax-name", count, given).value_or("");
    options.note = TextOption("orvixfax-note", count, given);
    options.senderName = TextOption("orvixfax-sender-name", count, given);
    options.senderFax = TextOption("orvixfax-sender-fax", count, given);
    options.senderBusiness = TextOption("orvixfax-sender-business", count, given);
    options.senderHome = TextOption("orvixfax-sender-home", count, given);

    const struct {
        const char *name;
        std::optional<bool> FaxJobOptions::*field;
    } switches[] = {
        {"orvixfax-cover", &FaxJobOptions::cover},
        {"orvixfax-show-recip-name", &FaxJobOptions::showRecipName},
        {"orvixfax-show-recip-number", &FaxJobOptions::showRecipNumber},
        {"orvixfax-show-recip-company", &FaxJobOptions::showRecipCompany},
        {"orvixfax-show-sender-name", &FaxJobOptions::showSenderName},
        {"orvixfax-show-sender-fax", &FaxJobOptions::showSenderFax},
        {"orvixfax-show-sender-business", &FaxJobOptions::showSenderBusiness},
        {"orvixfax-show-sender-home", &FaxJobOptions::showSenderHome},
    };
    for (const auto &entry : switches) {
        if (!ReadSwitch(entry.name, Choice(entry.name, count, given, ppd.get()), options.*entry.field, error)) {
            return false;
        }
    }
    std::string resolution = Choice("orvixfax-resolution", count, given, ppd.get());
    if (strcasecmp(resolution.c_str(), "Fine") == 0) {
        options.fine = true;
    } else if (strcasecmp(resolution.c_str(), "Ultrafine") == 0) {
        options.fine = false;
    } else {
        error = "orvixfax-resolution: \"" + resolution + "\" is not Fine or Ultrafine";
        return false;
    }
    return true;
}
