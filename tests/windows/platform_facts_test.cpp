// What the test host takes for granted about Windows, checked where it runs
// (Wine): if one of these breaks, the scenarios' verdicts mean nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string SystemDirectory() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string ScratchDirectory(const char *name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string LoadedFrom(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

constexpr DWORD kSafeSearch =
    LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS;

// A library planted in the current directory: the careless load finds it,
// the load the module uses does not. The control case shows the plant works.
TEST(LibrarySearch, CurrentDirectoryIsSearchedOnlyByTheBareLoad) {
    std::string dir = ScratchDirectory("orvix-plant-facts");
    std::string planted = dir + "\\Abexpw32.dll";
    ASSERT_TRUE(CopyFileA(ORVIX_EXPORTER_DLL, planted.c_str(), FALSE)) << ORVIX_EXPORTER_DLL;
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));

    HMODULE safe = LoadLibraryExA("Abexpw32.dll", nullptr, kSafeSearch);
    HMODULE careless = LoadLibraryA("Abexpw32.dll");
    std::string carelessPath = careless ? LoadedFrom(careless) : "";
    if (safe) FreeLibrary(safe);
    if (careless) FreeLibrary(careless);
    SetCurrentDirectoryA(previous);
    DeleteFileA(planted.c_str());

    EXPECT_EQ(safe, nullptr);
    ASSERT_NE(careless, nullptr);
    EXPECT_EQ(lstrcmpiA(carelessPath.c_str(), planted.c_str()), 0) << carelessPath;
}

TEST(LibrarySearch, SystemDirectoryIsSearchedByTheSafeLoad) {
    std::string planted = SystemDirectory() + "\\Abexpw32.dll";
    ASSERT_TRUE(CopyFileA(ORVIX_EXPORTER_DLL, planted.c_str(), FALSE));
    HMODULE safe = LoadLibraryExA("Abexpw32.dll", nullptr, kSafeSearch);
    std::string from = safe ? LoadedFrom(safe) : "";
    FARPROC proc = safe ? GetProcAddress(safe, "FDB_ExportAsText") : nullptr;
    if (safe) FreeLibrary(safe);
    DeleteFileA(planted.c_str());
    ASSERT_NE(safe, nullptr);
    EXPECT_EQ(lstrcmpiA(from.c_str(), planted.c_str()), 0) << from;
    EXPECT_NE(proc, nullptr);
}

// The host frees what the module hands over through the block's handle.
TEST(GlobalMemory, LockedMoveableBlockLeadsBackToItsHandle) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 102400);
    ASSERT_NE(handle, nullptr);
    char *p = static_cast<char *>(GlobalLock(handle));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[102399], 0);
    EXPECT_EQ(GlobalHandle(p), handle);
    EXPECT_GE(GlobalSize(handle), 102400u);
    EXPECT_FALSE(GlobalUnlock(GlobalHandle(p)));
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST(SystemDirectory, IsAWritableFolderOfThePrefix) {
    std::string dir = SystemDirectory();
    EXPECT_GT(dir.size(), 3u);
    std::string probe = dir + "\\orvix-probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(DeleteFileA(probe.c_str()));
}

}  // namespace

namespace {

// The save of the book leans on ReplaceFileA: the new file takes the old
// one's place (with its attributes and security on Windows; Wine keeps
// neither), a read-only book stays, and a book not yet there is told apart
// by ERROR_FILE_NOT_FOUND.
TEST(Replacing, ReplaceFileLeavesAReadOnlyFileAloneAndTellsAMissingOne) {
    std::string dir = ScratchDirectory("orvix-replace-facts");
    std::string book = dir + "\\book.adb", fresh = dir + "\\book.adb.new";
    auto write = [](const std::string &path, const char *text) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(file);
    };
    write(book, "old");
    write(fresh, "new");
    EXPECT_TRUE(ReplaceFileA(book.c_str(), fresh.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);

    write(fresh, "newer");
    ASSERT_TRUE(SetFileAttributesA(book.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ReplaceFileA(book.c_str(), fresh.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    EXPECT_NE(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES) << "the new file is still there to remove";
    SetFileAttributesA(book.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(book.c_str());

    EXPECT_FALSE(ReplaceFileA(book.c_str(), fresh.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    DeleteFileA(fresh.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
