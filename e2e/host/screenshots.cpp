#include "screenshots.h"

#include "module_loader.h"
#include "png_file.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace e2e {

namespace {

const char *const kTemplates[] = {"IDD_ORVIX_FAX",  "IDD_COVER_PAGE", "IDD_EDIT_ADDRESS_BOOK",
                                  "IDD_EDIT_GROUPS", "IDD_EDIT_INDIV", "IDD_EDIT_NUMBER"};

struct Shot {
    std::string path;
    bool saved = false;
};

bool Capture(HWND dialog, const std::string &path) {
    RECT r{};
    GetWindowRect(dialog, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const uint8_t *bgra = static_cast<const uint8_t *>(bits);
    for (size_t i = 0; bits && i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied && bits && WritePng(path, width, height, rgb);
}

INT_PTR CALLBACK ShowOnly(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            // Away from the screen's corner, so the whole frame is in view.
            SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
            SetTimer(dialog, 1, 400, nullptr);
            return TRUE;
        case WM_TIMER: {
            KillTimer(dialog, 1);
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            auto *shot = reinterpret_cast<Shot *>(GetWindowLongPtrA(dialog, DWLP_USER));
            shot->saved = Capture(dialog, shot->path);
            EndDialog(dialog, 1);
            return TRUE;
        }
        case WM_COMMAND:
            return TRUE;  // nothing the template's buttons do matters here
    }
    (void)wParam;
    return FALSE;
}

}  // namespace

int TakeScreenshots(const std::string &directory) {
    scenario::Exports exports;
    std::vector<std::string> problems;
    if (!LoadOrvixFax(exports, problems)) {
        for (const auto &p : problems) std::fprintf(stderr, "%s\n", p.c_str());
        return 1;
    }
    CreateDirectoryA(directory.c_str(), nullptr);
    int failures = 0;
    for (const char *name : kTemplates) {
        Shot shot{directory + "/" + name + ".png"};
        INT_PTR result = DialogBoxParamA(exports.instance, name, nullptr, ShowOnly, reinterpret_cast<LPARAM>(&shot));
        if (result != 1 || !shot.saved) {
            std::fprintf(stderr, "%s: not shown or not saved (result %lld)\n", name, static_cast<long long>(result));
            ++failures;
        } else {
            std::printf("%s\n", shot.path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace e2e
