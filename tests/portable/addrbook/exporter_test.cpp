// The exporter library that may write a first address book.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "book_fixture.h"

namespace {

std::string g_exportBytes;
int g_exportCalls = 0;
std::string g_exportPath;
LONG g_exportReserved = -1;

LONG WINAPI ExportWriting(LPSTR path, LONG reserved, LONG *first, LONG *second) {
    ++g_exportCalls;
    g_exportPath = path;
    g_exportReserved = reserved;
    *first = 11;
    *second = 22;
    std::string native = path;
    for (char &c : native)
        if (c == '\\') c = '/';
    std::ofstream(native, std::ios::binary) << g_exportBytes;
    return 1;
}

LONG WINAPI ExportNothing(LPSTR, LONG, LONG *, LONG *) {
    ++g_exportCalls;
    return 0;
}

class ExporterTest : public BookTest {
protected:
    void Register(LONG(WINAPI *procedure)(LPSTR, LONG, LONG *, LONG *), const char *name = "FDB_ExportAsText") {
        g_exportCalls = 0;
        portable::LibraryProc procs[] = {
            {name, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(procedure))}};
        portable::RegisterLibrary("Abexpw32.dll", procs, 1);
    }
};

TEST_F(ExporterTest, NoLibraryGivesAnEmptyBookAndNoFile) {
    WorkingContext *context = Empty();
    EXPECT_EQ(context->persons->next, nullptr);
    EXPECT_FALSE(BookExists());
}

TEST_F(ExporterTest, WrittenFileIsLoadedAsTheBook) {
    g_exportBytes = ",Ann,Lee,,Acme,,,555,office\n\fTeam,0.0\n";
    Register(ExportWriting);
    WorkingContext *context = Empty();
    EXPECT_EQ(g_exportCalls, 1);
    EXPECT_EQ(g_exportPath, ModulePath());
    EXPECT_EQ(g_exportReserved, 0);
    EXPECT_EQ(DumpBook(context), "P|Ann|Lee|Acme||\n  N|555|office\nG|Team| 0.0\n");
}

TEST_F(ExporterTest, EmptyBookFileAlsoAsksTheLibrary) {
    g_exportBytes = ",Ann,Lee,,,,,1,x\n\f";
    Register(ExportWriting);
    EXPECT_EQ(DumpBook(Load("")), "P|Ann|Lee|||\n  N|1|x\n");
    EXPECT_EQ(g_exportCalls, 1);
}

TEST_F(ExporterTest, FileWithoutFinalLineFeedLosesItsLastCharacter) {
    g_exportBytes = ",Ann,Lee,,,,,1,office";
    Register(ExportWriting);
    EXPECT_EQ(DumpBook(Empty()), "P|Ann|Lee|||\n  N|1|offic\n");
}

TEST_F(ExporterTest, LibraryWritingAnEmptyFileGivesAnEmptyBook) {
    g_exportBytes = "";
    Register(ExportWriting);
    WorkingContext *context = Empty();
    EXPECT_EQ(g_exportCalls, 1) << "asked once only";
    EXPECT_EQ(context->persons->next, nullptr);
}

TEST_F(ExporterTest, LibraryThatWritesNothing) {
    Register(ExportNothing);
    WorkingContext *context = Empty();
    EXPECT_EQ(g_exportCalls, 1);
    EXPECT_EQ(context->persons->next, nullptr);
    EXPECT_EQ(portable::LibraryLoadCount("Abexpw32.dll"), 1);
}

TEST_F(ExporterTest, LibraryWithoutTheFunctionIsLoadedAndLeft) {
    Register(ExportNothing, "SomethingElse");
    WorkingContext *context = Empty();
    EXPECT_EQ(g_exportCalls, 0);
    EXPECT_EQ(portable::LibraryLoadCount("Abexpw32.dll"), 1);
    EXPECT_EQ(context->persons->next, nullptr);
}

// A Windows without the safe-search update refuses the search flags
// (ERROR_INVALID_PARAMETER): the library is then loaded by its full path in
// the system directory, never by a name the current directory could answer.
std::vector<std::string> g_loads;
DWORD RefuseSearchFlags(portable::KernelCall, const char *name) {
    g_loads.push_back(name);
    return std::string(name).find('\\') == std::string::npos ? ERROR_INVALID_PARAMETER : 0;
}

TEST_F(ExporterTest, WhereTheSearchFlagsAreRefusedTheSystemDirectorysLibraryIsLoaded) {
    g_exportBytes = ",Ann,Lee,,,,,1,x\n\f";
    Register(ExportWriting);
    g_loads.clear();
    portable::SetKernelFault(portable::KERNEL_LIBRARY_LOAD, RefuseSearchFlags);
    EXPECT_EQ(DumpBook(Empty()), "P|Ann|Lee|||\n  N|1|x\n");
    EXPECT_EQ(g_loads, (std::vector<std::string>{"Abexpw32.dll", directory_ + "\\Abexpw32.dll"}));
    EXPECT_EQ(g_exportCalls, 1);
}

TEST_F(ExporterTest, ExistingBookNeverLoadsTheLibrary) {
    g_exportBytes = ",Other,,,,,,\n\f";
    Register(ExportWriting);
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,x\n\f")), "P|Ann|Lee|||\n  N|1|x\n");
    EXPECT_EQ(portable::LibraryLoadCount("Abexpw32.dll"), 0);
    EXPECT_EQ(g_exportCalls, 0);
}

TEST_F(ExporterTest, BookTooLargeToMeasureIsNeitherEmptyNorOverwritten) {
    g_exportBytes = ",Other,,,,,,\n\f";
    Register(ExportWriting);
    WriteBook(",Ann,Lee,,,,,1,x\n\f");
    std::filesystem::resize_file(BookPath(), 3ull << 30);  // sparse: nothing is written to disk
    WorkingContext *context = nullptr;
    ASSERT_EQ(OpenWorkingContext(&context), 1) << "a book that cannot be read opens empty";
    EXPECT_EQ(context->persons->next, nullptr);
    EXPECT_EQ(context->bookUnreadable, 1);
    EXPECT_EQ(SaveAddressBook(context, ModulePath().c_str()), 0) << "and is never saved over";
    CloseWorkingContext(&context);
    EXPECT_EQ(g_exportCalls, 0);
    EXPECT_EQ(std::filesystem::file_size(BookPath()), 3ull << 30);
    std::filesystem::remove(BookPath());
}

}  // namespace
