// A scratch system directory per test and small builders of books.
#ifndef ORVIXFAX_TESTS_BOOK_FIXTURE_H
#define ORVIXFAX_TESTS_BOOK_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "book_dump.h"
#include "common/text_field.h"
#include "platform/portable/host.h"

class BookTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvix-addrbook-XXXXXX";
        directory_ = mkdtemp(pattern);
        portable::SetSystemDirectory(directory_);
        portable::FailAllocations(0, 0);
        portable::UnregisterLibraries();
        liveBlocks_ = portable::LiveGlobalBlocks();
    }
    void TearDown() override {
        portable::ClearKernelFaults();
        portable::UnregisterLibraries();
        CloseWorkingContext(&context_);
        // Every block the test made, the module's included, is released.
        EXPECT_EQ(portable::LiveGlobalBlocks(), liveBlocks_);
        std::error_code ignored;
        std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(directory_, ignored);
    }

    std::string BookPath() const { return directory_ + "/" ADDRESS_BOOK_FILE_NAME; }
    // The path as the module spells it.
    std::string ModulePath() const { return directory_ + "\\" ADDRESS_BOOK_FILE_NAME; }

    void WriteBook(const std::string &bytes) const {
        std::ofstream(BookPath(), std::ios::binary) << bytes;
    }
    std::string ReadBook() const {
        std::ifstream in(BookPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool BookExists() const { return std::filesystem::exists(BookPath()); }
    // The names in the directory but the book's: what a save left behind.
    std::string LeftBeside() const {
        std::string names;
        for (const auto &entry : std::filesystem::directory_iterator(directory_))
            if (entry.path().filename() != ADDRESS_BOOK_FILE_NAME) names += entry.path().filename().string() + " ";
        return names;
    }

    // Opens the context over whatever book file the test wrote.
    WorkingContext *Open() {
        CloseWorkingContext(&context_);
        EXPECT_EQ(OpenWorkingContext(&context_), 1);
        return context_;
    }
    // Opens over the given bytes.
    WorkingContext *Load(const std::string &bytes) {
        WriteBook(bytes);
        return Open();
    }
    void Save() { EXPECT_EQ(SaveAddressBook(context_, ModulePath().c_str()), 1); }

    // An empty context with no file behind it.
    WorkingContext *Empty() {
        std::filesystem::remove(BookPath());
        return Open();
    }

    PersonRecord *AddPerson(const char *first, const char *last, const char *company,
                            std::initializer_list<std::pair<const char *, const char *>> numbers = {}) {
        PersonRecord *person = nullptr;
        EXPECT_EQ(NewPerson(&person), 1);
        CopyField(person->firstName, first);
        CopyField(person->lastName, last);
        CopyField(person->company, company);
        for (auto [text, details] : numbers) {
            NumberRecord *number = nullptr;
            EXPECT_EQ(NewNumber(&number), 1);
            CopyField(number->number, text);
            CopyField(number->details, details);
            ListAppend(person->numbers, number);
        }
        ListAppend(context_->persons, person);
        return person;
    }
    NumberRecord *NumberAt(PersonRecord *person, int position) {
        void *record = nullptr;
        ListGetAt(person->numbers, static_cast<int16_t>(position + 1), &record);
        return static_cast<NumberRecord *>(record);
    }
    GroupRecord *AddGroup(const char *name,
                          std::initializer_list<std::pair<PersonRecord *, NumberRecord *>> members = {}) {
        GroupRecord *group = nullptr;
        EXPECT_EQ(NewGroup(&group), 1);
        CopyField(group->name, name);
        for (auto [person, number] : members) {
            MemberLink *link = nullptr;
            EXPECT_EQ(NewMemberLink(&link), 1);
            link->person = person;
            link->number = number;
            ListAppend(group->members, link);
        }
        ListAppend(context_->groups, group);
        return group;
    }

    static int Count(void *sentinel) {
        int count = 0;
        void *record = nullptr;
        while (ListGetAt(sentinel, static_cast<int16_t>(count + 1), &record), record != nullptr) ++count;
        return count;
    }

    std::string directory_;
    WorkingContext *context_ = nullptr;
    int liveBlocks_ = 0;
};

#endif
