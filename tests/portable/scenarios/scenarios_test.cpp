// The native runner of the Windows scenarios: each scenario file is played
// by the portable layer's scripted front end against the module built for
// Linux, and must leave exactly the outcome the real DLL leaves under Wine
// (e2e/scenarios/expected). A difference is a fault in one of the two.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/module_instance.h"
#include "platform/portable/front_ends/script_front_end.h"
#include "platform/portable/host.h"
#include "res/resource_names.h"
#include "support/scenario/export_call.h"
#include "support/scenario/scenario.h"
#include "ticket/ticket_clock.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(ORVIX_SCENARIO_DIR, error))
        if (entry.path().extension() == ".scenario") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The exporter library of the portable layer: a registered procedure that
// behaves like e2e/exporter/abexpw32.cpp and writes the same log lines.
struct ExporterStandIn {
    std::string book;        // what it writes
    bool hasBook = false;
    std::string systemDir;
    std::string appDataDir;
    std::string log;
    int loadsLogged = 0;
} exporter;

void LogLoads() {
    int loads = portable::LibraryLoadCount("Abexpw32.dll");
    for (; exporter.loadsLogged < loads; ++exporter.loadsLogged) exporter.log += "load from the system directory\n";
}

LONG WINAPI StandInExportAsText(LPSTR path, LONG reserved, LONG *written, LONG *done) {
    LogLoads();
    std::string given = scenario::ShownExportPath(path ? path : "(null)", exporter.systemDir, exporter.appDataDir);
    exporter.log += "export " + given + " reserved=" + std::to_string(reserved) +
                    (exporter.hasBook ? " source" : " empty") + "\n";
    if (!path) return 0;
    std::string file = path;
    std::replace(file.begin(), file.end(), '\\', '/');
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(exporter.book.data(), static_cast<std::streamsize>(exporter.book.size()));
    if (written) *written = static_cast<LONG>(exporter.book.size());
    if (done) *done = 1;
    return out ? 1 : 0;
}

// A system directory the user may not write: no new name, no move and no
// removal in it, each refused with access denied as Windows refuses a
// standard user; reading is left alone.
std::string g_unwritable;
DWORD RefuseSystemDirectory(portable::KernelCall call, const char *subject) {
    if (subject == nullptr || g_unwritable.empty()) return 0;
    if (call != portable::KERNEL_FILE_CREATE && call != portable::KERNEL_FILE_REPLACE &&
        call != portable::KERNEL_FILE_DELETE)
        return 0;
    std::string path = subject;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path.rfind(g_unwritable + "/", 0) == 0 ? ERROR_ACCESS_DENIED : 0;
}

class WindowsScenario : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
        systemDir_ = (fs::temp_directory_path() / ("orvix-e2e-native-" + GetParam())).string();
        fs::remove_all(systemDir_);
        fs::create_directories(systemDir_);
        portable::SetSystemDirectory(systemDir_);
        // The user's profile, with its application-data folder there already.
        appDataDir_ = (fs::temp_directory_path() / ("orvix-e2e-native-appdata-" + GetParam())).string();
        fs::remove_all(appDataDir_);
        fs::create_directories(appDataDir_);
        portable::SetAppDataDirectory(appDataDir_);
    }
    void TearDown() override {
        portable::UnregisterLibraries();
        portable::ClearKernelFaults();
        g_unwritable.clear();
        SetTicketTime(nullptr);
        portable::SetAppDataDirectory("");
        fs::remove_all(systemDir_);
        fs::remove_all(appDataDir_);
    }
    std::string systemDir_;
    std::string appDataDir_;
};

