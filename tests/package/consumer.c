/* A driver writer's first program, built from a package alone: its
 * include/orvixfax.h and the import library in its lib/.
 *
 *   consumer VERSION
 *
 * Checks that the loaded OrvixFax.dll carries VERSION (and the header's
 * version) in its version resource, that every export is found by name,
 * and runs one fax job through CreatePCLOrvixFaxInfo: a new recipient typed
 * into the "Fax Document" dialog, then "F&ax". Exit status 0 when all holds.
 * Its own system directory's OrvixFax.adb and orvixfax.ini are removed
 * before and after, so the job starts as a first-time user's. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <orvixfax.h>

/* Controls of the "Fax Document" template. */
enum { FAX_NEW_RECIPIENT = 1039, FAX_NEW_NAME = 1042, FAX_NEW_NUMBER = 1043 };

static int failures = 0;

static void Check(int holds, const char *what) {
    printf("%s: %s\n", holds ? "OK" : "FAIL", what);
    if (!holds) ++failures;
}

static const char *VersionString(const void *info, const char *translation, const char *name) {
    char path[96];
    void *value = NULL;
    UINT length = 0;
    sprintf(path, "\\StringFileInfo\\%s\\%s", translation, name);
    if (!VerQueryValueA(info, path, &value, &length) || length == 0) return "";
    return (const char *)value;
}

static void CheckVersionResource(HMODULE module, const char *expected) {
    char path[MAX_PATH];
    DWORD ignored = 0, size;
    void *info;
    VS_FIXEDFILEINFO *fixed = NULL;
    WORD *translation = NULL;
    UINT length = 0;
    char translationName[16];
    char numbers[32];

    GetModuleFileNameA(module, path, sizeof path);
    size = GetFileVersionInfoSizeA(path, &ignored);
    Check(size > 0, "OrvixFax.dll has a version resource");
    if (size == 0) return;
    info = malloc(size);
    if (info == NULL || !GetFileVersionInfoA(path, 0, size, info)) {
        Check(0, "GetFileVersionInfoA reads it");
        free(info);
        return;
    }
    if (VerQueryValueA(info, "\\", (void **)&fixed, &length) && length >= sizeof *fixed) {
        sprintf(numbers, "%u.%u.%u.%u", (unsigned)HIWORD(fixed->dwFileVersionMS),
                (unsigned)LOWORD(fixed->dwFileVersionMS), (unsigned)HIWORD(fixed->dwFileVersionLS),
                (unsigned)LOWORD(fixed->dwFileVersionLS));
        printf("file version %s\n", numbers);
        Check(strncmp(numbers, expected, strlen(expected)) == 0 &&
                  strcmp(numbers + strlen(expected), ".0") == 0,
              "the file version is the project version");
        Check(HIWORD(fixed->dwProductVersionMS) == ORVIXFAX_VERSION_MAJOR &&
                  LOWORD(fixed->dwProductVersionMS) == ORVIXFAX_VERSION_MINOR &&
                  HIWORD(fixed->dwProductVersionLS) == ORVIXFAX_VERSION_PATCH,
              "the product version is the header's ORVIXFAX_VERSION");
    } else {
        Check(0, "the version resource has its fixed part");
    }
    if (VerQueryValueA(info, "\\VarFileInfo\\Translation", (void **)&translation, &length) && length >= 4) {
        sprintf(translationName, "%04X%04X", translation[0], translation[1]);
        Check(strcmp(VersionString(info, translationName, "ProductVersion"), expected) == 0 &&
                  strcmp(VersionString(info, translationName, "FileVersion"), expected) == 0,
              "the version texts are the project version");
        Check(strcmp(VersionString(info, translationName, "ProductVersion"), ORVIXFAX_VERSION_STRING) == 0,
              "... and the header's ORVIXFAX_VERSION_STRING");
        Check(strcmp(VersionString(info, translationName, "OriginalFilename"), "OrvixFax.dll") == 0,
              "the original file name is OrvixFax.dll");
        Check(strcmp(VersionString(info, translationName, "ProductName"), "OrvixFax") == 0,
              "the product name is OrvixFax");
    } else {
        Check(0, "the version resource names its language");
    }
    free(info);
}

/* Found by name, as a driver that loads the module itself finds them,
 * each through its PFN_ type (by way of the generic function type, which
 * GCC lets convert to any other without a warning). */
