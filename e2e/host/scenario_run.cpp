#include "scenario_run.h"

#include "module_loader.h"
#include "res/resource_names.h"
#include "support/scenario/export_call.h"
#include "support/scenario/scenario.h"
#include "script/script.h"
#include "support/user32/dialog_thread.h"
#include "support/user32/script_hands.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <sstream>
#include <thread>

namespace e2e {

namespace {

std::string SystemDirectory() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string ProgramDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full = path;
    return full.substr(0, full.find_last_of("\\/"));
}

std::string TempPath(const std::string &name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

bool FileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteWholeFile(const std::string &path, const std::string &data) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}

std::string DirectoryOf(const std::string &path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The user's application-data folder, as the module asks for it.
std::string AppDataDirectory() {
    char dir[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, dir) != S_OK)
        return {};
    return dir;
}

// The exporter's log in words both runners can write.
std::string NormaliseExporterLog(const std::string &log, const std::string &systemDir, const std::string &appDataDir,
                                 const std::string &currentDir) {
    std::istringstream in(log);
    std::string line, out;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("load ", 0) == 0) {
            std::string dir = DirectoryOf(line.substr(5));
            if (lstrcmpiA(dir.c_str(), systemDir.c_str()) == 0)
                line = "load from the system directory";
            else if (!currentDir.empty() && lstrcmpiA(dir.c_str(), currentDir.c_str()) == 0)
                line = "load from the current directory";
            else if (lstrcmpiA(dir.c_str(), ProgramDirectory().c_str()) == 0)
                line = "load from the application directory";
            else
                line = "load from " + dir;
        } else if (line.rfind("export ", 0) == 0) {
            line = "export " + scenario::ShownExportPath(line.substr(7), systemDir, appDataDir);
        }
        out += line + "\n";
    }
    return out;
}

// A data file of the scenario at `to`; a problem when it cannot be put there.
void CopyData(const ScenarioPaths &paths, const std::string &data, const std::string &to,
              std::vector<std::string> &problems) {
    if (data.empty()) return;
    bool found = false;
    std::string bytes = scenario::ReadFile(paths.dataDirectory + "/" + data, &found);
    if (!found || !WriteWholeFile(to, bytes)) problems.push_back("cannot put " + data + " at " + to);
}

// The exporter library and what it writes, in `dir`.
void PlaceExporter(const scenario::Scenario &sc, const ScenarioPaths &paths, const std::string &dir,
                   std::vector<std::string> &problems) {
    if (!CopyFileA(paths.exporterLibrary.c_str(), (dir + "\\Abexpw32.dll").c_str(), FALSE))
        problems.push_back("cannot copy " + paths.exporterLibrary + " to " + dir);
    DeleteFileA((dir + "\\Abexpw32.txt").c_str());
    CopyData(paths, sc.exporterBook, dir + "\\Abexpw32.txt", problems);
}

// A clean system directory with the scenario's files in it, the exporter
// too when it is to lie there.
void PrepareSystemDirectory(const scenario::Scenario &sc, const ScenarioPaths &paths,
                            std::vector<std::string> &problems) {
    const std::string systemDir = SystemDirectory();
    for (const char *name : {"OrvixFax.adb", "orvixfax.ini", "Abexpw32.dll", "Abexpw32.txt"})
        DeleteFileA((systemDir + "\\" + name).c_str());
    RemoveDirectoryA((systemDir + "\\OrvixFax.adb").c_str());
    CopyData(paths, sc.book, systemDir + "\\OrvixFax.adb", problems);
    if (sc.bookUnreadable && !CreateDirectoryA((systemDir + "\\OrvixFax.adb").c_str(), nullptr))
        problems.push_back("cannot put a directory in the book's place");
    CopyData(paths, sc.settings, systemDir + "\\orvixfax.ini", problems);
    if (sc.exporter == "system") PlaceExporter(sc, paths, systemDir, problems);
}

// The user's own folder emptied and gone, as before the user's first save.
void ClearUserFolder(const std::string &userDir) {
    if (userDir.empty()) return;
    for (const char *name : scenario::kModuleFiles) DeleteFileA((userDir + "\\" + name).c_str());
    RemoveDirectoryA(userDir.c_str());
}

// Whether the system directory refuses this process a new file, as the
// scenarios of a standard user need it to.
bool SystemDirectoryRefusesNewFiles(const std::string &systemDir) {
    const std::string probe = systemDir + "\\orvixfax-e2e-probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return false;
}

