#include "support/scenario/scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace scenario {

namespace {

std::string Trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// Splits "word rest"; quoted words keep their blanks (no escapes needed
// in headers).
std::vector<std::string> Words(const std::string &line, bool &ok) {
    std::vector<std::string> words;
    ok = true;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') { ++i; continue; }
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) { ok = false; return words; }
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = line.find_first_of(" \t", i);
            if (end == std::string::npos) end = line.size();
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

bool ParseClock(const std::string &date, const std::string &time, Clock &clock) {
    char extra = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &clock.year, &clock.month, &clock.day, &extra) != 3) return false;
    if (std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &clock.hour, &clock.minute, &clock.second, &extra) != 3) return false;
    return clock.month >= 1 && clock.month <= 12 && clock.day >= 1 && clock.day <= 31 && clock.hour < 24 &&
           clock.minute < 60 && clock.second < 60;
}

bool IsDataName(const std::string &name) {
    // Data files are plain names in the data folder, never paths.
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name != "." && name != "..";
}

}  // namespace

const std::vector<std::string> &KnownCalls() {
    static const std::vector<std::string> calls = {
        "CreatePCLOrvixFaxInfo", "CreatePSOrvixFaxInfo", "PCLOrvixFaxCall", "PSOrvixFaxCall",
        "PCLOrvixFaxCallEx",     "PSOrvixFaxCallEx",     "OrvixFaxBookCall", "EditNumberDlgProc"};
    return calls;
}

bool ParseScenario(const std::string &text, const std::string &name, Scenario &out, std::string &error) {
    out = Scenario{};
    out.name = name;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    auto fail = [&](const std::string &why) {
        error = name + ":" + std::to_string(number) + ": " + why + ": " + Trim(raw);
        return false;
    };
    bool inScript = false;
    std::ostringstream script;
    while (std::getline(in, raw)) {
        ++number;
        if (inScript) {
            script << raw << "\n";
            continue;
        }
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        bool ok = true;
        std::vector<std::string> w = Words(line, ok);
        if (!ok) return fail("unclosed quote");
        const std::string &key = w[0];
        auto want = [&](size_t n) { return w.size() == n + 1; };
        if (key == "script" && want(0)) {
            inScript = true;
            out.scriptFirstLine = number + 1;
        } else if (key == "call" && want(1)) {
            const auto &calls = KnownCalls();
            if (std::find(calls.begin(), calls.end(), w[1]) == calls.end()) return fail("unknown export");
            if (out.call.empty()) out.call = w[1];
            out.calls.push_back(w[1]);
        } else if (key == "clock" && want(2)) {
            if (!ParseClock(w[1], w[2], out.clock)) return fail("clock wants YYYY-MM-DD HH:MM:SS");
            out.hasClock = true;
        } else if ((key == "book" || key == "settings" || key == "exporter-book" || key == "user-book" ||
                    key == "user-settings") &&
                   want(1)) {
            if (!IsDataName(w[1])) return fail("a data file name, not a path");
            (key == "book"            ? out.book
             : key == "settings"      ? out.settings
             : key == "user-book"     ? out.userBook
             : key == "user-settings" ? out.userSettings
                                      : out.exporterBook) = w[1];
        } else if (key == "system-directory" && want(1)) {
            if (w[1] != "unwritable") return fail("system-directory is unwritable");
            out.systemDirectoryUnwritable = true;
        } else if (key == "book-unreadable" && want(0)) {
            out.bookUnreadable = true;
        } else if (key == "exporter" && want(1)) {
            if (w[1] != "none" && w[1] != "system" && w[1] != "current-directory")
                return fail("exporter is none, system or current-directory");
            out.exporter = w[1];
        } else if (key == "record" && want(1)) {
            if (w[1] != "null" && w[1] != "preset") return fail("record is null or preset");
            out.record = w[1];
        } else if (key == "number" && want(3)) {
            if (w[1] != "new" && w[1] != "edit") return fail("number mode is new or edit");
            out.numberMode = w[1];
            out.number = w[2];
            out.numberDetails = w[3];
        } else {
            return fail("not a scenario setting (or the wrong number of values)");
        }
    }
    if (out.call.empty()) {
        error = name + ": no call line";
        return false;
    }
    if (!inScript) {
        error = name + ": no script line";
        return false;
    }
    out.script = script.str();
    return true;
}

std::string ReadFile(const std::string &path, bool *found) {
    std::ifstream in(path, std::ios::binary);
    if (found) *found = static_cast<bool>(in);
    if (!in) return {};
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

const char *const kModuleFiles[2] = {"OrvixFax.adb", "orvixfax.ini"};

std::string ShownExportPath(const std::string &path, const std::string &systemDir, const std::string &appDataDir) {
    auto under = [&](const std::string &dir) {
        if (dir.empty() || path.size() <= dir.size() || (path[dir.size()] != '\\' && path[dir.size()] != '/'))
            return false;
        for (size_t i = 0; i < dir.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(path[i])) != std::tolower(static_cast<unsigned char>(dir[i])))
                return false;
        return true;
    };
    if (under(systemDir)) return "%SYSTEM%" + path.substr(systemDir.size());
    if (under(appDataDir)) return "%APPDATA%" + path.substr(appDataDir.size());
    return path;
}

