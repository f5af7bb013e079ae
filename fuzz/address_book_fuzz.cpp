// The address book reader over arbitrary bytes: no crash, no hang, no
// sanitizer report; and a book that was read, saved and read again is the
// same book.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "portable/addrbook/book_dump.h"
#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "platform/portable/host.h"

namespace {

std::string g_directory;

WorkingContext *NewContext() {
    WorkingContext *context = nullptr;
    if (!OpenEmptyWorkingContext(&context)) std::abort();
    return context;
}

// As the context's open reads a book: parsed, then groups without members gone.
WorkingContext *Read(const uint8_t *data, size_t size) {
    WorkingContext *context = NewContext();
    if (size > 0) {
        char *bytes = static_cast<char *>(std::malloc(size));
        std::memcpy(bytes, data, size);
        ParseAddressBook(context, bytes, size);
        std::free(bytes);
    }
    RemoveEmptyGroups(context);
    return context;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // In memory where the machine has it: each input is saved, and a disk
    // would spend the run waiting for it.
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/orvix-book-fuzz-XXXXXX");
    g_directory = mkdtemp(pattern.data());
    portable::SetSystemDirectory(g_directory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int blocksBefore = portable::LiveGlobalBlocks();
    WorkingContext *first = Read(data, size);
    std::string firstBook = DumpBook(first);

    // Saved through the module's own writer, then read as the next open would.
    std::string path = g_directory + "\\" ADDRESS_BOOK_FILE_NAME;
    if (!SaveAddressBook(first, path.c_str())) std::abort();
    CloseWorkingContext(&first);
    WorkingContext *second = NewContext();
    if (LoadAddressBook(second) != ERR_NONE) std::abort();
    RemoveEmptyGroups(second);
    std::string secondBook = DumpBook(second);
    CloseWorkingContext(&second);

    if (firstBook != secondBook) {
        std::fprintf(stderr, "book changed by a save and a load:\n--- first\n%s--- second\n%s", firstBook.c_str(),
                     secondBook.c_str());
        std::abort();
    }
    if (portable::LiveGlobalBlocks() != blocksBefore) {
        std::fprintf(stderr, "global blocks leaked: %d before, %d after\n", blocksBefore,
                     portable::LiveGlobalBlocks());
        std::abort();
    }
    return 0;
}
