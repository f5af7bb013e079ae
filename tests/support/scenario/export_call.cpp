#include "support/scenario/export_call.h"

#include "addrbook/records.h"

#include <cstring>
#include <memory>
#include <sstream>

namespace scenario {

namespace {

// A ticket block must be what the drivers are promised: moveable global
// memory, locked, found again through its handle, at least `length` long,
// and freed with GlobalUnlock and GlobalFree.
std::string TakeTicket(char *text, uint32_t length, ScenarioOutcome &outcome) {
    std::ostringstream out;
    out << "text: " << (text ? "block" : "null") << "\n"
        << "length: " << length << "\n";
    if (text == nullptr) return out.str();
    HGLOBAL handle = GlobalHandle(text);
    out << "handle: " << (handle ? "found" : "none") << "\n";
    if (handle == nullptr) return out.str();
    size_t size = GlobalSize(handle);
    out << "block holds the text: " << (size >= length ? "yes" : "no") << "\n";
    if (size < length) return out.str();
    outcome["ticket.bin"] = std::string(text, length);
    out << "zero after the text: " << (size > length ? (text[length] == 0 ? "yes" : "no") : "block full") << "\n";
    GlobalUnlock(handle);
    out << "freed: " << (GlobalFree(handle) == nullptr ? "yes" : "no") << "\n";
    return out.str();
}

}  // namespace

namespace {

std::string RunOneExport(const std::string &call, const Scenario &scenario, const Exports &exports,
                         ScenarioOutcome &outcome) {
    std::ostringstream result;
    if (call == "CreatePCLOrvixFaxInfo" || call == "CreatePSOrvixFaxInfo") {
        char *text = reinterpret_cast<char *>(1);  // the export must overwrite both
        uint32_t length = 0xFFFFFFFFu;
        (call == "CreatePCLOrvixFaxInfo" ? exports.CreatePCLOrvixFaxInfo : exports.CreatePSOrvixFaxInfo)(&text,
                                                                                                       &length);
        result << TakeTicket(text, length, outcome);
    } else if (call == "PCLOrvixFaxCall" || call == "PSOrvixFaxCall") {
        uint32_t r = (call == "PCLOrvixFaxCall" ? exports.PCLOrvixFaxCall : exports.PSOrvixFaxCall)(0x12345678u,
                                                                                                   0x9ABCDEF0u);
        result << "returned: " << r << "\n";
    } else if (call == "PCLOrvixFaxCallEx" || call == "PSOrvixFaxCallEx") {
        auto fn = call == "PCLOrvixFaxCallEx" ? exports.PCLOrvixFaxCallEx : exports.PSOrvixFaxCallEx;
        if (scenario.record == "null") {
            result << "returned: " << fn(nullptr) << "\n" << DescribeFaxInfo(nullptr);
        } else {
            // A driver's own record: plain memory, its own slot array, and
            // bytes 6 and 7 holding the driver's data.
            auto record = std::make_unique<FaxInfo>();
            auto slots = std::make_unique<RecipientEntry[]>(FAX_MAX_RECIPIENTS);
            std::memset(record.get(), 0, sizeof(FaxInfo));
            std::memset(slots.get(), 0, sizeof(RecipientEntry) * FAX_MAX_RECIPIENTS);
            record->recipients = slots.get();
            record->status = 0;
            record->unused6[0] = 0xAB;
            record->unused6[1] = 0xCD;
            result << "returned: " << fn(record.get()) << "\n";
            result << "recipients kept: " << (record->recipients == slots.get() ? "yes" : "no") << "\n";
            record->recipients = slots.get();
            result << DescribeFaxInfo(record.get());
        }
    } else if (call == "OrvixFaxBookCall") {
        result << "returned: " << exports.OrvixFaxBookCall(nullptr) << "\n";
    } else if (call == "EditNumberDlgProc") {
        // The host runs the module's template with the exported procedure
        // itself, as the drivers' own dialogs may.
        NumberRecord number;
        std::memset(&number, 0, sizeof number);
        std::strncpy(number.number, scenario.number.c_str(), sizeof number.number - 1);
        std::strncpy(number.details, scenario.numberDetails.c_str(), sizeof number.details - 1);
        NumberEditorParams params{scenario.numberMode == "edit" ? EDITOR_EDIT : EDITOR_NEW, &number};
        INT_PTR r = DialogBoxParamA(exports.instance, "IDD_EDIT_NUMBER", nullptr, exports.EditNumberDlgProc,
                                    reinterpret_cast<LPARAM>(&params));
        result << "dialog result: " << static_cast<long long>(r) << "\n"
               << "number: " << QuoteField(number.number, sizeof number.number) << "\n"
               << "details: " << QuoteField(number.details, sizeof number.details) << "\n";
    }
    return result.str();
}

}  // namespace

void RunExport(const Scenario &scenario, const Exports &exports, ScenarioOutcome &outcome) {
    std::string result;
    for (size_t i = 0; i < scenario.calls.size(); ++i) {
        if (i > 0) result += "-- then " + scenario.calls[i] + "\n";
        result += RunOneExport(scenario.calls[i], scenario, exports, outcome);
    }
    outcome["result.txt"] = result;
}

}  // namespace scenario
