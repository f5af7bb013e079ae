#include "faxdlg/fax_settings.h"

#include <cstring>

#include "common/file_places.h"
#include "common/text_field.h"

namespace {

const char kSection[] = "User Fax Info";
const char kFileName[] = "orvixfax.ini";

// The settings compare yes/no words without regard to case for two of the
// keys; plain ASCII folding is what those words need.
bool EqualsIgnoringCase(const char *a, const char *b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

// Reads one text key through the 128-byte buffer every key shares. Without
// a file (no usable path) every key reads as absent.
void ReadText(const char *key, const char *fallback, char *field, size_t fieldSize,
              const char *file) {
    char buffer[128];
    std::memset(buffer, 0, sizeof buffer);
    if (file != nullptr) {
        GetPrivateProfileStringA(kSection, key, fallback, buffer, sizeof buffer, file);
        buffer[sizeof buffer - 1] = '\0';
    } else {
        CopyField(buffer, fallback);
    }
    CopyField(field, fieldSize, buffer);
}

int32_t ReadFlag(const char *key, int fallback, const char *file) {
    if (file == nullptr) return fallback;
    return static_cast<int32_t>(GetPrivateProfileIntA(kSection, key, fallback, file));
}

// "<system directory>\orvixfax.ini", the old place; an empty path when the
// system directory cannot be had or the name does not fit behind it.
void GetSystemSettingsPath(char *path, size_t size) {
    std::memset(path, 0, size);
    char directory[MAX_PATH];
    std::memset(directory, 0, sizeof directory);
    UINT length = GetSystemDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return;
    if (length + 1 + std::strlen(kFileName) + 1 > size) return;
    CopyField(path, size, directory);
    AppendField(path, size, "\\");
    AppendField(path, size, kFileName);
}

FilePlace GetFaxSettingsPlace(char *path, size_t size) {
    char system[MAX_PATH];
    GetSystemSettingsPath(system, sizeof system);
    FilePlace place = ChooseReadPlace(kFileName, system, path, size);
    if (place == PLACE_NONE) std::memset(path, 0, size);
    return place;
}

// Writes all fifteen keys to the file at `path`. Every key is written even
// after one fails (each write leaves the file whole); TRUE only when all of
// them were, `refused` telling whether a write was refused the right to.
BOOL WriteAllKeys(const FaxSettings *settings, const char *path, bool *refused) {
    BOOL written = TRUE;
    *refused = false;
    // The last error is cleared first: a write that fails without setting
    // it is not taken for a refusal by an error left from before.
    auto write = [&](const char *key, const char *value) {
        SetLastError(NO_ERROR);
        if (WritePrivateProfileStringA(kSection, key, value, path)) return;
        if (WriteWasRefused(GetLastError())) *refused = true;
        written = FALSE;
    };
    // The record may come from anywhere: a field is read no further than
    // its own size, and the writer never gets an unterminated text.
    auto writeText = [&](const char *key, const char *value, size_t valueSize) {
        char text[128];
        CopyFieldN(text, sizeof text, value, valueSize);
        write(key, text);
    };
    auto writeFlag = [&](const char *key, int32_t value) {
        char text[16];
        wsprintfA(text, "%d", static_cast<int>(value));
        write(key, text);
    };
    write("NewRecipient", settings->newRecipient == 1 ? "True" : "False");
    writeText("CurrentSelection", settings->currentSelection, sizeof settings->currentSelection);
    write("Resolution", settings->resolution == 1 ? "Fine" : "Ultrafine");
    write("CoverPage", settings->coverPage == 1 ? "True" : "False");
    writeText("SenderName", settings->senderName, sizeof settings->senderName);
    writeText("SenderFaxNumber", settings->senderFaxNumber, sizeof settings->senderFaxNumber);
    writeText("SenderBusinessNumber", settings->senderBusinessNumber, sizeof settings->senderBusinessNumber);
    writeText("SenderHomeNumber", settings->senderHomeNumber, sizeof settings->senderHomeNumber);
    writeFlag("SenderNameTrue", settings->senderNameTrue);
    writeFlag("SenderHomeNumberTrue", settings->senderHomeNumberTrue);
    writeFlag("SenderFaxNumberTrue", settings->senderFaxNumberTrue);
    writeFlag("SenderBusinessNumberTrue", settings->senderBusinessNumberTrue);
    writeFlag("RecipNameTrue", settings->recipNameTrue);
    writeFlag("RecipNumberTrue", settings->recipNumberTrue);
    writeFlag("RecipCompanyTrue", settings->recipCompanyTrue);
    return written;
}

}  // namespace

BOOL GetFaxSettingsPath(char *path, size_t size) {
    if (path == nullptr || size == 0) return FALSE;
    return GetFaxSettingsPlace(path, size) != PLACE_NONE ? TRUE : FALSE;
}

void LoadFaxSettings(FaxSettings *settings) {
    if (settings == nullptr) return;
    std::memset(settings, 0, sizeof *settings);
    char path[MAX_PATH];
    const char *file = GetFaxSettingsPath(path, sizeof path) ? path : nullptr;

    // Three ways of reading yes/no: "NewRecipient" minds case, the other two
    // do not, and any other word gives the other value.
    char word[128];
    ReadText("NewRecipient", "False", word, sizeof word, file);
    settings->newRecipient = std::strcmp(word, "True") == 0 ? 1 : 0;
    ReadText("CurrentSelection", "", settings->currentSelection,
             sizeof settings->currentSelection, file);
    ReadText("Resolution", "Ultrafine", word, sizeof word, file);
    settings->resolution = EqualsIgnoringCase(word, "Ultrafine") ? 0 : 1;
    ReadText("CoverPage", "False", word, sizeof word, file);
    settings->coverPage = EqualsIgnoringCase(word, "True") ? 1 : 0;

    ReadText("SenderName", "", settings->senderName, sizeof settings->senderName, file);
    ReadText("SenderFaxNumber", "", settings->senderFaxNumber,
             sizeof settings->senderFaxNumber, file);
    ReadText("SenderBusinessNumber", "", settings->senderBusinessNumber,
             sizeof settings->senderBusinessNumber, file);
    ReadText("SenderHomeNumber", "", settings->senderHomeNumber,
             sizeof settings->senderHomeNumber, file);

    settings->senderNameTrue = ReadFlag("SenderNameTrue", 0, file);
    settings->senderHomeNumberTrue = ReadFlag("SenderHomeNumberTrue", 0, file);
    settings->senderFaxNumberTrue = ReadFlag("SenderFaxNumberTrue", 0, file);
    settings->senderBusinessNumberTrue = ReadFlag("SenderBusinessNumberTrue", 0, file);
    settings->recipNameTrue = ReadFlag("RecipNameTrue", 1, file);
    settings->recipNumberTrue = ReadFlag("RecipNumberTrue", 1, file);
    settings->recipCompanyTrue = ReadFlag("RecipCompanyTrue", 1, file);
}

BOOL SaveFaxSettings(const FaxSettings *settings) {
    if (settings == nullptr) return FALSE;
    char path[MAX_PATH];
    FilePlace place = GetFaxSettingsPlace(path, sizeof path);
    if (place == PLACE_NONE) return FALSE;
    bool refused = false;
    if (WriteAllKeys(settings, path, &refused)) return TRUE;
    // The system directory refused the user: the user's own copy, the
    // folder made for it, takes the settings, and is read from now on.
    if (place != PLACE_SYSTEM || !refused) return FALSE;
    if (!GetUserFilePath(kFileName, path, sizeof path, TRUE)) return FALSE;
    return WriteAllKeys(settings, path, &refused);
}
