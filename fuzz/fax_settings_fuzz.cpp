// The settings reader over arbitrary bytes in "orvixfax.ini": no crash, no
// hang, no sanitizer report; and the settings read, written back by the
// fax dialog's save and read again, are the settings that were read, but
// for texts the file cannot hold as they stand (blanks at either end, or
// one pair of quotes around them, which the reader takes away).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "faxdlg/fax_settings.h"
#include "platform/portable/host.h"

namespace {

std::string g_file;

bool HeldAsItStands(const char *text) {
    size_t length = std::strlen(text);
    if (length == 0) return true;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    if (blank(text[0]) || blank(text[length - 1])) return false;
    return !(length >= 2 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0]);
}

void Same(const char *key, const char *read, const char *again) {
    if (HeldAsItStands(read) && std::strcmp(read, again) != 0) {
        std::fprintf(stderr, "%s read \"%s\", saved, read again \"%s\"\n", key, read, again);
        std::abort();
    }
}

void Same(const char *key, int32_t read, int32_t again) {
    if (read != again) {
        std::fprintf(stderr, "%s read %d, saved, read again %d\n", key, read, again);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // In memory where the machine has it: each input is written fifteen
    // times, and a disk would spend the run waiting for it.
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/orvix-settings-fuzz-XXXXXX");
    std::string directory = mkdtemp(pattern.data());
    portable::SetSystemDirectory(directory);
    g_file = directory + "/orvixfax.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::ofstream(g_file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(data),
                                                                      static_cast<std::streamsize>(size));
    FaxSettings read{};
    LoadFaxSettings(&read);
    if (!SaveFaxSettings(&read)) std::abort();
    FaxSettings again{};
    LoadFaxSettings(&again);
    Same("NewRecipient", read.newRecipient, again.newRecipient);
    Same("CurrentSelection", read.currentSelection, again.currentSelection);
    Same("Resolution", read.resolution, again.resolution);
    Same("CoverPage", read.coverPage, again.coverPage);
    Same("SenderName", read.senderName, again.senderName);
    Same("SenderFaxNumber", read.senderFaxNumber, again.senderFaxNumber);
    Same("SenderBusinessNumber", read.senderBusinessNumber, again.senderBusinessNumber);
    Same("SenderHomeNumber", read.senderHomeNumber, again.senderHomeNumber);
    Same("SenderNameTrue", read.senderNameTrue, again.senderNameTrue);
    Same("SenderHomeNumberTrue", read.senderHomeNumberTrue, again.senderHomeNumberTrue);
    Same("SenderFaxNumberTrue", read.senderFaxNumberTrue, again.senderFaxNumberTrue);
    Same("SenderBusinessNumberTrue", read.senderBusinessNumberTrue, again.senderBusinessNumberTrue);
    Same("RecipNameTrue", read.recipNameTrue, again.recipNameTrue);
    Same("RecipNumberTrue", read.recipNumberTrue, again.recipNumberTrue);
    Same("RecipCompanyTrue", read.recipCompanyTrue, again.recipCompanyTrue);
    return 0;
}
