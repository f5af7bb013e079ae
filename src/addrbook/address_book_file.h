// The address book file "OrvixFax.adb" (file_places.h says where), the small
// file layer under it, its field scanner and the member references of the
// group lines.
//
// Format: one line per person (",first,last,,company,department,notes"
// then ",number,details" per number, or a single "," without numbers), one
// FF byte, then one line per group ("name" then ",person.number" per member).
// Lines end with LF alone.
#ifndef ORVIXFAX_ADDRESS_BOOK_FILE_H
#define ORVIXFAX_ADDRESS_BOOK_FILE_H

#include <cstddef>
#include <cstdint>

#include "addrbook/records.h"
#include "common/byte_scan.h"
#include "common/file_places.h"
#include "platform/win32api.h"

#define ADDRESS_BOOK_FILE_NAME "OrvixFax.adb"

// The path buffer of the system directory, as the module has always sized it.
enum { SYSTEM_DIRECTORY_SIZE = 125 };

struct FileRef {
    char path[MAX_PATH];
    HANDLE handle;  // INVALID_HANDLE_VALUE while not open
    DWORD error;    // the Windows error of the call that failed, for messages
    // Writing: an optional staging block (FileClose writes what is left in
    // it) and whether any write came up short since FileCreate.
    char *writeBuffer;
    uint32_t writeBufferSize;
    uint32_t writeBuffered;
    int32_t writeFailed;
    int32_t writing;  // made by FileCreate: its bytes go to the disk before it closes
};

// "<system directory>\OrvixFax.adb", the book's old place, into a buffer
// of `size` bytes. 0 (and an empty path, which no file operation accepts)
// when the system directory cannot be had or the path does not fit.
int GetSystemBookPath(char *path, size_t size);
// Where the book is read from (file_places.h): the user's own copy in the
// application-data folder when there is one, else the system directory.
FilePlace GetAddressBookPlace(char *path, size_t size);
// The path of GetAddressBookPlace: 0 and an empty path when there is none.
int GetAddressBookPath(char *path, size_t size);

// ---- file layer (0 or a code of records.h; ref->error says why)
// A new file at the path, made only when the name is free (never an
// existing file, never through a link): ERR_CANT_OPEN otherwise.
uint16_t FileCreate(FileRef *ref);
// Opens the path for reading: ERR_CANT_OPEN when there is no such file,
// ERR_CANT_READ when there is one that cannot be opened.
uint16_t FileOpen(FileRef *ref);
uint16_t FileClose(FileRef *ref);
uint16_t FileWrite(FileRef *ref, const void *bytes, uint32_t *count);
uint16_t FileWriteString(FileRef *ref, const char *text);
// The open file's size; -1 when there is no handle or the size cannot be
// told (or is 2 GB or more).
uint16_t FileGetSize(FileRef *ref, int32_t *size);
// Reads `size` bytes from the start straight into `buffer`: ERR_CANT_READ
// when a read fails or the file ends early.
uint16_t FileReadAll(FileRef *ref, char *buffer, int32_t size);
// Opens, reads the whole file into one CreatePtr block (exactly its size,
// no extra byte) and closes it. ERR_CANT_OPEN (no such file),
// ERR_EMPTY_FILE, ERR_CANT_READ (there, but not to be read) or
// ERR_NO_MEMORY; the buffer only on success.
uint16_t ReadFileToBlock(FileRef *ref, char **buffer, int32_t *size);

// ---- field scanner over a loaded buffer; tokens are ended in place, by a
// zero byte over their separator, and stay ended: every token taken stays
// a string while the text lasts.
struct Tokenizer {
    char *start;
    char *last;            // last byte of the text
    char *cursor;
    char *token;           // current token
    char terminator;       // the separator byte that ended the current token
    size_t length;         // of the current token
    int escaped;           // whether the current token holds a backslash
    // The bytes a token may stop at, found 64 at a time: a bit for each of
    // the 64 bytes from `window` on that is a separator of either set, a
    // backslash or a zero byte (or another control byte, which is passed
    // over).
    const char *window;
    uint64_t stops;
};

// Which bytes end a field, besides the backslash (the byte after it belongs
// to the field) and the zero byte that ends the text.
enum SeparatorSet {
    TOKEN_SEPARATORS,  // TAB, LF, comma, FF
    NOTES_SEPARATORS,  // comma alone
};

// Sets up a scanner over `size` bytes whose last byte is already zero.
void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size);
// The first byte from `cursor` on that is neither a space nor a TAB; one
// before `end` must be neither.
char *SkipFieldBlanks(char *cursor, const char *end);
// The stops (see Tokenizer) of the 64 bytes from `at` on; none at or after
// `end` is read.
uint64_t FindFieldStops(const char *at, const char *end);

// The first stop from `scan` on. One always comes: the zero byte that ends
// the text is one.
inline char *NextFieldStop(Tokenizer *tokenizer, char *scan) {
    for (;;) {
        size_t offset = static_cast<size_t>(scan - tokenizer->window);
        if (offset < 64) {
            uint64_t ahead = tokenizer->stops >> offset;
            if (ahead != 0) return scan + __builtin_ctzll(ahead);
            // None in the rest of the window: on from its end.
            scan = const_cast<char *>(tokenizer->window) + 64;
        }
        tokenizer->window = scan;
        tokenizer->stops = FindFieldStops(scan, tokenizer->last + 1);
    }
}

