// The exports and their job flows, with a stand-in user: a front end that
// fills the context's job record and presses "F&ax" (ends with 1), or
// presses "&Print" (ends with 2), or leaves the dialog open.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "common/module_instance.h"
#include "platform/portable/automation.h"
#include "platform/portable/front_end.h"
#include "platform/portable/host.h"
#include "ticket/ticket_clock.h"

namespace {

namespace fs = std::filesystem;

enum class Press { Fax, Print, Nothing };

struct StandInUser : portable::FrontEnd {
    Press press = Press::Fax;
    std::vector<std::string> captions;
    std::vector<HWND> owners;
    std::vector<WorkingContext *> contexts;

    void RunDialog(HWND dialog) override {
        captions.push_back(portable::automation::Caption(dialog));
        owners.push_back(GetParent(dialog));
        auto *context = reinterpret_cast<WorkingContext *>(GetWindowLongPtrA(dialog, DWLP_USER));
        contexts.push_back(context);
        if (context == nullptr) return;
        if (press == Press::Fax) {
            FaxInfo *job = context->faxInfo;
            job->coverSheet = 0;
            job->resolution = 1;
            std::strcpy(job->senderName, "Anna Berg");
            std::strcpy(job->recipientNames, "Carl Dahl");
            std::strcpy(job->recipientFaxNumber, "(030) 555-0100");
            job->recipientCount = 2;
            std::strcpy(job->recipients[0].name, "Carl Dahl");
            std::strcpy(job->recipients[0].faxNumber, "(030) 555-0100");
            std::strcpy(job->recipients[1].name, "Eva Falk");
            std::strcpy(job->recipients[1].faxNumber, "555 0199");
            std::strcpy(job->noteLines[9], "tenth");
            job->status = 1;
            EndDialog(dialog, 1);
        } else if (press == Press::Print) {
            context->faxInfo->status = 0;
            context->faxInfo->coverSheet = 0;
            EndDialog(dialog, 2);
        }
    }
    int AnswerMessageBox(HWND, const std::string &, const std::string &, UINT) override {
        return IDOK;
    }
};

class JobFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
        directory = fs::temp_directory_path() /
                    ("orvixfax-flow-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
        portable::SetSystemDirectory(directory.string());
        portable::SetFrontEnd(&user);
    }
    void TearDown() override {
        portable::SetFrontEnd(nullptr);
        portable::FailAllocations(0);
        fs::remove_all(directory);
    }

    // A caller's record as a driver would make it, every byte marked.
    struct CallerRecord {
        CallerRecord() {
            std::memset(&record, 0x5A, sizeof record);
            std::memset(slots, 0x5A, sizeof slots);
            record.recipients = slots;
            record.status = 0;
        }
        FaxInfo record;
        RecipientEntry slots[FAX_MAX_RECIPIENTS];
    };

    static std::string TakeTicket(char *text, uint32_t length) {
        std::string bytes(text, length);
        HGLOBAL handle = GlobalHandle(text);
        EXPECT_NE(handle, nullptr);
        GlobalUnlock(handle);
        GlobalFree(handle);
        return bytes;
    }

    StandInUser user;
    fs::path directory;
};

const char kPjlOfTheJob[] =
    "@PJL COMMENT @@MJB=SRT\n"
    "@PJL COMMENT @@DEV=FAX\n"
    "@PJL COMMENT @@FXM=FIN\n"
    "@PJL COMMENT @@FXN=0305550100\n"
    "@PJL COMMENT @@FXN=5550199\n"
    "@PJL COMMENT @@FXN=END\n"
    "@PJL COMMENT @@MJB=END\n";

TEST_F(JobFlowTest, FaxCopiesTheJobIntoTheCallersRecord) {
    auto caller = std::make_unique<CallerRecord>();
    FaxInfo &record = caller->record;
    EXPECT_EQ(PSOrvixFaxCallEx(&record), 1u);
    ASSERT_EQ(user.captions, std::vector<std::string>{"Fax Document"});
    EXPECT_EQ(user.owners[0], nullptr);  // the fax dialog has no owner
    ASSERT_NE(user.contexts[0], nullptr);
    EXPECT_EQ(record.status, 1u);
    EXPECT_EQ(record.resolution, 1u);
    EXPECT_EQ(record.recipients, caller->slots);
    EXPECT_EQ(record.recipientCount, 2);
    EXPECT_STREQ(record.senderName, "Anna Berg");
    EXPECT_STREQ(record.recipientFaxNumber, "(030) 555-0100");  // the caller sees the typed form
    EXPECT_STREQ(caller->slots[1].faxNumber, "555 0199");
    EXPECT_STREQ(record.noteLines[9], "tenth");
    EXPECT_EQ(record.unused6[0], 0x5A);  // never written
    EXPECT_EQ(static_cast<unsigned char>(caller->slots[2].name[0]), 0x5A);  // beyond the count

    auto other = std::make_unique<CallerRecord>();
    EXPECT_EQ(PCLOrvixFaxCallEx(&other->record), 1u);
    EXPECT_EQ(other->record.status, 1u);
    EXPECT_STREQ(other->slots[0].name, "Carl Dahl");
}

