// The records, the list discipline, the working context and the group
// maintenance the editors rely on.
#include <cstring>

#include "book_fixture.h"

namespace {

using ModelTest = BookTest;

TEST_F(ModelTest, CreatePtrGivesZeroedBlocksAndDisposeNullsThePointer) {
    // The second round is given the block the first left dirty.
    void *first = nullptr;
    for (int round = 0; round < 2; ++round) {
        void *block = nullptr;
        ASSERT_EQ(CreatePtr(&block, 300), ERR_NONE);
        ASSERT_NE(block, nullptr);
        if (round == 0) first = block;
        else EXPECT_EQ(block, first) << "the freed block was not used again";
        const unsigned char *bytes = static_cast<const unsigned char *>(block);
        for (int i = 0; i < 300; ++i) ASSERT_EQ(bytes[i], 0) << "round " << round << " byte " << i;
        EXPECT_NE(GlobalHandle(block), nullptr);
        std::memset(block, 0xA5, 300);
        EXPECT_EQ(DisposePtr(&block), ERR_NONE);
        EXPECT_EQ(block, nullptr);
        EXPECT_EQ(DisposePtr(&block), ERR_NONE);  // null is allowed
    }
}

// A record made where a filled one was freed starts empty all the same:
// its fields, its next pointer and its own list of numbers.
TEST_F(ModelTest, ARecordMadeAgainStartsEmpty) {
    for (int round = 0; round < 2; ++round) {
        PersonRecord *person = nullptr;
        ASSERT_TRUE(NewPerson(&person));
        EXPECT_EQ(person->next, nullptr) << round;
        EXPECT_STREQ(person->firstName, "") << round;
        EXPECT_STREQ(person->notes, "") << round;
        ASSERT_NE(person->numbers, nullptr);
        EXPECT_EQ(person->numbers->next, nullptr) << round;
        NumberRecord *number = nullptr;
        ASSERT_TRUE(NewNumber(&number));
        EXPECT_EQ(number->next, nullptr) << round;
        EXPECT_STREQ(number->number, "") << round;
        std::memset(number->number, '5', sizeof number->number);
        ListAppend(person->numbers, number);
        std::memset(person->firstName, 'x', sizeof person->firstName);
        std::memset(person->notes, 'y', sizeof person->notes);
        person->next = person;
        FreePerson(&person);
        EXPECT_EQ(person, nullptr);
    }
}

TEST_F(ModelTest, CreatePtrReportsNoMemoryWithANullBlock) {
    void *block = reinterpret_cast<void *>(0x1);
    portable::FailAllocations(1);
    EXPECT_EQ(CreatePtr(&block, 16), ERR_NO_MEMORY);
    EXPECT_EQ(block, nullptr);
}

TEST_F(ModelTest, ListGetAtOutsideTheListGivesNull) {
    void *list = nullptr;
    ASSERT_EQ(NewList(&list, sizeof(MemberLink)), ERR_NONE);
    void *record = reinterpret_cast<void *>(0x1);
    ListGetAt(list, 1, &record);
    EXPECT_EQ(record, nullptr) << "position 1 of an empty list";
    ListFirst(list, &record);
    EXPECT_EQ(record, nullptr);

    MemberLink *a = nullptr, *b = nullptr;
    NewMemberLink(&a);
    NewMemberLink(&b);
    ListAppend(list, a);
    ListAppend(list, b);
    for (int16_t position : {int16_t(0), int16_t(-1), int16_t(-32768), int16_t(3), int16_t(32767)}) {
        record = reinterpret_cast<void *>(0x1);
        ListGetAt(list, position, &record);
        EXPECT_EQ(record, nullptr) << position;
    }
    ListGetAt(list, 2, &record);
    EXPECT_EQ(record, b);
    ListFirst(list, &record);
    EXPECT_EQ(record, a);
    FreeRecordList(&list);
    EXPECT_EQ(list, nullptr);
}

TEST_F(ModelTest, AppendingTheLastRecordAgainChangesNothing) {
    void *list = nullptr;
    NewList(&list, sizeof(MemberLink));
    MemberLink *a = nullptr, *b = nullptr;
    NewMemberLink(&a);
    NewMemberLink(&b);
    ListAppend(list, a);
    ListAppend(list, b);
    ListAppend(list, b);
    EXPECT_EQ(Count(list), 2);
    EXPECT_EQ(b->next, nullptr) << "must not link the record to itself";
    FreeRecordList(&list);
}

TEST_F(ModelTest, UnlinkLeavesOthersAloneAndDoesNotRelease) {
    void *list = nullptr;
    NewList(&list, sizeof(MemberLink));
    MemberLink *a = nullptr, *b = nullptr, *c = nullptr, *stranger = nullptr;
    NewMemberLink(&a);
    NewMemberLink(&b);
    NewMemberLink(&c);
    NewMemberLink(&stranger);
    ListAppend(list, a);
    ListAppend(list, b);
    ListAppend(list, c);

    ListUnlink(list, stranger);
    EXPECT_EQ(Count(list), 3);
    ListUnlink(list, b);
    EXPECT_EQ(Count(list), 2);
    EXPECT_EQ(a->next, c);
    b->person = reinterpret_cast<PersonRecord *>(0x10);  // still ours: ASan would object otherwise
    ListUnlink(list, c);
    EXPECT_EQ(a->next, nullptr);

    void *loose = b;
    FreeRecord(&loose);
    loose = c;
    FreeRecord(&loose);
    loose = stranger;
    FreeRecord(&loose);
    FreeRecordList(&list);
}

TEST_F(ModelTest, FreeChainReleasesTheSentinelButLeavesThePointer) {
    GroupRecord *group = nullptr;
    ASSERT_EQ(NewGroup(&group), 1);
    MemberLink *link = nullptr;
    NewMemberLink(&link);
    ListAppend(group->members, link);
    void *chain = group->members;
    FreeChain(&chain);
    EXPECT_NE(chain, nullptr) << "the pointer itself is left as it was";
    // The group editor's way of emptying a group: a fresh list in its place.
    void *fresh = nullptr;
    ASSERT_EQ(NewList(&fresh, sizeof(MemberLink)), ERR_NONE);
    group->members = static_cast<MemberLink *>(fresh);
    EXPECT_EQ(group->members->next, nullptr);
    FreeGroup(&group);
    EXPECT_EQ(group, nullptr);
}

TEST_F(ModelTest, ConstructorsGiveZeroAndLeaveNothingBehindWhenMemoryRunsOut) {
    PersonRecord *person = reinterpret_cast<PersonRecord *>(0x1);
    portable::FailAllocations(1, 1);  // the record succeeds, its number list fails
    EXPECT_EQ(NewPerson(&person), 0);
    EXPECT_EQ(person, nullptr);

    GroupRecord *group = reinterpret_cast<GroupRecord *>(0x1);
    portable::FailAllocations(1, 1);
    EXPECT_EQ(NewGroup(&group), 0);
    EXPECT_EQ(group, nullptr);

    NumberRecord *number = reinterpret_cast<NumberRecord *>(0x1);
    portable::FailAllocations(1);
    EXPECT_EQ(NewNumber(&number), 0);
    EXPECT_EQ(number, nullptr);

    MemberLink *link = reinterpret_cast<MemberLink *>(0x1);
    portable::FailAllocations(1);
    EXPECT_EQ(NewMemberLink(&link), 0);
    EXPECT_EQ(link, nullptr);

    SenderInfo *sender = reinterpret_cast<SenderInfo *>(0x1);
    portable::FailAllocations(1);
    EXPECT_EQ(NewSenderInfo(&sender), 0);
    EXPECT_EQ(sender, nullptr);
    portable::FailAllocations(0);
}

TEST_F(ModelTest, DestructorsAcceptNull) {
    PersonRecord *person = nullptr;
    GroupRecord *group = nullptr;
    void *record = nullptr;
    EXPECT_EQ(FreePerson(&person), 1);
    EXPECT_EQ(FreeGroup(&group), 1);
    EXPECT_EQ(FreeRecord(&record), 1);
    EXPECT_EQ(FreeRecordList(&record), 1);
    EXPECT_EQ(FreePersonList(&person), 1);
    EXPECT_EQ(FreeGroupList(&group), 1);
    WorkingContext *context = nullptr;
    EXPECT_EQ(CloseWorkingContext(&context), 1);
}

TEST_F(ModelTest, NumberIdsFollowOnAcrossContexts) {
    NumberRecord *first = nullptr, *second = nullptr;
    NewNumber(&first);
    NewNumber(&second);
    EXPECT_EQ(second->id, first->id + 1);
    Empty();
    PersonRecord *person = AddPerson("Ann", "Lee", "", {{"1", ""}});
    EXPECT_EQ(NumberAt(person, 0)->id, second->id + 1);
    Empty();  // a second context later in the same process
    person = AddPerson("Bo", "Ek", "", {{"2", ""}});
    EXPECT_EQ(NumberAt(person, 0)->id, second->id + 2);
    void *block = first;
    FreeRecord(&block);
    block = second;
    FreeRecord(&block);
}

TEST_F(ModelTest, OpeningWithoutAFileGivesAnEmptyBook) {
    WorkingContext *context = Empty();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->persons->next, nullptr);
    EXPECT_EQ(context->groups->next, nullptr);
    ASSERT_NE(context->faxInfo, nullptr);
    ASSERT_NE(context->senderInfo, nullptr);
    EXPECT_NE(context->faxInfo->recipients, nullptr);
    EXPECT_EQ(context->faxInfo->status, 0u);
    EXPECT_EQ(context->selectionCount, 0);
    EXPECT_FALSE(BookExists()) << "opening never writes the book";
}

