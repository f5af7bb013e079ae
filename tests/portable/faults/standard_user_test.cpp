// A standard user of today's Windows may not write the system directory:
// the book and the settings then go to the user's own copy in the
// application-data folder. The scenarios (e2e/scenarios/standard_user_*)
// play the plain cases through the dialogs; here are the edges. The
// refusal is the access denied of the kernel call table, for every new
// name, move and removal in a directory.
#include "flow_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "portable/addrbook/book_dump.h"
#include "addrbook/address_book_file.h"
#include "common/text_field.h"
#include "faxdlg/fax_settings.h"
#include "orvixfax.h"
#include "platform/portable/front_ends/script_front_end.h"
#include "res/resource_names.h"

namespace {

namespace fs = std::filesystem;

const std::string kBook = ",Ann,Lee,,Acme,,,555-1,office\n\fTeam,0.0\n";

std::vector<std::string> g_refused;  // host paths of the directories that refuse

DWORD RefuseWrites(portable::KernelCall call, const char *subject) {
    if (subject == nullptr) return 0;
    if (call != portable::KERNEL_FILE_CREATE && call != portable::KERNEL_FILE_REPLACE &&
        call != portable::KERNEL_FILE_DELETE)
        return 0;
    std::string path = subject;
    for (char &c : path)
        if (c == '\\') c = '/';
    for (const std::string &directory : g_refused)
        if (path.rfind(directory + "/", 0) == 0) return ERROR_ACCESS_DENIED;
    return 0;
}

class StandardUserTest : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        char pattern[] = "/tmp/orvix-appdata-XXXXXX";
        appData_ = mkdtemp(pattern);
        portable::SetAppDataDirectory(appData_);
        g_refused.clear();
        for (auto call : {portable::KERNEL_FILE_CREATE, portable::KERNEL_FILE_REPLACE, portable::KERNEL_FILE_DELETE})
            portable::SetKernelFault(call, RefuseWrites);
    }
    void TearDown() override {
        portable::UnregisterLibraries();
        portable::SetAppDataDirectory("");
        fs::remove_all(appData_);
        FlowTest::TearDown();
    }
    void Refuse(const std::string &directory) { g_refused.push_back(directory); }
    std::string Own(const std::string &name) const { return appData_ + "/OrvixFax/" + name; }
    std::string ReadOwn(const std::string &name) const {
        std::ifstream in(Own(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Opens the book, adds a person and saves it where the module saves it.
    int AddAndSave(const char *firstName, std::string *savedTo = nullptr) {
        WorkingContext *context = nullptr;
        if (OpenWorkingContext(&context) != 1) return -1;
        PersonRecord *person = nullptr;
        NewPerson(&person);
        CopyField(person->firstName, firstName);
        ListAppend(context->persons, person);
        char path[MAX_PATH] = "";
        int saved = SaveAddressBookInPlace(context, path, sizeof path);
        saveError_ = GetLastError();
        if (savedTo) *savedTo = path;
        CloseWorkingContext(&context);
        return saved;
    }

    std::string appData_;
    DWORD saveError_ = 0;
};

// Once there is a copy of the user's, saves go on to it, even where the
// system directory could be written again (it would never be read); a copy
// that cannot be read is never passed over for the old book, nor saved over.
TEST_F(StandardUserTest, TheUsersCopyOnceMadeIsTheBook) {
    Write("OrvixFax.adb", kBook);
    Refuse(directory_);
    std::string savedTo;
    ASSERT_EQ(AddAndSave("Cy", &savedTo), 1);
    EXPECT_EQ(savedTo, appData_ + "\\OrvixFax\\OrvixFax.adb");
    g_refused.clear();
    ASSERT_EQ(AddAndSave("Di", &savedTo), 1);
    EXPECT_EQ(savedTo, appData_ + "\\OrvixFax\\OrvixFax.adb");
    EXPECT_EQ(ReadOwn("OrvixFax.adb"), ",Ann,Lee,,Acme,,,555-1,office\n,Cy,,,,,,\n,Di,,,,,,\n\fTeam,0.0\n");
    EXPECT_EQ(Read("OrvixFax.adb"), kBook);
    EXPECT_EQ(Names(), "OrvixFax.adb");

    fs::remove(Own("OrvixFax.adb"));
    fs::create_directory(Own("OrvixFax.adb"));
    WorkingContext *context = nullptr;
    ASSERT_EQ(OpenWorkingContext(&context), 1);
    EXPECT_TRUE(context->bookUnreadable);
    char path[MAX_PATH];
    EXPECT_EQ(SaveAddressBookInPlace(context, path, sizeof path), 0);
    CloseWorkingContext(&context);
    EXPECT_TRUE(fs::is_directory(Own("OrvixFax.adb")));
    EXPECT_EQ(Read("OrvixFax.adb"), kBook);
}

// Nothing is lost silently: with the user's folder refused too, the address
// book dialog reports the failure and keeps the changes open.
TEST_F(StandardUserTest, BothPlacesRefusedIsTheFailureTheDialogReports) {
    Write("OrvixFax.adb", kBook);
    Refuse(directory_);
    Refuse(appData_);
    std::string savedTo;
    EXPECT_EQ(AddAndSave("Cy", &savedTo), 0);
    EXPECT_EQ(saveError_, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    portable::ScriptFrontEnd user(res::ControlIdByName);
    ASSERT_TRUE(user.Parse("dialog \"Edit Address Book\"\nclick IDOK\nanswer ok\nclick IDCANCEL\n"));
    {
        portable::ScopedFrontEnd acting(&user);
        OrvixFaxBookCall(nullptr);
    }
    ASSERT_TRUE(user.Finish()) << user.Report();
    ASSERT_EQ(user.MessageBoxes().size(), 1u);
    EXPECT_NE(user.MessageBoxes()[0].text.find("could not be saved to \"" + savedTo + "\""), std::string::npos)
        << user.MessageBoxes()[0].text;
    EXPECT_EQ(Read("OrvixFax.adb"), kBook);
    EXPECT_FALSE(fs::exists(Own("OrvixFax.adb")));
}

// Only a refusal moves the settings: a full disk stays a failure, and so
// does a refusal of both places.
TEST_F(StandardUserTest, SettingsMoveOnlyWhenRefused) {
    const std::string old = "[User Fax Info]\r\nSenderName=Old\r\n";
    Write("orvixfax.ini", old);
    FaxSettings settings{};
    CopyField(settings.senderName, "New");
    portable::FailKernelCalls(portable::KERNEL_PROFILE_WRITE, 100, 0, ERROR_DISK_FULL);
    EXPECT_FALSE(SaveFaxSettings(&settings));
    portable::FailKernelCalls(portable::KERNEL_PROFILE_WRITE, 0, 0, 0);
    EXPECT_FALSE(fs::exists(appData_ + "/OrvixFax"));

    Refuse(directory_);
    Refuse(appData_);
    EXPECT_FALSE(SaveFaxSettings(&settings));
    EXPECT_EQ(Read("orvixfax.ini"), old);
    EXPECT_FALSE(fs::exists(appData_ + "/OrvixFax"));
}

std::string g_exportedTo;
LONG WINAPI ExportOneBook(LPSTR path, LONG, LONG *, LONG *) {
    g_exportedTo = path;
    std::string file = path;
    for (char &c : file)
        if (c == '\\') c = '/';
    std::ofstream(file, std::ios::binary) << kBook;
    return 1;
}

// Where the system directory can be written, the exporter is asked for the
// book there as always, and the module's look at whether it may write there
// leaves nothing behind.
TEST_F(StandardUserTest, AWritableSystemDirectoryStillGetsTheExportedBook) {
    const portable::LibraryProc procs[] = {
        {"FDB_ExportAsText", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(ExportOneBook))}};
    portable::RegisterLibrary("Abexpw32.dll", procs, 1);
    WorkingContext *context = nullptr;
    ASSERT_EQ(OpenWorkingContext(&context), 1);
    EXPECT_EQ(DumpBook(context), "P|Ann|Lee|Acme||\n  N|555-1|office\nG|Team| 0.0\n");
    CloseWorkingContext(&context);
    EXPECT_EQ(g_exportedTo, ModuleFile("OrvixFax.adb"));
    EXPECT_EQ(Names(), "OrvixFax.adb");
    EXPECT_FALSE(fs::exists(appData_ + "/OrvixFax"));
}

}  // namespace
