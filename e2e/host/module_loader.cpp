#include "module_loader.h"

#include <windows.h>

#include <cstring>
#include <ctime>

namespace e2e {

namespace {

struct ExportSlot {
    const char *name;
    int ordinal;
};
const ExportSlot kExports[] = {
    {"PSOrvixFaxCall", 1},    {"PCLOrvixFaxCall", 2},  {"OrvixFaxBookCall", 3},      {"EditNumberDlgProc", 4},
    {"PCLOrvixFaxCallEx", 5}, {"PSOrvixFaxCallEx", 6}, {"CreatePCLOrvixFaxInfo", 7}, {"CreatePSOrvixFaxInfo", 8},
};

template <typename F>
void Assign(F &target, FARPROC p) {
    target = reinterpret_cast<F>(reinterpret_cast<void *>(p));
}

__time64_t fixedTime = 0;
std::tm fixedTm{};

__time64_t __cdecl FixedTime64(__time64_t *out) {
    if (out) *out = fixedTime;
    return fixedTime;
}
__time32_t __cdecl FixedTime32(__time32_t *out) {
    if (out) *out = static_cast<__time32_t>(fixedTime);
    return static_cast<__time32_t>(fixedTime);
}
std::tm *__cdecl FixedLocalTime(const void *) {
    static std::tm copy;
    copy = fixedTm;
    return &copy;
}
void WINAPI FixedSystemTime(LPSYSTEMTIME out) {
    out->wYear = static_cast<WORD>(fixedTm.tm_year + 1900);
    out->wMonth = static_cast<WORD>(fixedTm.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(fixedTm.tm_wday);
    out->wDay = static_cast<WORD>(fixedTm.tm_mday);
    out->wHour = static_cast<WORD>(fixedTm.tm_hour);
    out->wMinute = static_cast<WORD>(fixedTm.tm_min);
    out->wSecond = static_cast<WORD>(fixedTm.tm_sec);
    out->wMilliseconds = 0;
}

// Days since 1970-01-01 of a Gregorian date.
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Replacement {
    const char *name;
    void *with;
    int kind;  // 1 time, 2 local time
};

}  // namespace

bool LoadOrvixFax(scenario::Exports &exports, std::vector<std::string> &problems) {
    HMODULE module = LoadLibraryA("OrvixFax.dll");
    if (!module) {
        problems.push_back("LoadLibraryA(\"OrvixFax.dll\") failed, error " + std::to_string(GetLastError()));
        return false;
    }
    exports.instance = module;
    FARPROC found[8] = {};
    for (int i = 0; i < 8; ++i) {
        const ExportSlot &e = kExports[i];
        FARPROC byName = GetProcAddress(module, e.name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal));
        if (!byName) problems.push_back(std::string("no export named ") + e.name);
        if (!byOrdinal) problems.push_back("no export with ordinal " + std::to_string(e.ordinal));
        if (byName && byOrdinal && byName != byOrdinal)
            problems.push_back(std::string(e.name) + " is not ordinal " + std::to_string(e.ordinal));
        found[i] = byName;
    }
    // Nothing beyond the eight: ordinal 9 must not exist.
    if (GetProcAddress(module, MAKEINTRESOURCEA(9))) problems.push_back("an export with ordinal 9 exists");
    Assign(exports.PSOrvixFaxCall, found[0]);
    Assign(exports.PCLOrvixFaxCall, found[1]);
    Assign(exports.OrvixFaxBookCall, found[2]);
    Assign(exports.EditNumberDlgProc, found[3]);
    Assign(exports.PCLOrvixFaxCallEx, found[4]);
    Assign(exports.PSOrvixFaxCallEx, found[5]);
    Assign(exports.CreatePCLOrvixFaxInfo, found[6]);
    Assign(exports.CreatePSOrvixFaxInfo, found[7]);
    return problems.empty();
}

bool FixModuleClock(HMODULE module, const scenario::Clock &clock, std::string &problem) {
    fixedTm = std::tm{};
    fixedTm.tm_year = clock.year - 1900;
    fixedTm.tm_mon = clock.month - 1;
    fixedTm.tm_mday = clock.day;
    fixedTm.tm_hour = clock.hour;
    fixedTm.tm_min = clock.minute;
    fixedTm.tm_sec = clock.second;
    long long days = DaysFromCivil(clock.year, clock.month, clock.day);
    fixedTm.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    fixedTm.tm_yday = static_cast<int>(days - DaysFromCivil(clock.year, 1, 1));
    fixedTm.tm_isdst = 0;
    fixedTime = days * 86400 + clock.hour * 3600 + clock.minute * 60 + clock.second;

    const Replacement replacements[] = {
        {"_time64", reinterpret_cast<void *>(FixedTime64), 1},
        {"time", reinterpret_cast<void *>(FixedTime64), 1},
        {"_time32", reinterpret_cast<void *>(FixedTime32), 1},
        {"_localtime64", reinterpret_cast<void *>(FixedLocalTime), 2},
        {"localtime", reinterpret_cast<void *>(FixedLocalTime), 2},
        {"_localtime32", reinterpret_cast<void *>(FixedLocalTime), 2},
        {"GetLocalTime", reinterpret_cast<void *>(FixedSystemTime), 2},
    };
    auto *base = reinterpret_cast<unsigned char *>(module);
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched[3] = {};
    if (dir.VirtualAddress != 0) {
        for (auto *d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress); d->Name != 0; ++d) {
            if (d->OriginalFirstThunk == 0) continue;
            auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->OriginalFirstThunk);
            auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
                for (const Replacement &r : replacements) {
                    if (std::strcmp(reinterpret_cast<const char *>(byName->Name), r.name) != 0) continue;
                    DWORD old = 0;
                    VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(r.with);
                    VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
                    ++patched[r.kind];
                }
            }
        }
    }
    if (patched[1] == 0 && patched[2] == 0) {
        problem = "the module imports no clock function that could be fixed";
        return false;
    }
    return true;
}

}  // namespace e2e
