// The file layer under the book, and the save that never loses the book.
#include <sys/resource.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "book_fixture.h"

namespace {

class FileLayerTest : public BookTest {
protected:
    FileRef Ref(const std::string &path) {
        FileRef ref{};
        CopyField(ref.path, path.c_str());
        ref.handle = INVALID_HANDLE_VALUE;
        return ref;
    }
};

TEST_F(FileLayerTest, ReadFileToBlockTellsMissingFromEmpty) {
    FileRef ref = Ref(ModulePath());
    char *buffer = reinterpret_cast<char *>(0x1);
    int32_t size = 7;
    EXPECT_EQ(ReadFileToBlock(&ref, &buffer, &size), ERR_CANT_OPEN);
    EXPECT_EQ(buffer, nullptr);
    WriteBook("");
    EXPECT_EQ(ReadFileToBlock(&ref, &buffer, &size), ERR_EMPTY_FILE);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(FileLayerTest, ReadFileToBlockReadsEveryChunkExactly) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>('a' + i % 26);
    bytes[1023] = '#';
    bytes[1024] = '$';
    bytes[4999] = '!';
    WriteBook(bytes);
    FileRef ref = Ref(ModulePath());
    char *buffer = nullptr;
    int32_t size = 0;
    ASSERT_EQ(ReadFileToBlock(&ref, &buffer, &size), ERR_NONE);
    ASSERT_EQ(size, 5000);
    EXPECT_EQ(std::string(buffer, 5000), bytes);
    EXPECT_EQ(GlobalSize(GlobalHandle(buffer)), 5000u) << "no byte beyond the file's";
    void *block = buffer;
    DisposePtr(&block);
}

TEST_F(FileLayerTest, NoMemoryForTheBytesFailsTheOpen) {
    WriteBook(",Ann,Lee,,,,,1,\n\f");
    FileRef ref = Ref(ModulePath());
    char *buffer = nullptr;
    int32_t size = 0;
    portable::FailAllocations(1);
    EXPECT_EQ(ReadFileToBlock(&ref, &buffer, &size), ERR_NO_MEMORY);
    EXPECT_EQ(buffer, nullptr);
    portable::FailAllocations(0);

    WorkingContext *context = nullptr;
    // Context, two lists, job record and array, sender block: the seventh
    // allocation is the file's buffer.
    portable::FailAllocations(1, 6);
    EXPECT_EQ(OpenWorkingContext(&context), 0);
    portable::FailAllocations(0);
    EXPECT_EQ(CloseWorkingContext(&context), 1);
    EXPECT_EQ(ReadBook(), ",Ann,Lee,,,,,1,\n\f") << "the book is untouched";
}

TEST_F(FileLayerTest, GetSizeWithoutAHandle) {
    FileRef ref = Ref(ModulePath());
    int32_t size = 0;
    FileGetSize(&ref, &size);
    EXPECT_EQ(size, -1);
}

TEST_F(FileLayerTest, WritesAreCountedAndStringsWrittenWithoutTerminator) {
    FileRef ref = Ref(ModulePath());
    ASSERT_EQ(FileCreate(&ref), ERR_NONE);
    uint32_t count = 3;
    FileWrite(&ref, "abcdef", &count);
    EXPECT_EQ(count, 3u);
    FileWriteString(&ref, "");
    FileWriteString(&ref, "xyz");
    FileClose(&ref);
    EXPECT_EQ(ReadBook(), "abcxyz");
    EXPECT_EQ(ref.writeFailed, 0);
}

TEST_F(FileLayerTest, SavingReplacesTheWholeFileAndLeavesNothingBeside) {
    WriteBook(std::string(10000, 'x'));
    Empty();
    AddPerson("Ann", "", "");
    Save();
    EXPECT_EQ(ReadBook(), ",Ann,,,,,,\n\f");
    EXPECT_EQ(LeftBeside(), "") << "no temporary file left behind";
}

// Leftovers of saves that were stopped, and links planted where a save
// might put its new file, change nothing: each save makes a file of its
// own, never opening one that is there.
TEST_F(FileLayerTest, LeftoversAndPlantedLinksBesideTheBookChangeNothing) {
    Load(",Ann,Lee,,,,,1,\n\f");
    AddPerson("Bo", "", "");
    const auto permissions = std::filesystem::status(BookPath()).permissions();
    const std::string victim = directory_ + "/victim";
    std::ofstream(victim) << "keep";
    std::string pid = std::to_string(::getpid());
    std::filesystem::create_directory(BookPath() + ".new");
    std::filesystem::create_symlink(victim, BookPath() + "." + pid + "-0.new");
    std::ofstream(BookPath() + "." + pid + "-1.new") << "stale";
    std::filesystem::permissions(BookPath() + "." + pid + "-1.new", std::filesystem::perms::none);
    Save();
    EXPECT_EQ(ReadBook(), ",Ann,Lee,,,,,1,\n,Bo,,,,,,\n\f");
    EXPECT_FALSE(std::filesystem::is_symlink(BookPath()));
    EXPECT_EQ(std::filesystem::status(BookPath()).permissions(), permissions);
    std::ifstream kept(victim);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "keep");
}