bool LoadScenario(const std::string &path, Scenario &out, std::string &error) {
    bool found = false;
    std::string text = ReadFile(path, &found);
    if (!found) {
        error = path + ": cannot read the scenario";
        return false;
    }
    std::string name = std::filesystem::path(path).stem().string();
    return ParseScenario(text, name, out, error);
}

void WriteOutcome(const ScenarioOutcome &outcome, const std::string &directory) {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    std::filesystem::create_directories(directory, ignored);
    for (const auto &[name, data] : outcome) {
        std::ofstream out(std::filesystem::path(directory) / name, std::ios::binary);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
}

namespace {
// Where two byte strings part, for a readable message.
std::string FirstDifference(const std::string &got, const std::string &want) {
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    auto around = [&](const std::string &s) {
        size_t from = i > 20 ? i - 20 : 0;
        return QuoteBytes(s.data() + from, std::min<size_t>(s.size() - std::min(from, s.size()), 60));
    };
    return "first difference at byte " + std::to_string(i) + " (got " + std::to_string(got.size()) +
           " bytes, expected " + std::to_string(want.size()) + "): got " + around(got) + ", expected " +
           around(want);
}
}  // namespace

std::vector<std::string> CompareOutcome(const ScenarioOutcome &outcome, const std::string &expectedDirectory) {
    std::vector<std::string> differences;
    std::error_code error;
    if (!std::filesystem::is_directory(expectedDirectory, error)) {
        differences.push_back("no expected outcome at " + expectedDirectory);
        return differences;
    }
    std::set<std::string> expectedNames;
    for (const auto &entry : std::filesystem::directory_iterator(expectedDirectory, error))
        if (entry.is_regular_file()) expectedNames.insert(entry.path().filename().string());
    for (const auto &name : expectedNames) {
        auto got = outcome.find(name);
        std::string want = ReadFile((std::filesystem::path(expectedDirectory) / name).string());
        if (got == outcome.end())
            differences.push_back(name + ": expected, but the run left none");
        else if (got->second != want)
            differences.push_back(name + ": " + FirstDifference(got->second, want));
    }
    for (const auto &[name, data] : outcome)
        if (!expectedNames.count(name))
            differences.push_back(name + ": the run left it, but none is expected: " +
                                  QuoteBytes(data.data(), std::min<size_t>(data.size(), 200)));
    return differences;
}

std::string QuoteBytes(const char *text, size_t size) {
    std::string out = "\"";
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string QuoteField(const char *field, size_t capacity) {
    size_t n = 0;
    while (n < capacity && field[n] != 0) ++n;
    std::string quoted = QuoteBytes(field, n);
    if (n == capacity) quoted += " (no terminator)";
    return quoted;
}

std::string DescribeFaxInfo(const FaxInfo *info) {
    if (info == nullptr) return "record: none\n";
    std::ostringstream out;
    const unsigned char *unused = info->unused6;
    char bytes[16];
    std::snprintf(bytes, sizeof bytes, "%02X %02X", unused[0], unused[1]);
    out << "status: " << info->status << "\n"
        << "coverSheet: " << info->coverSheet << "\n"
        << "bytes6and7: " << bytes << "\n"
        << "resolution: " << info->resolution << "\n"
        << "senderName: " << QuoteField(info->senderName, sizeof info->senderName) << "\n"
        << "senderFaxNumber: " << QuoteField(info->senderFaxNumber, sizeof info->senderFaxNumber) << "\n"
        << "senderHomeNumber: " << QuoteField(info->senderHomeNumber, sizeof info->senderHomeNumber) << "\n"
        << "senderBusinessNumber: " << QuoteField(info->senderBusinessNumber, sizeof info->senderBusinessNumber)
        << "\n"
        << "recipientNames: " << QuoteField(info->recipientNames, sizeof info->recipientNames) << "\n"
        << "recipientFaxNumber: " << QuoteField(info->recipientFaxNumber, sizeof info->recipientFaxNumber) << "\n"
        << "recipientCompany: " << QuoteField(info->recipientCompany, sizeof info->recipientCompany) << "\n"
        << "recipients: " << (info->recipients ? "array" : "null") << "\n"
        << "recipientCount: " << info->recipientCount << "\n"
        << "includeRecipName: " << info->includeRecipName << "\n"
        << "includeRecipNumber: " << info->includeRecipNumber << "\n"
        << "includeRecipCompany: " << info->includeRecipCompany << "\n";
    int count = info->recipientCount;
    if (info->recipients != nullptr && count > 0 && count <= FAX_MAX_RECIPIENTS) {
        for (int i = 0; i < count; ++i) {
            const RecipientEntry &slot = info->recipients[i];
            out << "slot " << i << ": " << QuoteField(slot.name, sizeof slot.name) << " "
                << QuoteField(slot.faxNumber, sizeof slot.faxNumber) << " "
                << QuoteField(slot.company, sizeof slot.company) << "\n";
        }
    }
    for (int i = 0; i < 10; ++i)
        out << "note " << i << ": " << QuoteField(info->noteLines[i], sizeof info->noteLines[i]) << "\n";
    return out.str();
}

}  // namespace scenario
