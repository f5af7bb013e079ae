// The address book file "OrvixFax.adb" in the system directory, the small
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

#include "../platform/win32api.h"
#include "records.h"

#define ADDRESS_BOOK_FILE_NAME "OrvixFax.adb"

// The path buffer of the system directory, as the module has always sized it.
enum { SYSTEM_DIRECTORY_SIZE = 125 };

struct FileRef {
    char path[MAX_PATH];
    HFILE handle;
    int32_t mode;  // _lopen mode: OF_READ for the load
    // Writing: an optional staging block (FileClose writes what is left in
    // it) and whether any write came up short since FileCreate.
    char *writeBuffer;
    uint32_t writeBufferSize;
    uint32_t writeBuffered;
    int32_t writeFailed;
};

// "<system directory>\OrvixFax.adb" into a buffer of `size` bytes. 0 (and
// an empty path, which no file operation accepts) when the system
// directory cannot be had or the path does not fit.
int GetAddressBookPath(char *path, size_t size);

// ---- file layer (0 or a code of records.h)
uint16_t FileCreate(FileRef *ref);
uint16_t FileOpen(FileRef *ref);
uint16_t FileClose(FileRef *ref);
uint16_t FileWrite(FileRef *ref, const void *bytes, uint32_t *count);
uint16_t FileWriteString(FileRef *ref, const char *text);
uint16_t FileGetSize(FileRef *ref, int32_t *size);
uint16_t FileReadAll(FileRef *ref, char *buffer, int32_t size);
// Opens, reads the whole file into one CreatePtr block (exactly its size,
// no extra byte) and closes it. ERR_CANT_OPEN, ERR_EMPTY_FILE (null
// buffer) or ERR_NO_MEMORY.
uint16_t ReadFileToBlock(FileRef *ref, char **buffer, int32_t *size);

// ---- field scanner over a loaded buffer; tokens are ended in place
struct Tokenizer {
    char *start;
    char *last;            // last byte of the text
    char *cursor;
    char *token;           // current token
    char *separator;       // where the current token's separator was, or null
    char terminator;       // the separator byte that ended the current token
};

extern const char TOKEN_SEPARATORS[];        // TAB, LF, comma, FF
extern const char NOTES_SEPARATORS[];        // comma alone

// Sets up a scanner over `size` bytes whose last byte is already zero.
void StartTokenizer(Tokenizer *tokenizer, char *text, size_t size);
// The next field, or null when the text is used up.
char *NextToken(Tokenizer *tokenizer, const char *separators);

// Decodes one field into a fixed field of fieldSize bytes (truncating).
void UnescapeText(const char *text, char *field, size_t fieldSize);
// Escapes and writes one field (nothing for an empty text).
void WriteEscapedField(FileRef *ref, const char *text);

// ---- member references "person.number", 0-based positions
void FormatMemberRef(WorkingContext *context, const MemberLink *link, char *text, size_t size);
// 1 when the text names an existing person and one of its numbers.
int ParseMemberRef(WorkingContext *context, const char *text, PersonRecord **person,
                   NumberRecord **number);

// ---- the book
// 0, or ERR_NO_MEMORY when the file's bytes could not be held or read. A
// missing or empty file (after asking the exporter once) is an empty book.
uint16_t LoadAddressBook(WorkingContext *context);
// Loads from a buffer already in memory (its last byte is never read as
// data and is overwritten with zero). Used by LoadAddressBook.
uint16_t ParseAddressBook(WorkingContext *context, char *buffer, size_t size);
// Writes the whole book to `path`. The new text goes to a file beside it
// that replaces the old one only when complete, so a failed save leaves
// the previous book as it was. 1 when the book was saved, 0 otherwise.
int SaveAddressBook(WorkingContext *context, const char *path);

// Asks the outside exporter library to write the book file.
void ImportFromExporter();

// The bytes a group name carries with a backslash in front in the file:
// those the reader would split the name at (comma, TAB, LF, FF), the
// backslash itself, and a blank (escaped only at the start of the name,
// where the reader skips blanks).
inline bool IsGroupNameEscape(char byte) {
    return byte == ',' || byte == '\t' || byte == '\n' || byte == '\f' || byte == '\\' || byte == ' ';
}

#endif
