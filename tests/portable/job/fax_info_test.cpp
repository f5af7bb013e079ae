// The fax job record: creation, release and the copy into a caller's record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "job/fax_info.h"
#include "platform/portable/host.h"

namespace {

struct Record {
    Record() { EXPECT_EQ(NewFaxInfo(&info), 1); }
    ~Record() { FreeFaxInfo(&info); }
    FaxInfo *info = nullptr;
};

bool AllZero(const void *bytes, size_t size) {
    const auto *p = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < size; ++i)
        if (p[i] != 0) return false;
    return true;
}

TEST(NewFaxInfo, GivesAZeroRecordWithItsOwnArrayInGlobalMemory) {
    Record record;
    FaxInfo *info = record.info;
    ASSERT_NE(info, nullptr);
    ASSERT_NE(info->recipients, nullptr);
    EXPECT_EQ(info->status, 0u);
    EXPECT_EQ(info->coverSheet, 0u);
    EXPECT_EQ(info->resolution, 0u);
    EXPECT_EQ(info->recipientCount, 0);
    FaxInfo copy = *info;
    copy.recipients = nullptr;
    EXPECT_TRUE(AllZero(&copy, sizeof copy));
    EXPECT_TRUE(AllZero(info->recipients, sizeof(RecipientEntry) * FAX_MAX_RECIPIENTS));
    // Two separate locked blocks of the record's and the array's sizes.
    HGLOBAL recordHandle = GlobalHandle(info);
    HGLOBAL arrayHandle = GlobalHandle(info->recipients);
    ASSERT_NE(recordHandle, nullptr);
    ASSERT_NE(arrayHandle, nullptr);
    EXPECT_NE(recordHandle, arrayHandle);
    EXPECT_EQ(GlobalSize(recordHandle), sizeof(FaxInfo));
    EXPECT_EQ(GlobalSize(arrayHandle), sizeof(RecipientEntry) * FAX_MAX_RECIPIENTS);
}

TEST(NewFaxInfo, FailsCleanlyWhenEitherBlockCannotBeHad) {
    for (int skip = 0; skip < 2; ++skip) {
        FaxInfo *info = reinterpret_cast<FaxInfo *>(0x1);
        portable::FailAllocations(1, skip);
        EXPECT_EQ(NewFaxInfo(&info), 0) << skip;
        EXPECT_EQ(info, nullptr) << skip;  // and the record of skip 1 is released (leak check)
        portable::FailAllocations(0);
    }
}

TEST(FreeFaxInfo, AcceptsNullAndARecordWithoutArray) {
    FaxInfo *none = nullptr;
    EXPECT_EQ(FreeFaxInfo(&none), 1);
    EXPECT_EQ(FreeFaxInfo(nullptr), 1);
    FaxInfo *info = nullptr;
    ASSERT_EQ(NewFaxInfo(&info), 1);
    EXPECT_EQ(FreeFaxInfo(&info), 1);
    EXPECT_EQ(info, nullptr);
}

class CopyFaxInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        FaxInfo *s = source.info;
        s->status = 1;
        s->coverSheet = 1;
        s->resolution = 1;
        std::strcpy(s->senderName, "Anna Berg");
        std::strcpy(s->senderFaxNumber, "030 1");
        std::strcpy(s->senderHomeNumber, "030 2");
        std::strcpy(s->senderBusinessNumber, "030 3");
        std::strcpy(s->recipientNames, "\tCarl Dahl\tEva Falk");
        std::strcpy(s->recipientFaxNumber, "555");
        std::strcpy(s->recipientCompany, "Dahl GmbH");
        s->includeRecipName = 1;
        s->includeRecipNumber = 0;
        s->includeRecipCompany = 1;
        s->recipientCount = 2;
        std::strcpy(s->recipients[0].name, "Carl Dahl");
        std::strcpy(s->recipients[0].faxNumber, "555-0100");
        std::strcpy(s->recipients[0].company, "Dahl GmbH");
        std::strcpy(s->recipients[1].name, "Eva Falk");
        std::strcpy(s->recipients[1].faxNumber, "555-0199");
        for (int i = 0; i < 10; ++i) std::snprintf(s->noteLines[i], 256, "line %d", i + 1);
    }
    Record source;
    Record destination;
};