// Every allocation of the open in turn fails; the open reports it and the
// close releases what was made (AddressSanitizer reports any leak).
TEST_F(ModelTest, EveryFailedOpenIsReleasedByTheClose) {
    WriteBook(",Ann,Lee,,Acme,,,555-1234,office\n\fTeam,0.0\n");
    int failures = 0;
    for (int skip = 0; skip < 40; ++skip) {
        WorkingContext *context = nullptr;
        portable::FailAllocations(1, skip);
        int opened = OpenWorkingContext(&context);
        portable::FailAllocations(0);
        if (!opened) ++failures;
        if (opened) {
            // Only a book read whole opens.
            EXPECT_EQ(DumpBook(context), "P|Ann|Lee|Acme||\n  N|555-1234|office\nG|Team| 0.0\n") << skip;
        }
        EXPECT_EQ(CloseWorkingContext(&context), 1);
        EXPECT_EQ(context, nullptr);
    }
    // Context, two lists, the job record and its array, the sender block,
    // the file buffer and the book's six records.
    EXPECT_EQ(failures, 13);
}

// The empty context reads no file and has no job record: of its three
// blocks, each failing in turn leaves what was made to the close.
TEST_F(ModelTest, AnEmptyContextHasOnlyItsListsAndFailsCleanly) {
    WriteBook(",Ann,Lee,,Acme,,,555-1234,office\n");
    WorkingContext *context = nullptr;
    ASSERT_EQ(OpenEmptyWorkingContext(&context), 1);
    EXPECT_EQ(DumpBook(context), "") << "the book beside it is not read";
    EXPECT_EQ(context->faxInfo, nullptr);
    EXPECT_EQ(context->senderInfo, nullptr);
    EXPECT_EQ(CloseWorkingContext(&context), 1);
    for (int skip = 0; skip < 3; ++skip) {
        portable::FailAllocations(1, skip);
        EXPECT_EQ(OpenEmptyWorkingContext(&context), 0) << skip;
        portable::FailAllocations(0);
        EXPECT_EQ(context == nullptr, skip == 0) << "handed out unless the context itself failed";
        EXPECT_EQ(CloseWorkingContext(&context), 1);
    }
}

