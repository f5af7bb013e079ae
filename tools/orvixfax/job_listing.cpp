#include "orvixfax/job_listing.h"

#include "orvixfax/cli_support.h"

std::string JobListing(const FaxInfo &job, const CodePage &codePage) {
    auto shown = [&](const char *text) { return Printable(codePage.ToUtf8(text)); };
    std::string out = "Recipients: " + std::to_string(job.recipientCount) + "\n";
    for (int32_t i = 0; i < job.recipientCount; ++i) {
        const RecipientEntry &entry = job.recipients[i];
        out += "  " + shown(entry.name) + "\t" + shown(entry.faxNumber);
        if (entry.company[0] != '\0') out += "\t" + shown(entry.company);
        out += "\n";
    }
    out += std::string("Resolution: ") + (job.resolution == 0 ? "Ultrafine" : "Fine") + "\n";
    if (job.coverSheet == 0) return out + "Cover sheet: none\n";
    out += "Cover sheet:\n";
    auto field = [&](const char *label, const char *text) {
        if (text[0] != '\0') out += std::string("  ") + label + shown(text) + "\n";
    };
    // Several names are each led by a tab.
    std::string names = job.recipientNames;
    if (!names.empty() && names[0] == '\t') names.erase(0, 1);
    for (size_t tab = names.find('\t'); tab != std::string::npos; tab = names.find('\t'))
        names.replace(tab, 1, ", ");
    field("recipient names:   ", names.c_str());
    field("recipient number:  ", job.recipientFaxNumber);
    field("recipient company: ", job.recipientCompany);
    out += std::string("  shows the recipient's name: ") + (job.includeRecipName ? "yes" : "no") +
           ", number: " + (job.includeRecipNumber ? "yes" : "no") + ", company: " +
           (job.includeRecipCompany ? "yes" : "no") + "\n";
    field("sender name:       ", job.senderName);
    field("sender fax:        ", job.senderFaxNumber);
    field("sender business:   ", job.senderBusinessNumber);
    field("sender home:       ", job.senderHomeNumber);
    int last = -1;
    for (int line = 0; line < 10; ++line)
        if (job.noteLines[line][0] != '\0') last = line;
    if (last >= 0) out += "  note:\n";
    for (int line = 0; line <= last; ++line) out += "    " + shown(job.noteLines[line]) + "\n";
    return out;
}
