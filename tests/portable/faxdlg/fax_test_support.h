// Shared pieces of the fax dialog tests: a scratch system directory, the
// user's hands as a front end (one handler per dialog, in the order the
// dialogs open), address book texts and a way to read the settings file.
#ifndef ORVIXFAX_TESTS_FAX_TEST_SUPPORT_H
#define ORVIXFAX_TESTS_FAX_TEST_SUPPORT_H

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/portable/automation.h"
#include "platform/portable/front_end.h"
#include "platform/portable/host.h"
#include "platform/win32api.h"

namespace faxtest {

// A fresh directory that plays the system directory for one test.
class ScratchSystemDirectory {
public:
    ScratchSystemDirectory();
    ~ScratchSystemDirectory();
    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &bytes);
bool FileExists(const std::string &path);

// The settings file as key -> value, and its keys in file order.
std::map<std::string, std::string> ReadSettings(const std::string &directory);
std::vector<std::string> SettingsKeyOrder(const std::string &directory);

struct ShownMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

// Plays the user: each dialog that opens is handed to the next handler.
// A handler must end its dialog (the dialogs here cannot be cancelled).
class Hands : public portable::FrontEnd {
public:
    using Handler = std::function<void(HWND)>;
    Hands();
    ~Hands() override;
    Hands &Then(Handler handler);
    void RunDialog(HWND dialog) override;
    int AnswerMessageBox(HWND owner, const std::string &text, const std::string &caption,
                         UINT type) override;

    std::vector<ShownMessageBox> boxes;
    std::vector<std::string> dialogsSeen;  // captions in opening order
    std::vector<std::string> problems;     // dialogs nobody handled

private:
    std::deque<Handler> handlers_;
};

// Address book file pieces.
struct BookNumber {
    std::string number;
    std::string details;
};
std::string PersonLine(const std::string &first, const std::string &last,
                       const std::string &company, const std::vector<BookNumber> &numbers,
                       const std::string &department = "", const std::string &notes = "");
// "Name,p.n,p.n..." from (person, number) positions.
std::string GroupLine(const std::string &name, const std::vector<std::pair<int, int>> &members);
std::string Book(const std::vector<std::string> &personLines,
                 const std::vector<std::string> &groupLines);

// Common steps in the fax dialog.
void SelectLine(HWND dialog, int listId, const std::string &text);

// Attaches the module to the portable layer once per process.
void AttachModule();

}  // namespace faxtest

#endif
