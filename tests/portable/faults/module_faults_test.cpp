// The module's flows with each of their kernel calls failing in turn: the
// load of the book, its save, and the save of the settings.
#include "flow_fixture.h"

#include <filesystem>

#include "portable/addrbook/book_dump.h"
#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "common/text_field.h"
#include "faxdlg/fax_settings.h"

namespace {

const std::string kBook = ",Ann,Lee,,Acme,,,555-1,office,555-2,home\n,Bo,Ek,,,,,7,\n\fTeam,0.0,1.0\nDesk,0.1\n";

class ModuleFaults : public FlowTest {};

// Missing, there, and there but not to be read are the only outcomes: an
// open either fails (memory ran out), or has the whole book, or has an
// empty book marked so that it is never saved.
TEST_F(ModuleFaults, LoadGivesTheWholeBookOrNone) {
    Write("OrvixFax.adb", kBook);
    WorkingContext *context = nullptr;
    ASSERT_EQ(OpenWorkingContext(&context), 1);
    const std::string whole = DumpBook(context);
    CloseWorkingContext(&context);
    const faults::Leaks before = faults::Now();
    int opened = 0;
    int failedOpens = 0, unreadable = 0;
    int runs = faults::Sweep([&] { opened = OpenWorkingContext(&context); },
                             [&](const faults::Run &run) {
                                 SCOPED_TRACE(run.failed);
                                 if (!opened) {
                                     ++failedOpens;
                                 } else if (context->bookUnreadable) {
                                     ++unreadable;
                                     EXPECT_EQ(DumpBook(context), "");
                                     EXPECT_EQ(SaveAddressBook(context, ModuleFile("OrvixFax.adb").c_str()), 0);
                                 } else {
                                     EXPECT_EQ(DumpBook(context), whole);
                                 }
                                 CloseWorkingContext(&context);
                                 EXPECT_EQ(faults::Now().blocks, before.blocks);
                                 EXPECT_EQ(faults::Now().files, before.files);
                                 EXPECT_EQ(Read("OrvixFax.adb"), kBook);
                             });
    EXPECT_GT(failedOpens, 10);
    EXPECT_GE(unreadable, 3) << "open, size and read of the file";
    EXPECT_GT(runs, failedOpens + unreadable);
}

// The file on disk is the old book or the new one, whole, and the result
// says which; nothing is left beside it.
TEST_F(ModuleFaults, SaveLeavesTheOldBookOrTheNewOneAndSaysWhich) {
    for (bool bookThere : {true, false}) {
        SCOPED_TRACE(bookThere ? "over a book" : "a first book");
        if (bookThere) Write("OrvixFax.adb", kBook);
        WorkingContext *context = nullptr;
        ASSERT_EQ(OpenWorkingContext(&context), 1);
        PersonRecord *cy = nullptr;
        ASSERT_EQ(NewPerson(&cy), 1);
        CopyField(cy->firstName, "Cy");
        ListAppend(context->persons, cy);
        const std::string path = ModuleFile("OrvixFax.adb");
        ASSERT_EQ(SaveAddressBook(context, path.c_str()), 1);
        const std::string saved = Read("OrvixFax.adb");
        if (bookThere) Write("OrvixFax.adb", kBook);
        else std::filesystem::remove(File("OrvixFax.adb"));
        const faults::Leaks before = faults::Now();
        int result = 0;
        DWORD error = 0;
        int failures = 0;
        faults::Sweep(
            [&] {
                SetLastError(0);
                result = SaveAddressBook(context, path.c_str());
                error = GetLastError();
            },
            [&](const faults::Run &run) {
                SCOPED_TRACE(run.failed);
                if (result) {
                    EXPECT_EQ(Read("OrvixFax.adb"), saved);
                    if (bookThere) Write("OrvixFax.adb", kBook);
                    else std::filesystem::remove(File("OrvixFax.adb"));
                } else {
                    ++failures;
                    EXPECT_NE(error, 0u) << "a failed save says why";
                    EXPECT_EQ(Exists("OrvixFax.adb"), bookThere);
                    if (bookThere) {
                        EXPECT_EQ(Read("OrvixFax.adb"), kBook);
                    }
                }
                EXPECT_EQ(Names(), bookThere ? "OrvixFax.adb" : "");
                EXPECT_EQ(faults::Now().blocks, before.blocks);
                EXPECT_EQ(faults::Now().files, before.files);
            });
        EXPECT_GE(failures, 5) << "create, write, flush, close, replace";
        CloseWorkingContext(&context);
    }
}

// Every settings write leaves the file whole: the other sections as they
// were, each key old or new, and the result TRUE only when all are new.
TEST_F(ModuleFaults, SettingsSaveLeavesTheFileWholeAndSaysWhetherAllWasWritten) {
    // Another program's settings after the module's own.
    std::string others = "[Printer]\r\n";
    for (int i = 0; i < 16; ++i) others += "Key" + std::to_string(i) + "=" + std::string(200, 'a' + i) + "\r\n";
    const std::string old = "[User Fax Info]\r\nSenderName=Old\r\nRecipNameTrue=1\r\n" + others;
    FaxSettings settings{};
    CopyField(settings.senderName, "New Sender");
    CopyField(settings.currentSelection, "Someone");
    settings.recipNameTrue = 0;
    Write("orvixfax.ini", old);
    ASSERT_TRUE(SaveFaxSettings(&settings));
    const std::string whole = Read("orvixfax.ini");
    ASSERT_NE(whole.find(others), std::string::npos);
    const faults::Leaks before = faults::Now();
    BOOL result = FALSE;
    int partial = 0;
    faults::Sweep([&] { result = SaveFaxSettings(&settings); },
                  [&](const faults::Run &run) {
                      SCOPED_TRACE(run.failed);
                      const std::string now = Read("orvixfax.ini");
                      EXPECT_NE(now.find(others), std::string::npos) << "the neighbours' keys are kept";
                      EXPECT_TRUE(now.find("SenderName=Old\r\n") != std::string::npos ||
                                  now.find("SenderName=New Sender\r\n") != std::string::npos);
                      if (result) {
                          EXPECT_EQ(now, whole);
                      } else {
                          ++partial;
                      }
                      EXPECT_EQ(Names(), "orvixfax.ini");
                      EXPECT_EQ(faults::Now().files, before.files);
                      Write("orvixfax.ini", old);
                  });
    EXPECT_GE(partial, 15) << "each of the fifteen writes can fail";
}

}  // namespace