bool LoadForHost(const ScenarioPaths &paths, scenario::Scenario &sc) {
    std::string error;
    if (scenario::LoadScenario(paths.scenarioFile, sc, error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

}  // namespace

int PrepareScenario(const ScenarioPaths &paths) {
    scenario::Scenario sc;
    if (!LoadForHost(paths, sc)) return 2;
    std::vector<std::string> problems;
    PrepareSystemDirectory(sc, paths, problems);
    for (const std::string &p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    return problems.empty() ? 0 : 2;
}

int RunScenario(const ScenarioPaths &paths) {
    scenario::Scenario sc;
    if (!LoadForHost(paths, sc)) return 2;
    script::Script script(res::ControlIdByName);
    if (!script.Parse(sc.script, sc.name + ".scenario", sc.scriptFirstLine)) {
        std::fprintf(stderr, "%s", script.Report().c_str());
        return 2;
    }

    // The system directory as the scenario wants it: prepared here, or, for
    // a user who may not write it, before this run by whoever may.
    const std::string systemDir = SystemDirectory();
    std::vector<std::string> problems;
    if (!sc.systemDirectoryUnwritable) {
        PrepareSystemDirectory(sc, paths, problems);
    } else if (!SystemDirectoryRefusesNewFiles(systemDir)) {
        problems.push_back("this process may write the system directory: a standard user's scenario runs "
                           "through e2e/standard_user_scenario.sh");
    }
    const std::string logPath = TempPath("Abexpw32-e2e.log");
    DeleteFileA(logPath.c_str());

    // The user's own copies, in a folder that is there only when they are.
    const std::string appDataDir = AppDataDirectory();
    const std::string userDir = appDataDir.empty() ? std::string() : appDataDir + "\\OrvixFax";
    if (userDir.empty()) problems.push_back("the user's application-data folder cannot be had");
    ClearUserFolder(userDir);
    if (!sc.userBook.empty() || !sc.userSettings.empty()) CreateDirectoryA(userDir.c_str(), nullptr);
    CopyData(paths, sc.userBook, userDir + "\\OrvixFax.adb", problems);
    CopyData(paths, sc.userSettings, userDir + "\\orvixfax.ini", problems);

    // The exporter where the scenario wants it, and nowhere else.
    if (FileExists(ProgramDirectory() + "\\Abexpw32.dll"))
        problems.push_back("Abexpw32.dll lies in the application directory; the scenarios cannot place it");
    std::string exporterDir;
    if (sc.exporter == "system") exporterDir = systemDir;
    if (sc.exporter == "current-directory") {
        exporterDir = TempPath("orvix-e2e-current");
        CreateDirectoryA(exporterDir.c_str(), nullptr);
        PlaceExporter(sc, paths, exporterDir, problems);
    }
    char previousDir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previousDir);
    std::string currentDir;
    if (sc.exporter == "current-directory") {
        SetCurrentDirectoryA(exporterDir.c_str());
        currentDir = exporterDir;
    }

    scenario::Exports exports;
    LoadOrvixFax(exports, problems);
    if (exports.instance && sc.hasClock) {
        std::string problem;
        if (!FixModuleClock(exports.instance, sc.clock, problem)) problems.push_back(problem);
    }

    scenario::ScenarioOutcome outcome;
    if (problems.empty()) {
        user32::InstallDialogThread(exports.instance);
        std::thread hands([&script] { user32::PlayScript(script); });
        // Nothing may hang the test run: a call that never comes back ends
        // the process with a message.
        std::thread watchdog([] {
            for (int i = 0; i < 1200 && !user32::IsCallFinished(); ++i) Sleep(100);
            if (!user32::IsCallFinished()) {
                std::fprintf(stderr, "the call did not return within two minutes\n");
                std::fflush(stderr);
                ExitProcess(3);
            }
        });
        scenario::RunExport(sc, exports, outcome);
        user32::CallFinished();
        hands.join();
        watchdog.join();
        user32::UninstallDialogThread();
    }
    // What the exporter saw, before the check below adds a load of its own.
    std::string exporterLog = NormaliseExporterLog(scenario::ReadFile(logPath), systemDir, appDataDir, currentDir);
    if (!currentDir.empty()) {
        // The plant must be one a careless load would find, or the
        // scenario proves nothing.
        HMODULE careless = LoadLibraryA("Abexpw32.dll");
        char from[MAX_PATH] = {};
        if (careless) GetModuleFileNameA(careless, from, MAX_PATH);
        if (!careless || lstrcmpiA(DirectoryOf(from).c_str(), currentDir.c_str()) != 0)
            problems.push_back("the library planted in " + currentDir + " is not found by a bare LoadLibraryA");
        if (careless) FreeLibrary(careless);
    }
    SetCurrentDirectoryA(previousDir);

    std::string messages;
    for (const script::MessageBoxSeen &box : script.MessageBoxes()) messages += box.caption + " | " + box.text + "\n";
    outcome["messages.txt"] = messages;
    outcome["exporter.txt"] = exporterLog;
    // Still a directory, so never saved over: it goes, and no book is left.
    if (sc.bookUnreadable && !RemoveDirectoryA((systemDir + "\\OrvixFax.adb").c_str()))
        problems.push_back("the book's directory was replaced");
    for (const char *name : scenario::kModuleFiles) {
        bool found = false;
        std::string data = scenario::ReadFile(systemDir + "\\" + name, &found);
        if (found) outcome[name] = data;
        data = scenario::ReadFile(userDir + "\\" + name, &found);
        if (found) outcome[std::string("appdata-") + name] = data;
    }
    // No copy of the user's is left to stand in front of the next run's files.
    ClearUserFolder(userDir);
    std::string errors;
    for (const std::string &p : problems) errors += p + "\n";
    errors += script.Report();
    if (!errors.empty()) outcome["errors.txt"] = errors;

    if (!exporterDir.empty()) {
        DeleteFileA((exporterDir + "\\Abexpw32.dll").c_str());
        DeleteFileA((exporterDir + "\\Abexpw32.txt").c_str());
    }
    if (!currentDir.empty()) RemoveDirectoryA(currentDir.c_str());

    scenario::WriteOutcome(outcome, paths.outputDirectory + "/" + sc.name);
    std::vector<std::string> differences =
        scenario::CompareOutcome(outcome, paths.expectedDirectory + "/" + sc.name);
    if (!errors.empty()) std::fprintf(stderr, "%s", errors.c_str());
    for (const std::string &d : differences) std::fprintf(stderr, "%s: %s\n", sc.name.c_str(), d.c_str());
    std::printf("%s: %s (outcome in %s/%s)\n", sc.name.c_str(), differences.empty() ? "as expected" : "DIFFERS",
                paths.outputDirectory.c_str(), sc.name.c_str());
    return differences.empty() ? 0 : 1;
}

}  // namespace e2e