// The next field, or null when the text is used up. A field ends at one of
// its separators, or at the zero byte that ends the text; a backslash takes
// the byte after it into the field. The notes' separators are a part of
// the others, so one set of stops serves both: in the notes a TAB, LF or
// FF is passed over. Inline, as the reader takes a million fields from a
// large book.
inline char *NextToken(Tokenizer *tokenizer, SeparatorSet separators) {
    char *cursor = tokenizer->cursor;
    if (*cursor == ' ' || *cursor == '\t') cursor = SkipFieldBlanks(cursor, tokenizer->last + 1);
    if (*cursor == '\0') {
        tokenizer->cursor = cursor;
        return nullptr;
    }

    char *scan = cursor;
    int escaped = 0;
    for (;;) {
        scan = NextFieldStop(tokenizer, scan);
        char byte = *scan;
        // An escaped byte belongs to the token whatever it is; a backslash
        // at the very end of the text escapes nothing.
        if (byte == '\\') {
            escaped = 1;
            scan += scan[1] != '\0' ? 2 : 1;
            continue;
        }
        if (byte == '\0' || byte == ',') break;
        if (separators == TOKEN_SEPARATORS && (byte == '\t' || byte == '\n' || byte == '\f')) break;
        ++scan;
    }
    tokenizer->token = cursor;
    tokenizer->length = static_cast<size_t>(scan - cursor);
    tokenizer->escaped = escaped;
    if (*scan != '\0') {
        tokenizer->terminator = *scan;
        *scan = '\0';
        ++scan;
    }
    // Where the text ran out the previous token's terminator stays remembered.
    tokenizer->cursor = scan;
    return cursor;
}

// Decodes one field into a fixed field of fieldSize bytes (truncating).
void UnescapeText(const char *text, char *field, size_t fieldSize);
// Decodes the current token as UnescapeText does; one without a backslash
// is copied as it is.
void DecodeToken(const Tokenizer *tokenizer, char *field, size_t fieldSize);
// The same, most fields being short and plain: one chunk, read inside the
// text and written inside the field, copies such a field with its
// terminator (and zeros behind it).
inline void UnescapeToken(const Tokenizer *tokenizer, char *field, size_t fieldSize) {
    if (!tokenizer->escaped && tokenizer->length < 16 && fieldSize >= 16 &&
        tokenizer->last + 1 - tokenizer->token >= 16) {
        CopyHead16(field, tokenizer->token, tokenizer->length);
        return;
    }
    DecodeToken(tokenizer, field, fieldSize);
}
// Escapes and writes one field (nothing for an empty text).
void WriteEscapedField(FileRef *ref, const char *text);

// ---- member references "person.number", 0-based positions
void FormatMemberRef(WorkingContext *context, const MemberLink *link, char *text, size_t size);
// 1 when the text names an existing person and one of its numbers.
int ParseMemberRef(WorkingContext *context, const char *text, PersonRecord **person,
                   NumberRecord **number);

// ---- the book
// 0 and the book; ERR_CANT_READ when the file is there but cannot be read
// (the context is then marked: its empty book is never saved over the
// file); ERR_NO_MEMORY when memory ran out anywhere in the load (nothing of
// the book is kept). A missing or empty file (after asking the exporter
// once) is an empty book.
uint16_t LoadAddressBook(WorkingContext *context);
// Loads from a buffer already in memory (its last byte is never read as
// data and is overwritten with zero; the fields are ended in place, so the
// buffer no longer holds the file's bytes). ERR_NO_MEMORY when a record could
// not be made: the lists are then left empty, never holding part of a book.
uint16_t ParseAddressBook(WorkingContext *context, char *buffer, size_t size);
// Writes the whole book to `path`: into a new file of its own beside it,
// which then takes the book's place (keeping the book's attributes and
// security; a symbolic link is saved through to its target). A failed save
// leaves the previous book as it was. 1 when the book was saved; 0
// otherwise, with GetLastError saying why. Never saves the book of a
// context whose file could not be read.
int SaveAddressBook(WorkingContext *context, const char *path);
// Saves the book where it is read from; when that is the system directory
// and it refuses the save (access denied), into the user's own copy, the
// folder made for it, leaving the old book as it was. `path` (MAX_PATH
// bytes) names the file last tried. 1 when saved; 0 otherwise, with
// GetLastError saying why.
int SaveAddressBookInPlace(WorkingContext *context, char *path, size_t size);
// A new file of the caller's own beside `path` ("<path>.<process>-<n>.new"),
// made only where the name is free: ERR_CANT_OPEN otherwise, ref->error
// saying why.
uint16_t CreateTemporaryBeside(const char *path, FileRef *ref);

// Asks the outside exporter library to write the book file at `path`, the
// place the book is read from. When that is the system directory and it
// refuses new files there, the library is asked for the user's own copy
// instead, and `path` (MAX_PATH bytes) becomes that copy's path.
void ImportFromExporter(char *path, size_t size);

// Group names are written as they stand, as every earlier writer wrote
// them, but for what the reader would split or lose: a separator (comma,
// TAB, LF, FF) or a blank at the start gets a backslash in front, and so
// does each backslash of a run that stands before such a byte or at the
// end of the name. Reading undoes exactly that: a run of backslashes counts
// as escapes only before a byte escaped there or at the end of the name,
// so every other backslash, as older books have them, reads as itself.
inline bool IsGroupNameSeparator(char byte) { return byte == ',' || byte == '\t' || byte == '\n' || byte == '\f'; }
// Whether the byte after a run of backslashes makes the run escapes: the
// end of the name, a separator, or a blank when the run starts the name.
inline bool EndsGroupNameEscapeRun(char next, bool runStartsName) {
    return next == '\0' || IsGroupNameSeparator(next) || (next == ' ' && runStartsName);
}

#endif
