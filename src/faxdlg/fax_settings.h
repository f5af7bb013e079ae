// The user's last fax choices, kept between print jobs in "orvixfax.ini",
// section "User Fax Info": in the system directory, or in the user's own
// copy in the application-data folder (file_places.h says which). Read
// once when the fax dialog opens and written once when it ends (with
// "F&ax" or "&Print").
#ifndef ORVIXFAX_FAX_SETTINGS_H
#define ORVIXFAX_FAX_SETTINGS_H

#include <cstdint>

#include "platform/win32api.h"

// One field per key, in key order. Lives only for one read or one write.
struct FaxSettings {
    int32_t newRecipient;           // "NewRecipient": 1 = "True" (case matters)
    char currentSelection[128];     // "CurrentSelection": the typed new recipient's name
    int16_t resolution;             // "Resolution": 0 = Ultrafine, 1 = Fine
    int16_t coverPage;              // "CoverPage": 1 = "True" (any case)
    char senderName[82];            // widths of the SenderInfo fields they travel to
    char senderFaxNumber[80];
    char senderBusinessNumber[80];
    char senderHomeNumber[80];
    int32_t senderNameTrue;
    int32_t senderHomeNumberTrue;
    int32_t senderFaxNumberTrue;
    int32_t senderBusinessNumberTrue;
    int32_t recipNameTrue;
    int32_t recipNumberTrue;
    int32_t recipCompanyTrue;
};

// Fills `settings` from the file; a missing file, section or key gives that
// key's default. A stored text longer than its field is cut to fit.
void LoadFaxSettings(FaxSettings *settings);

// Writes all fifteen keys where the settings are read from; when that is
// the system directory and it refuses the writes (access denied), into the
// user's own copy instead, the old file left as it was. TRUE only when
// every write went through. Each write leaves the file whole, the old text
// or the new. Nothing is written when the settings path does not fit in
// MAX_PATH: a cut path would name some other file.
BOOL SaveFaxSettings(const FaxSettings *settings);

// The path the settings are read from into a buffer of MAX_PATH bytes: the
// user's own copy when there is one, else the system directory's file;
// FALSE (and an empty buffer) when neither can be had whole.
BOOL GetFaxSettingsPath(char *path, size_t size);

#endif
