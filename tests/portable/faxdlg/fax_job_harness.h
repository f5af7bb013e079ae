// Running whole fax jobs through the module's exports with the user's hands
// on the dialogs, and the address book the scenarios share.
#ifndef ORVIXFAX_TESTS_FAX_JOB_HARNESS_H
#define ORVIXFAX_TESTS_FAX_JOB_HARNESS_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/locked_block.h"
#include "fax_test_support.h"
#include "orvixfax.h"

namespace faxtest {

// A driver's own record with room for every slot.
struct CallerRecord {
    CallerRecord() {
        std::memset(&info, 0, sizeof info);
        slots.assign(FAX_MAX_RECIPIENTS, RecipientEntry{});
        info.recipients = slots.data();
    }
    const RecipientEntry &Slot(int i) const { return slots.at(static_cast<size_t>(i)); }
    FaxInfo info;
    std::vector<RecipientEntry> slots;
};

// Everything a finished Create export handed back.
struct Ticket {
    bool made = false;
    std::string text;
    uint32_t length = 0;
};

class FaxJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        AttachModule();
        portable::ClearStringOverrides();
        portable::SetScreenSize(1024, 768);
    }
    void TearDown() override {
        portable::ClearStringOverrides();
        EXPECT_TRUE(hands.problems.empty()) << hands.problems.front();
    }

    void WriteBook(const std::string &book) { WriteFile(directory.File("OrvixFax.adb"), book); }
    void WriteIni(const std::string &body) {
        WriteFile(directory.File("orvixfax.ini"), "[User Fax Info]\r\n" + body);
    }
    std::map<std::string, std::string> Settings() { return ReadSettings(directory.Path()); }

    void RunEx(CallerRecord &record) { EXPECT_EQ(PCLOrvixFaxCallEx(&record.info), 1u); }
    Ticket RunPcl() { return Collect(true); }
    Ticket RunPs() { return Collect(false); }

    ScratchSystemDirectory directory;
    Hands hands;

private:
    Ticket Collect(bool pcl) {
        char *text = reinterpret_cast<char *>(1);
        uint32_t length = 12345;
        if (pcl) {
            CreatePCLOrvixFaxInfo(&text, &length);
        } else {
            CreatePSOrvixFaxInfo(&text, &length);
        }
        Ticket ticket;
        ticket.length = length;
        if (text != nullptr) {
            ticket.made = true;
            ticket.text.assign(text, length);
            FreeLockedBlock(text);
        }
        return ticket;
    }
};

// The small book most scenarios use. Its lines in list 1000, sorted:
//   [Team]  Lee, Ann\t0049 30 111  Smith, John\t555 1234
//   Smith, John\t555 9999  Solo Ltd\t777
inline std::string SmallBook() {
    return Book({PersonLine("John", "Smith", "Acme", {{"555 1234", "office"}, {"555 9999", "home"}},
                            "Sales"),
                 PersonLine("Ann", "Lee", "Beta GmbH", {{"0049 30 111", ""}}),
                 PersonLine("", "", "Solo Ltd", {{"777", "desk"}})},
                {GroupLine("Team", {{0, 0}, {1, 0}})});
}

inline const char kTeam[] = "[Team]";
inline const char kAnn[] = "Lee, Ann\t0049 30 111";
inline const char kJohnOffice[] = "Smith, John\t555 1234";
inline const char kJohnHome[] = "Smith, John\t555 9999";
inline const char kSolo[] = "Solo Ltd\t777";

// Lines of a text ended by CR LF.
inline int CountLines(const std::string &text) {
    int lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

}  // namespace faxtest

#endif
