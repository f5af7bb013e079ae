#include "fax_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/module_instance.h"

namespace faxtest {

ScratchSystemDirectory::ScratchSystemDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvixfax-fax-XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    if (made == nullptr) ADD_FAILURE() << "cannot make a scratch directory";
    path_ = pattern;
    portable::SetSystemDirectory(path_);
}

ScratchSystemDirectory::~ScratchSystemDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string &path) { return std::filesystem::exists(path); }

namespace {

// Lines of the settings file with the line end taken off.
std::vector<std::string> SettingsLines(const std::string &directory) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(directory + "/orvixfax.ini"));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::map<std::string, std::string> ReadSettings(const std::string &directory) {
    std::map<std::string, std::string> values;
    bool inSection = false;
    for (const std::string &line : SettingsLines(directory)) {
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[User Fax Info]";
            continue;
        }
        size_t equals = line.find('=');
        if (inSection && equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

std::vector<std::string> SettingsKeyOrder(const std::string &directory) {
    std::vector<std::string> keys;
    bool inSection = false;
    for (const std::string &line : SettingsLines(directory)) {
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[User Fax Info]";
            continue;
        }
        size_t equals = line.find('=');
        if (inSection && equals != std::string::npos) keys.push_back(line.substr(0, equals));
    }
    return keys;
}

namespace {

std::string Escaped(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == ',') out += "\\,";
        else if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

}  // namespace

std::string PersonLine(const std::string &first, const std::string &last,
                       const std::string &company, const std::vector<BookNumber> &numbers,
                       const std::string &department, const std::string &notes) {
    std::string line = "," + Escaped(first) + "," + Escaped(last) + ",," + Escaped(company) + "," +
                       Escaped(department) + "," + Escaped(notes);
    if (numbers.empty()) line += ",";
    for (const BookNumber &number : numbers)
        line += "," + Escaped(number.number) + "," + Escaped(number.details);
    return line + "\n";
}

std::string GroupLine(const std::string &name, const std::vector<std::pair<int, int>> &members) {
    std::string line = name;
    for (const auto &[person, number] : members)
        line += "," + std::to_string(person) + "." + std::to_string(number);
    return line + "\n";
}

std::string Book(const std::vector<std::string> &personLines,
                 const std::vector<std::string> &groupLines) {
    std::string book;
    for (const std::string &line : personLines) book += line;
    book += "\f";
    for (const std::string &line : groupLines) book += line;
    return book;
}

void AttachModule() { DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr); }

}  // namespace faxtest
