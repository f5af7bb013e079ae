#include "book_fixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "addrbook/display_lines.h"
#include "common/module_instance.h"
#include "editors/address_book_dialog.h"
#include "platform/portable/host.h"

const char kSampleBook[] =
    ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
    ",Bob,Roe,,Beta,,,555-2000,desk\n"
    ",,,,Gamma Ltd,,,555-3000,main\n"
    "\f"
    "Team,0.0,1.0\n"
    "Solo,0.1\n";

void BookTest::SetUp() {
    char pattern[] = "/tmp/orvix-editors-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    portable::SetSystemDirectory(directory_);
    DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
    portable::SetFrontEnd(&user_);
}

void BookTest::TearDown() {
    portable::SetFrontEnd(nullptr);
    CloseWorkingContext(&context_);
    portable::ClearStringOverrides();
    portable::FailAllocations(0, 0);
    EXPECT_TRUE(user_.AllActed()) << "the scenario planned acts or answers that never came";
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void BookTest::WriteBook(const std::string &bytes) {
    std::ofstream file(directory_ + "/OrvixFax.adb", std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string BookTest::ReadBook() const {
    std::ifstream file(directory_ + "/OrvixFax.adb", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool BookTest::BookExists() const { return std::filesystem::exists(directory_ + "/OrvixFax.adb"); }

WorkingContext *BookTest::Open() {
    EXPECT_EQ(OpenWorkingContext(&context_), 1);
    return context_;
}

INT_PTR BookTest::RunAddressBook() {
    return DialogBoxParamA(ModuleInstance(), "IDD_EDIT_ADDRESS_BOOK", nullptr, AddressBookDlgProc,
                           reinterpret_cast<LPARAM>(context_));
}

PersonRecord *BookTest::PersonAt(int index) const {
    PersonRecord *person = context_->persons->next;
    while (person != nullptr && index-- > 0) person = person->next;
    return person;
}

GroupRecord *BookTest::GroupNamed(const char *name) const {
    for (GroupRecord *group = context_->groups->next; group != nullptr; group = group->next)
        if (std::strcmp(group->name, name) == 0) return group;
    return nullptr;
}

int BookTest::PersonCount() const {
    int count = 0;
    for (PersonRecord *person = context_->persons->next; person != nullptr; person = person->next) ++count;
    return count;
}

int BookTest::GroupCount() const {
    int count = 0;
    for (GroupRecord *group = context_->groups->next; group != nullptr; group = group->next) ++count;
    return count;
}

int BookTest::MemberCount(const GroupRecord *group) const {
    int count = 0;
    for (MemberLink *link = group->members->next; link != nullptr; link = link->next) ++count;
    return count;
}

int LineOf(HWND dialog, int listId, const std::string &text) {
    const int index = portable::automation::FindLine(dialog, listId, text);
    EXPECT_GE(index, 0) << "no line \"" << text << "\" in list " << listId;
    return index;
}

void PickLine(HWND dialog, int listId, const std::string &text) {
    const int index = LineOf(dialog, listId, text);
    if (index >= 0) portable::automation::ClickLine(dialog, listId, index);
}

void OpenLine(HWND dialog, int listId, const std::string &text) {
    const int index = LineOf(dialog, listId, text);
    if (index >= 0) portable::automation::DoubleClickLine(dialog, listId, index);
}

std::vector<std::string> Lines(HWND dialog, int listId) {
    std::vector<std::string> lines;
    const int count = portable::automation::LineCount(dialog, listId);
    for (int index = 0; index < count; ++index)
        lines.push_back(portable::automation::LineText(dialog, listId, index));
    return lines;
}