TEST_F(CopyFaxInfoTest, CopiesEveryFieldAndTheFilledSlots) {
    FaxInfo *d = destination.info;
    RecipientEntry *ownArray = d->recipients;
    CopyFaxInfo(d, source.info);
    EXPECT_EQ(d->recipients, ownArray);  // the caller's own array, filled
    EXPECT_EQ(d->status, 1u);
    EXPECT_EQ(d->coverSheet, 1u);
    EXPECT_EQ(d->resolution, 1u);
    EXPECT_STREQ(d->senderName, "Anna Berg");
    EXPECT_STREQ(d->senderFaxNumber, "030 1");
    EXPECT_STREQ(d->senderHomeNumber, "030 2");
    EXPECT_STREQ(d->senderBusinessNumber, "030 3");
    EXPECT_STREQ(d->recipientNames, "\tCarl Dahl\tEva Falk");
    EXPECT_STREQ(d->recipientFaxNumber, "555");
    EXPECT_STREQ(d->recipientCompany, "Dahl GmbH");
    EXPECT_EQ(d->includeRecipName, 1u);
    EXPECT_EQ(d->includeRecipNumber, 0u);
    EXPECT_EQ(d->includeRecipCompany, 1u);
    EXPECT_EQ(d->recipientCount, 2);
    EXPECT_STREQ(d->recipients[0].name, "Carl Dahl");
    EXPECT_STREQ(d->recipients[0].faxNumber, "555-0100");
    EXPECT_STREQ(d->recipients[0].company, "Dahl GmbH");
    EXPECT_STREQ(d->recipients[1].name, "Eva Falk");
    EXPECT_STREQ(d->recipients[1].company, "");
    EXPECT_STREQ(d->noteLines[9], "line 10");  // the tenth line travels with the record
    EXPECT_TRUE(AllZero(&d->recipients[2], sizeof(RecipientEntry) * (FAX_MAX_RECIPIENTS - 2)));
}

TEST_F(CopyFaxInfoTest, LeavesTheUnusedBytesAndWhatLiesBehindEachTerminator) {
    FaxInfo *d = destination.info;
    d->unused6[0] = 0xAB;
    d->unused6[1] = 0xCD;
    std::memset(d->senderName, 'z', sizeof d->senderName);
    std::memset(d->recipients[0].name, 'z', sizeof d->recipients[0].name);
    std::memset(d->noteLines[3], 'z', sizeof d->noteLines[3]);
    std::memset(source.info->unused6, 0x11, 2);
    CopyFaxInfo(d, source.info);
    EXPECT_EQ(d->unused6[0], 0xAB);
    EXPECT_EQ(d->unused6[1], 0xCD);
    EXPECT_STREQ(d->senderName, "Anna Berg");
    EXPECT_EQ(d->senderName[10], 'z');
    EXPECT_EQ(d->recipients[0].name[10], 'z');
    EXPECT_STREQ(d->noteLines[3], "line 4");
    EXPECT_EQ(d->noteLines[3][7], 'z');
}

TEST_F(CopyFaxInfoTest, ZeroRecipientsLeaveTheDestinationArrayAlone) {
    FaxInfo *d = destination.info;
    std::strcpy(d->recipients[0].name, "keep me");
    d->recipientCount = 5;
    source.info->recipientCount = 0;
    CopyFaxInfo(d, source.info);
    EXPECT_EQ(d->recipientCount, 0);
    EXPECT_STREQ(d->recipients[0].name, "keep me");
}

TEST_F(CopyFaxInfoTest, ANullDestinationOrSourceCopiesNothing) {
    CopyFaxInfo(nullptr, source.info);  // must simply return
    FaxInfo before = *destination.info;
    CopyFaxInfo(destination.info, nullptr);
    EXPECT_EQ(std::memcmp(&before, destination.info, sizeof before), 0);
}

// A caller's record without an array must not crash the copy: it gets
// everything but the slots.
TEST_F(CopyFaxInfoTest, ADestinationWithoutArrayGetsAllButTheSlots) {
    FaxInfo plain{};
    CopyFaxInfo(&plain, source.info);
    EXPECT_EQ(plain.recipients, nullptr);
    EXPECT_EQ(plain.status, 1u);
    EXPECT_EQ(plain.recipientCount, 2);
    EXPECT_STREQ(plain.senderName, "Anna Berg");
    EXPECT_STREQ(plain.noteLines[9], "line 10");
}

// Unterminated fields in a damaged source stay inside their own field, and
// a count beyond the array's room does not run past it.
TEST_F(CopyFaxInfoTest, DamagedSourceStaysWithinTheFields) {
    FaxInfo *s = source.info;
    std::memset(s->senderName, 'x', sizeof s->senderName);
    std::memset(s->recipients[0].faxNumber, '9', sizeof s->recipients[0].faxNumber);
    std::memset(s->noteLines[9], 'n', sizeof s->noteLines[9]);
    s->recipientCount = FAX_MAX_RECIPIENTS + 50;
    std::vector<RecipientEntry> slots(FAX_MAX_RECIPIENTS + 1);
    std::memset(&slots[FAX_MAX_RECIPIENTS], 'G', sizeof(RecipientEntry));  // guard slot
    FaxInfo d{};
    d.recipients = slots.data();
    CopyFaxInfo(&d, s);
    EXPECT_EQ(std::strlen(d.senderName), sizeof d.senderName - 1);
    EXPECT_EQ(std::strlen(d.recipients[0].faxNumber), sizeof d.recipients[0].faxNumber - 1);
    EXPECT_EQ(std::strlen(d.noteLines[9]), sizeof d.noteLines[9] - 1);
    EXPECT_STREQ(d.senderFaxNumber, "030 1");
    EXPECT_EQ(slots[FAX_MAX_RECIPIENTS].name[0], 'G');
    EXPECT_EQ(slots[FAX_MAX_RECIPIENTS].company[39], 'G');
}

}  // namespace