#define FIND(type, name) ((type)(void (*)(void))GetProcAddress(module, name))

static void CheckExportsByName(HMODULE module) {
    PFN_PSOrvixFaxCall psCall = FIND(PFN_PSOrvixFaxCall, "PSOrvixFaxCall");
    PFN_PCLOrvixFaxCall pclCall = FIND(PFN_PCLOrvixFaxCall, "PCLOrvixFaxCall");
    PFN_OrvixFaxBookCall bookCall = FIND(PFN_OrvixFaxBookCall, "OrvixFaxBookCall");
    PFN_EditNumberDlgProc editNumber = FIND(PFN_EditNumberDlgProc, "EditNumberDlgProc");
    PFN_PCLOrvixFaxCallEx pclCallEx = FIND(PFN_PCLOrvixFaxCallEx, "PCLOrvixFaxCallEx");
    PFN_PSOrvixFaxCallEx psCallEx = FIND(PFN_PSOrvixFaxCallEx, "PSOrvixFaxCallEx");
    PFN_CreatePCLOrvixFaxInfo createPcl = FIND(PFN_CreatePCLOrvixFaxInfo, "CreatePCLOrvixFaxInfo");
    PFN_CreatePSOrvixFaxInfo createPs = FIND(PFN_CreatePSOrvixFaxInfo, "CreatePSOrvixFaxInfo");
    Check(psCall && pclCall && bookCall && editNumber && pclCallEx && psCallEx && createPcl && createPs,
          "GetProcAddress finds all eight exports by name");
}

static void RemoveUserFiles(void) {
    char directory[MAX_PATH], path[MAX_PATH + 16];
    GetSystemDirectoryA(directory, sizeof directory);
    sprintf(path, "%s\\OrvixFax.adb", directory);
    DeleteFileA(path);
    sprintf(path, "%s\\orvixfax.ini", directory);
    DeleteFileA(path);
}

/* The user, on a timer inside the dialog's own message loop: types a new
 * recipient and presses F&ax. Should the dialog still be open a few ticks
 * later, it is ended as by "&Print", and the job has no ticket. */
static int ticks = 0;

static VOID CALLBACK PlayTheUser(HWND unused, UINT message, UINT_PTR timer, DWORD time) {
    HWND dialog = FindWindowA("#32770", "Fax Document");
    (void)unused, (void)message, (void)time;
    if (dialog == NULL) return;
    if (++ticks > 3) {
        KillTimer(NULL, timer);
        EndDialog(dialog, 2);
        return;
    }
    if (ticks > 1) return;
    SendMessageA(GetDlgItem(dialog, FAX_NEW_RECIPIENT), BM_CLICK, 0, 0);
    SetDlgItemTextA(dialog, FAX_NEW_NAME, "Package Consumer");
    SetDlgItemTextA(dialog, FAX_NEW_NUMBER, "0800 555 0100");
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

static void RunFaxJob(void) {
    char *text = NULL;
    uint32_t length = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 200, PlayTheUser);

    RemoveUserFiles();
    CreatePCLOrvixFaxInfo(&text, &length);
    KillTimer(NULL, timer);
    RemoveUserFiles();

    Check(text != NULL, "the fax job returned a PJL ticket");
    if (text == NULL) return;
    Check(length == strlen(text), "its length is that of its text");
    Check(strncmp(text, "@PJL COMMENT @@MJB=SRT\n", 23) == 0, "it starts the fax job");
    Check(strstr(text, "\n@PJL COMMENT @@FXN=08005550100\n") != NULL, "it sends to the typed number");
    GlobalUnlock(GlobalHandle(text));
    Check(GlobalFree(GlobalHandle(text)) == NULL, "the caller frees the ticket through its handle");
}

int main(int argc, char **argv) {
    HMODULE module = GetModuleHandleA("OrvixFax.dll");
    if (argc != 2) {
        fprintf(stderr, "usage: consumer VERSION\n");
        return 2;
    }
    Check(module != NULL, "OrvixFax.dll is loaded through its import library");
    if (module == NULL) return 1;
    Check(strcmp(ORVIXFAX_VERSION_STRING, argv[1]) == 0, "the header's version is the project version");
    CheckVersionResource(module, argv[1]);
    CheckExportsByName(module);
    RunFaxJob();
    return failures == 0 ? 0 : 1;
}