TEST_F(FileLayerTest, SaveToAMissingDirectoryReportsFailure) {
    Empty();
    AddPerson("Bo", "", "");
    std::string path = directory_ + "\\missing\\" ADDRESS_BOOK_FILE_NAME;
    EXPECT_EQ(SaveAddressBook(context_, path.c_str()), 0);
    EXPECT_EQ(SaveAddressBook(context_, ""), 0);
}

// A disk that fills up half way through: the old book must stay whole.
TEST_F(FileLayerTest, SaveThatRunsOutOfSpaceKeepsTheOldBook) {
    const std::string old = ",Old,Book,,,,,1,\n\f";
    Load(old);
    for (int i = 0; i < 3000; ++i) AddPerson("Person", "With A Long Name", "And A Company", {{"12345678", "x"}});
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int saved_ok = SaveAddressBook(context_, ModulePath().c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(saved_ok, 0);
    EXPECT_TRUE(ReadBook() == old);
    EXPECT_EQ(LeftBeside(), "");
}

// The same through the layer's write-failure switch, at every write of a
// staged save and at points of an unstaged one.
TEST_F(FileLayerTest, SaveWithAFailedWriteAnywhereKeepsTheOldBook) {
    const std::string old = ",Old,Book,,,,,1,\n\f";
    Load(old);
    for (int i = 0; i < 3000; ++i) AddPerson("Person", "With A Long Name", "And A Company", {{"12345678", "x"}});
    // About 159 kB: three staged writes.
    for (int skip = 0; skip < 3; ++skip) {
        portable::FailFileWrites(1, skip);
        EXPECT_EQ(SaveAddressBook(context_, ModulePath().c_str()), 0) << skip;
        portable::FailFileWrites(0);
        EXPECT_TRUE(ReadBook() == old) << skip;
    }
    for (int skip : {0, 1, 7, 500}) {
        portable::FailAllocations(1);  // no staging block: some 600 small writes
        portable::FailFileWrites(1, skip);
        EXPECT_EQ(SaveAddressBook(context_, ModulePath().c_str()), 0) << skip;
        portable::FailFileWrites(0);
        portable::FailAllocations(0);
        EXPECT_TRUE(ReadBook() == old) << skip;
    }
    EXPECT_EQ(LeftBeside(), "");
    Save();
    EXPECT_EQ(ReadBook().size(), old.size() + 3000 * 53) << "with the disk back, the save goes through";
}

TEST_F(FileLayerTest, SaveWithoutMemoryForItsStagingStillWritesTheBook) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"555-1234", "office"}});
    AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    portable::FailAllocations(1);
    Save();
    portable::FailAllocations(0);
    EXPECT_EQ(ReadBook(), ",Ann,Lee,,Acme,,,555-1234,office\n\fTeam,0.0\n");
}

TEST_F(FileLayerTest, ModuleBuildsThePathFromTheSystemDirectory) {
    char path[MAX_PATH];
    ASSERT_EQ(GetAddressBookPath(path, sizeof path), 1);
    EXPECT_EQ(std::string(path), ModulePath());
    // A system directory that does not fit the module's buffer is refused
    // rather than cut short.
    portable::SetSystemDirectory("/" + std::string(130, 'd'));
    EXPECT_EQ(GetAddressBookPath(path, sizeof path), 0);
    EXPECT_STREQ(path, "");
    WorkingContext *context = nullptr;
    EXPECT_EQ(OpenWorkingContext(&context), 1) << "no book to be had is an empty book";
    EXPECT_EQ(context->persons->next, nullptr);
    CloseWorkingContext(&context);
}

}  // namespace
