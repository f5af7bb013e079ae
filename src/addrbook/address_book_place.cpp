// Where the address book is read from and saved to: the user's own copy
// when there is one, else the system directory, and the user's own copy
// when the system directory refuses the save (file_places.h).
#include <cstring>

#include "addrbook/address_book_file.h"
#include "common/text_field.h"

FilePlace GetAddressBookPlace(char *path, size_t size) {
    char system[MAX_PATH];
    GetSystemBookPath(system, sizeof system);
    return ChooseReadPlace(ADDRESS_BOOK_FILE_NAME, system, path, size);
}

int GetAddressBookPath(char *path, size_t size) { return GetAddressBookPlace(path, size) != PLACE_NONE ? 1 : 0; }

int SaveAddressBookInPlace(WorkingContext *context, char *path, size_t size) {
    FilePlace place = GetAddressBookPlace(path, size);
    if (place == PLACE_NONE) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (SaveAddressBook(context, path)) return 1;
    DWORD error = GetLastError();
    // Only a refusal of the old place moves the book; a book that could not
    // be read is never saved anywhere, least of all where it would be read
    // in place of the one it could not see.
    if (place != PLACE_SYSTEM || !WriteWasRefused(error) || context == nullptr || context->bookUnreadable) {
        SetLastError(error);
        return 0;
    }
    if (!GetUserFilePath(ADDRESS_BOOK_FILE_NAME, path, size, TRUE)) {
        SetLastError(error);
        return 0;
    }
    return SaveAddressBook(context, path);
}
