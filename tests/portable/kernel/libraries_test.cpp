// Dynamic libraries: only registered ones load, found as Windows finds them.
#include "platform/portable/host.h"
#include "platform/win32api.h"

#include <gtest/gtest.h>

namespace {

INT_PTR WINAPI ExportAsText() { return 42; }
INT_PTR WINAPI Other() { return 7; }

class Libraries : public ::testing::Test {
protected:
    void SetUp() override {
        static const portable::LibraryProc procs[] = {{"FDB_ExportAsText", &ExportAsText}, {"Other", &Other}};
        portable::RegisterLibrary("Abexpw32.dll", procs, 2);
    }
    void TearDown() override { portable::UnregisterLibraries(); }
};

TEST_F(Libraries, LoadFindCallFree) {
    HMODULE library = LoadLibraryA("Abexpw32.dll");
    ASSERT_NE(library, nullptr);
    FARPROC procedure = GetProcAddress(library, "FDB_ExportAsText");
    ASSERT_NE(procedure, nullptr);
    EXPECT_EQ(procedure(), 42);
    EXPECT_EQ(GetProcAddress(library, "fdb_exportastext"), nullptr);  // exported names keep their case
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(2)), reinterpret_cast<FARPROC>(&Other));
    EXPECT_EQ(GetModuleHandleA("ABEXPW32"), library);
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(GetModuleHandleA("Abexpw32.dll"), nullptr);  // no longer loaded
    EXPECT_FALSE(FreeLibrary(library));
    EXPECT_EQ(portable::LibraryLoadCount("Abexpw32.dll"), 1);
}

TEST_F(Libraries, NamesMatchAsWindowsSearches) {
    for (const char *name : {"abexpw32.DLL", "Abexpw32", "C:\\Windows\\System32\\Abexpw32.dll", "Abexpw32.dll"}) {
        HMODULE library = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        EXPECT_NE(library, nullptr) << name;
        FreeLibrary(library);
    }
    EXPECT_EQ(portable::LibraryLoadCount("ABEXPW32.DLL"), 4);
    EXPECT_EQ(LoadLibraryA("Abexpw32."), nullptr);  // a trailing dot means "no extension"
    EXPECT_EQ(LoadLibraryA("Abexpw32.exe"), nullptr);
}

TEST_F(Libraries, UnknownLibrariesAndProceduresFail) {
    EXPECT_EQ(LoadLibraryA("missing.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    HMODULE library = LoadLibraryA("Abexpw32.dll");
    EXPECT_EQ(GetProcAddress(library, "Absent"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(3)), nullptr);
    FreeLibrary(library);
    EXPECT_EQ(GetProcAddress(library, "Other"), nullptr);  // not loaded any more
    EXPECT_EQ(portable::LibraryLoadCount("missing.dll"), 0);
}

TEST_F(Libraries, LoadsNestAndUnregisterForgetsAll) {
    HMODULE first = LoadLibraryA("Abexpw32.dll");
    HMODULE second = LoadLibraryA("Abexpw32.dll");
    EXPECT_EQ(first, second);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_NE(GetProcAddress(first, "Other"), nullptr);  // one load is still held
    EXPECT_TRUE(FreeLibrary(second));
    portable::UnregisterLibraries();
    EXPECT_EQ(LoadLibraryA("Abexpw32.dll"), nullptr);
}

TEST(ModuleHandles, TheModuleAndTheProgram) {
    EXPECT_EQ(GetModuleHandleA("TestDialogs.dll"), portable::ModuleInstance());
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(GetModuleHandleA(nullptr), portable::ModuleInstance());
}

}  // namespace
