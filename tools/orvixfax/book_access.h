// How the book commands reach the address book: its path, its lock, its
// load and its save, each failure said in the user's words.
#ifndef ORVIXFAX_TOOL_BOOK_ACCESS_H
#define ORVIXFAX_TOOL_BOOK_ACCESS_H

#include <memory>
#include <string>
#include <string_view>

#include "addrbook/records.h"
#include "platform/win32api.h"

// The book's path as the module spells it ('\' before the name).
std::string BookPath(const std::string &directory);
// A path as the user's system spells it, for messages.
std::string Shown(const std::string &path);

// Whether anything stands at the book's path: only a book that is not
// there at all is missing (one that cannot be read is not).
bool BookExists(const std::string &path);

struct ContextCloser {
    void operator()(WorkingContext *context) const { CloseWorkingContext(&context); }
};
using BookContext = std::unique_ptr<WorkingContext, ContextCloser>;

// The book as the module opens it: read, then groups without members gone.
// A missing or empty file is an empty book. Null with a message naming the
// path and the reason when the file is there but cannot be read, or memory
// runs out: then nothing of it is to be saved.
BookContext LoadBook(const std::string &path, std::string &error);

// The book file's bytes as the module reads them, without taking them
// apart, in the block the module reads them into: none for a missing or
// empty file.
class BookBytes {
public:
    BookBytes() = default;
    BookBytes(const BookBytes &) = delete;
    BookBytes &operator=(const BookBytes &) = delete;
    ~BookBytes();
    // False with the same messages as LoadBook when the file is there but
    // cannot be read, or memory runs out.
    bool Read(const std::string &path, std::string &error);
    std::string_view View() const { return std::string_view(buffer_ == nullptr ? "" : buffer_, size_); }

private:
    char *buffer_ = nullptr;
    size_t size_ = 0;
};

// Saves the book. False with a message naming the path and the reason; the
// file at the path is then the one that was there.
bool SaveBook(WorkingContext *context, const std::string &path, std::string &error);

// The lock every command that changes the book holds from its load to its
// save, so that two of them never interleave and no change is lost: an
// exclusive lock on "OrvixFax.adb.lock" beside the book. The lock file is
// made when missing and stays (removing it would let a third command lock a
// new file while the second still holds the old one).
class BookLock {
public:
    BookLock() = default;
    BookLock(const BookLock &) = delete;
    BookLock &operator=(const BookLock &) = delete;
    ~BookLock();
    // Waits for the lock, saying once on standard error when another
    // command holds it. False with a message when it cannot be had.
    bool Acquire(const std::string &bookPath, std::string &error);

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

#endif