TEST_F(JobFlowTest, PrintOrAnUnfinishedDialogLeavesTheCallersRecordAlone) {
    for (Press press : {Press::Print, Press::Nothing}) {
        user.press = press;
        auto caller = std::make_unique<CallerRecord>();
        auto before = std::make_unique<CallerRecord>();
        EXPECT_EQ(PSOrvixFaxCallEx(&caller->record), 1u);
        EXPECT_EQ(PCLOrvixFaxCallEx(&caller->record), 1u);
        EXPECT_EQ(caller->record.status, 0u);
        before->record.recipients = caller->slots;
        EXPECT_EQ(std::memcmp(&caller->record, &before->record, sizeof(FaxInfo)), 0);
        EXPECT_EQ(std::memcmp(caller->slots, before->slots, sizeof caller->slots), 0);
    }
    EXPECT_EQ(user.captions.size(), 4u);
}

TEST_F(JobFlowTest, NullRecordsAndThePlainCallsRunTheDialogAndReturnOne) {
    for (Press press : {Press::Fax, Press::Print}) {
        user.press = press;
        EXPECT_EQ(PCLOrvixFaxCallEx(nullptr), 1u);
        EXPECT_EQ(PSOrvixFaxCallEx(nullptr), 1u);
        EXPECT_EQ(PSOrvixFaxCall(7, 9), 1u);
        EXPECT_EQ(PCLOrvixFaxCall(0xFFFFFFFFu, 0), 1u);
    }
    EXPECT_EQ(user.captions.size(), 8u);
    for (WorkingContext *context : user.contexts) EXPECT_NE(context, nullptr);
}

TEST_F(JobFlowTest, CreateGivesTheTicketAfterFaxAndNothingAfterPrint) {
    char *text = nullptr;
    uint32_t length = 0;
    CreatePCLOrvixFaxInfo(&text, &length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), length);
    EXPECT_EQ(GlobalSize(GlobalHandle(text)), 102400u);
    EXPECT_EQ(TakeTicket(text, length), kPjlOfTheJob);

    CreatePSOrvixFaxInfo(&text, &length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(TakeTicket(text, length),
              "%%   @@MJB=SRT\r\n%%   @@DEV=FAX\r\n%%   @@FXM=FIN\r\n%%   @@FXN=0305550100\r\n"
              "%%   @@FXN=5550199\r\n%%   @@FXN=END\r\n%%   @@MJB=END\r\n");

    for (Press press : {Press::Print, Press::Nothing}) {
        user.press = press;
        text = reinterpret_cast<char *>(0x1);
        length = 77;
        CreatePCLOrvixFaxInfo(&text, &length);
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(length, 0u);
        text = reinterpret_cast<char *>(0x1);
        length = 77;
        CreatePSOrvixFaxInfo(&text, &length);
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(length, 0u);
    }
}

// Without their own record or its array the Create exports have nowhere
// for the job: they give 0 and 0 and show no dialog.
TEST_F(JobFlowTest, CreateWithoutMemoryForItsRecordShowsNoDialog) {
    for (int skip = 0; skip < 2; ++skip) {
        portable::FailAllocations(1, skip);
        char *text = reinterpret_cast<char *>(0x1);
        uint32_t length = 77;
        CreatePCLOrvixFaxInfo(&text, &length);
        EXPECT_EQ(text, nullptr) << skip;
        EXPECT_EQ(length, 0u) << skip;
        portable::FailAllocations(1, skip);
        text = reinterpret_cast<char *>(0x1);
        CreatePSOrvixFaxInfo(&text, &length);
        EXPECT_EQ(text, nullptr) << skip;
        portable::FailAllocations(0);
    }
    EXPECT_TRUE(user.captions.empty());
}

// A context that cannot be opened: no dialog, nothing copied, 0 and 0.
TEST_F(JobFlowTest, AContextThatCannotOpenShowsNoDialog) {
    auto caller = std::make_unique<CallerRecord>();
    portable::FailAllocations(1);
    EXPECT_EQ(PSOrvixFaxCallEx(&caller->record), 1u);
    EXPECT_EQ(caller->record.status, 0u);
    portable::FailAllocations(1, 2);  // the Create export's record and array, then the context
    char *text = reinterpret_cast<char *>(0x1);
    uint32_t length = 77;
    CreatePCLOrvixFaxInfo(&text, &length);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(length, 0u);
    portable::FailAllocations(1);
    EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    portable::FailAllocations(0);
    EXPECT_TRUE(user.captions.empty());
}

TEST_F(JobFlowTest, AFailingDialogLeavesTheRecordAlone) {
    portable::SetFrontEnd(nullptr);  // DialogBoxParamA then fails with -1
    auto caller = std::make_unique<CallerRecord>();
    EXPECT_EQ(PCLOrvixFaxCallEx(&caller->record), 1u);
    EXPECT_EQ(caller->record.status, 0u);
    char *text = reinterpret_cast<char *>(0x1);
    uint32_t length = 77;
    CreatePSOrvixFaxInfo(&text, &length);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(length, 0u);
}

TEST_F(JobFlowTest, TheAddressBookCallRunsItsDialogAndReturnsOne) {
    for (Press press : {Press::Fax, Press::Print, Press::Nothing}) {
        user.press = press;  // OK and Cancel alike: the result is not used
        EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    }
    EXPECT_EQ(user.captions,
              std::vector<std::string>(3, "Edit Address Book"));
    for (WorkingContext *context : user.contexts) EXPECT_NE(context, nullptr);
}

}  // namespace