TEST_P(WindowsScenario, LeavesTheOutcomeTheRealDllLeaves) {
    const std::string dir = ORVIX_SCENARIO_DIR;
    scenario::Scenario sc;
    std::string error;
    ASSERT_TRUE(scenario::LoadScenario(dir + "/" + GetParam() + ".scenario", sc, error)) << error;

    auto copyData = [&](const std::string &data, const std::string &to) {
        if (data.empty()) return;
        bool found = false;
        std::string bytes = scenario::ReadFile(dir + "/data/" + data, &found);
        ASSERT_TRUE(found) << data;
        std::ofstream(to, std::ios::binary) << bytes;
    };
    copyData(sc.book, systemDir_ + "/OrvixFax.adb");
    if (sc.bookUnreadable) {
        ASSERT_TRUE(std::filesystem::create_directory(systemDir_ + "/OrvixFax.adb"));
    }
    copyData(sc.settings, systemDir_ + "/orvixfax.ini");
    const std::string userDir = appDataDir_ + "/OrvixFax";
    if (!sc.userBook.empty() || !sc.userSettings.empty()) fs::create_directories(userDir);
    copyData(sc.userBook, userDir + "/OrvixFax.adb");
    copyData(sc.userSettings, userDir + "/orvixfax.ini");
    if (sc.systemDirectoryUnwritable) {
        g_unwritable = systemDir_;
        for (auto call : {portable::KERNEL_FILE_CREATE, portable::KERNEL_FILE_REPLACE, portable::KERNEL_FILE_DELETE})
            portable::SetKernelFault(call, RefuseSystemDirectory);
    }

    // Only a library in the system directory can be found here; one in the
    // current directory must stay unfound, as the module's load demands.
    exporter = ExporterStandIn{};
    exporter.systemDir = systemDir_;
    exporter.appDataDir = appDataDir_;
    exporter.loadsLogged = portable::LibraryLoadCount("Abexpw32.dll");
    if (sc.exporter == "system") {
        if (!sc.exporterBook.empty()) {
            exporter.book = scenario::ReadFile(dir + "/data/" + sc.exporterBook, &exporter.hasBook);
            ASSERT_TRUE(exporter.hasBook) << sc.exporterBook;
        }
        static const portable::LibraryProc procs[] = {
            {"FDB_ExportAsText", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(StandInExportAsText))}};
        portable::RegisterLibrary("Abexpw32.dll", procs, 1);
    }
    if (sc.hasClock) {
        std::tm moment{};
        moment.tm_year = sc.clock.year - 1900;
        moment.tm_mon = sc.clock.month - 1;
        moment.tm_mday = sc.clock.day;
        moment.tm_hour = sc.clock.hour;
        moment.tm_min = sc.clock.minute;
        moment.tm_sec = sc.clock.second;
        SetTicketTime(&moment);
    }

    portable::ScriptFrontEnd frontEnd(res::ControlIdByName);
    ASSERT_TRUE(frontEnd.Parse(sc.script, sc.name + ".scenario", sc.scriptFirstLine)) << frontEnd.Report();

    scenario::Exports exports;
    exports.instance = portable::ModuleInstance();
    exports.PSOrvixFaxCall = PSOrvixFaxCall;
    exports.PCLOrvixFaxCall = PCLOrvixFaxCall;
    exports.OrvixFaxBookCall = OrvixFaxBookCall;
    exports.EditNumberDlgProc = EditNumberDlgProc;
    exports.PCLOrvixFaxCallEx = PCLOrvixFaxCallEx;
    exports.PSOrvixFaxCallEx = PSOrvixFaxCallEx;
    exports.CreatePCLOrvixFaxInfo = CreatePCLOrvixFaxInfo;
    exports.CreatePSOrvixFaxInfo = CreatePSOrvixFaxInfo;

    scenario::ScenarioOutcome outcome;
    {
        portable::ScopedFrontEnd scope(&frontEnd);
        scenario::RunExport(sc, exports, outcome);
    }
    bool ran = frontEnd.Finish();
    LogLoads();

    std::string messages;
    for (const auto &box : frontEnd.MessageBoxes()) messages += box.caption + " | " + box.text + "\n";
    outcome["messages.txt"] = messages;
    outcome["exporter.txt"] = exporter.log;
    // Still a directory, so never saved over: it goes, and no book is left.
    if (sc.bookUnreadable) {
        const std::string book = systemDir_ + "/OrvixFax.adb";
        EXPECT_TRUE(std::filesystem::is_directory(book)) << "the book's directory was replaced";
        if (std::filesystem::is_directory(book)) std::filesystem::remove(book);
    }
    for (const char *name : scenario::kModuleFiles) {
        bool found = false;
        std::string data = scenario::ReadFile(systemDir_ + "/" + name, &found);
        if (found) outcome[name] = data;
        data = scenario::ReadFile(userDir + "/" + name, &found);
        if (found) outcome[std::string("appdata-") + name] = data;
    }
    if (!ran) outcome["errors.txt"] = frontEnd.Report();

    scenario::WriteOutcome(outcome, std::string(ORVIX_OUTCOME_DIR) + "/" + sc.name);
    EXPECT_TRUE(ran) << frontEnd.Report();
    for (const std::string &d : scenario::CompareOutcome(outcome, dir + "/expected/" + sc.name))
        ADD_FAILURE() << d;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, WindowsScenario, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

// The list above is read from the folder: an empty folder must not pass
// quietly as "nothing failed".
TEST(WindowsScenarios, AreThere) { EXPECT_GE(ScenarioNames().size(), 2u); }

}  // namespace