TEST_F(ModelTest, LastMemberGoneTakesTheGroupWithIt) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"1", ""}, {"2", ""}});
    PersonRecord *bo = AddPerson("Bo", "Ek", "", {{"3", ""}});
    GroupRecord *solo = AddGroup("Solo", {{ann, NumberAt(ann, 0)}});
    GroupRecord *pair = AddGroup("Pair", {{ann, NumberAt(ann, 0)}, {bo, NumberAt(bo, 0)}});
    (void)solo;

    RemoveNumberFromGroups(context_, NumberAt(ann, 0));
    ASSERT_EQ(Count(context_->groups), 1);
    EXPECT_EQ(context_->groups->next, pair);
    ASSERT_EQ(Count(pair->members), 1);
    EXPECT_EQ(pair->members->next->number, NumberAt(bo, 0));
}

TEST_F(ModelTest, NumbersAreMatchedByIdentityNotByText) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"555", ""}});
    PersonRecord *bo = AddPerson("Bo", "Ek", "", {{"555", ""}});
    GroupRecord *team = AddGroup("Team", {{ann, NumberAt(ann, 0)}, {bo, NumberAt(bo, 0)}});
    RemoveNumberFromGroups(context_, NumberAt(ann, 0));
    ASSERT_EQ(Count(team->members), 1);
    EXPECT_EQ(team->members->next->person, bo);
}

TEST_F(ModelTest, RemovingAPersonClearsItsNumbersFromEveryGroup) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"1", ""}, {"2", ""}});
    PersonRecord *bo = AddPerson("Bo", "Ek", "", {{"3", ""}});
    AddGroup("A", {{ann, NumberAt(ann, 1)}, {bo, NumberAt(bo, 0)}, {ann, NumberAt(ann, 0)}});
    AddGroup("B", {{ann, NumberAt(ann, 1)}});
    GroupRecord *c = AddGroup("C", {{bo, NumberAt(bo, 0)}});

    RemovePersonFromGroups(context_, ann);
    ListUnlink(context_->persons, ann);
    FreePerson(&ann);
    EXPECT_EQ(ann, nullptr);

    EXPECT_EQ(DumpBook(context_), "P|Bo|Ek|||\n  N|3|\nG|A| 0.0\nG|C| 0.0\n");
    EXPECT_EQ(context_->groups->next->next, c);
}

TEST_F(ModelTest, RemoveEmptyGroupsKeepsOrderOfTheRest) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "", "", {{"1", ""}});
    AddGroup("empty1");
    AddGroup("kept1", {{ann, NumberAt(ann, 0)}});
    AddGroup("empty2");
    AddGroup("empty3");
    AddGroup("kept2", {{ann, NumberAt(ann, 0)}});
    AddGroup("empty4");
    RemoveEmptyGroups(context_);
    EXPECT_EQ(DumpBook(context_), "P|Ann||||\n  N|1|\nG|kept1| 0.0\nG|kept2| 0.0\n");
}

}  // namespace
