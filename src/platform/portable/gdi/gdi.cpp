// Device contexts and fonts over the metrics model of gdi_fonts.h.
#include "platform/portable/gdi/gdi_fonts.h"
#include "platform/portable/user/user_window.h"

#include <cstdint>
#include <cstring>
#include <map>

namespace portable {
namespace {

struct DeviceContext {
    HWND window = nullptr;
    HFONT font = nullptr;
};

// Stock fonts live at fixed handles below the created ones and are never
// deleted, as stock objects on Windows.
constexpr uintptr_t kStockBase = 0x7700;
constexpr uintptr_t kFontBase = 0x7800;
constexpr uintptr_t kDcBase = 0x9900000;

struct GdiState {
    std::map<uintptr_t, LOGFONTA> fonts;
    std::map<uintptr_t, DeviceContext> dcs;
    uintptr_t nextFont = kFontBase;
    uintptr_t nextDc = kDcBase;
};

GdiState &State() {
    static GdiState state;
    return state;
}

LOGFONTA MakeLogFont(LONG height, LONG width, BYTE pitch, const char *face, LONG weight) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfPitchAndFamily = pitch;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

bool StockFont(uintptr_t value, LOGFONTA &font) {
    switch (value - kStockBase) {
    case SYSTEM_FONT:
        font = MakeLogFont(16, 7, VARIABLE_PITCH | FF_SWISS, "System", FW_BOLD);
        return true;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
        font = MakeLogFont(12, 8, FIXED_PITCH | FF_MODERN, "Courier", FW_NORMAL);
        return true;
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
        font = MakeLogFont(-11, 0, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif", FW_NORMAL);
        return true;
    default:
        return false;
    }
}

bool LookUpFont(HGDIOBJ object, LOGFONTA &font) {
    uintptr_t value = reinterpret_cast<uintptr_t>(object);
    if (StockFont(value, font)) return true;
    auto found = State().fonts.find(value);
    if (found == State().fonts.end()) return false;
    font = found->second;
    return true;
}

HFONT SystemFont() { return reinterpret_cast<HFONT>(kStockBase + SYSTEM_FONT); }

}  // namespace

TEXTMETRICA MetricsOfLogFont(const LOGFONTA &font) {
    TEXTMETRICA tm{};
    LONG charHeight;
    if (font.lfHeight < 0) {
        charHeight = -font.lfHeight;
        tm.tmInternalLeading = charHeight / 5;
    } else if (font.lfHeight > 0) {
        tm.tmInternalLeading = font.lfHeight / 6;
        charHeight = font.lfHeight - tm.tmInternalLeading;
    } else {
        charHeight = 11;
        tm.tmInternalLeading = charHeight / 5;
    }
    tm.tmHeight = charHeight + tm.tmInternalLeading;
    tm.tmDescent = tm.tmHeight / 5;
    tm.tmAscent = tm.tmHeight - tm.tmDescent;
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = font.lfWidth > 0 ? font.lfWidth : (6 * charHeight + 5) / 11;
    if (tm.tmAveCharWidth < 1) tm.tmAveCharWidth = 1;
    bool fixed = (font.lfPitchAndFamily & 3) == FIXED_PITCH ||
                 (font.lfPitchAndFamily & 0xF0) == FF_MODERN;
    tm.tmMaxCharWidth = fixed ? tm.tmAveCharWidth : 2 * tm.tmAveCharWidth;
    tm.tmWeight = font.lfWeight ? font.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x80;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = font.lfItalic;
    tm.tmUnderlined = font.lfUnderline;
    tm.tmStruckOut = font.lfStrikeOut;
    tm.tmPitchAndFamily = static_cast<BYTE>((font.lfPitchAndFamily & 0xF0) |
                                            (fixed ? 0 : TMPF_FIXED_PITCH));
    tm.tmCharSet = font.lfCharSet;
    return tm;
}

TEXTMETRICA FontMetrics(HFONT font) {
    LOGFONTA logFont{};
    if (!LookUpFont(font, logFont)) StockFont(kStockBase + SYSTEM_FONT, logFont);
    return MetricsOfLogFont(logFont);
}

HFONT CreateDialogFont(const char *face, int points) {
    LOGFONTA font = MakeLogFont(-MulDiv(points, 96, 72), 0, DEFAULT_PITCH, face ? face : "",
                                FW_NORMAL);
    return CreateFontIndirectA(&font);
}

int AverageCharWidthOf(HFONT font) { return FontMetrics(font).tmAveCharWidth; }

}  // namespace portable

using namespace portable;

int WINAPI MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    // Rounds half away from zero, as Windows does.
    bool negative = (product < 0) != (denominator < 0);
    int64_t magnitude = (product < 0 ? -product : product);
    int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
    int64_t result = (magnitude + divisor / 2) / divisor;
    if (result > INT32_MAX) return -1;
    return static_cast<int>(negative ? -result : result);
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *font) {
    if (!font) return nullptr;
    uintptr_t value = State().nextFont++;
    LOGFONTA copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = '\0';
    State().fonts[value] = copy;
    return reinterpret_cast<HFONT>(value);
}

HGDIOBJ WINAPI GetStockObject(int object) {
    LOGFONTA font{};
    if (!StockFont(kStockBase + object, font)) return nullptr;
    return reinterpret_cast<HGDIOBJ>(kStockBase + object);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    uintptr_t value = reinterpret_cast<uintptr_t>(object);
    LOGFONTA font{};
    if (StockFont(value, font)) return TRUE;
    // An object selected into a device context cannot be deleted.
    for (const auto &dc : State().dcs)
        if (reinterpret_cast<uintptr_t>(dc.second.font) == value) return FALSE;
    return State().fonts.erase(value) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    LOGFONTA font{};
    if (!LookUpFont(object, font)) return 0;
    if (!buffer) return sizeof(LOGFONTA);
    if (size <= 0) return 0;
    size_t bytes = static_cast<size_t>(size) < sizeof(LOGFONTA) ? static_cast<size_t>(size)
                                                                 : sizeof(LOGFONTA);
    std::memcpy(buffer, &font, bytes);
    return static_cast<int>(bytes);
}

HDC WINAPI GetDC(HWND window) {
    if (window && !FindWindowRecord(window)) return nullptr;
    uintptr_t value = State().nextDc++;
    State().dcs[value] = DeviceContext{window, SystemFont()};
    return reinterpret_cast<HDC>(value);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    return State().dcs.erase(reinterpret_cast<uintptr_t>(dc)) ? 1 : 0;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    auto found = State().dcs.find(reinterpret_cast<uintptr_t>(dc));
    LOGFONTA font{};
    if (found == State().dcs.end() || !LookUpFont(object, font)) return nullptr;
    HFONT previous = found->second.font;
    found->second.font = static_cast<HFONT>(object);
    return previous;
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
    auto found = State().dcs.find(reinterpret_cast<uintptr_t>(dc));
    if (found == State().dcs.end() || !metrics) return FALSE;
    *metrics = FontMetrics(found->second.font);
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
    auto found = State().dcs.find(reinterpret_cast<uintptr_t>(dc));
    if (found == State().dcs.end() || !size || count < 0 || (!text && count > 0)) return FALSE;
    TEXTMETRICA tm = FontMetrics(found->second.font);
    size->cx = count * tm.tmAveCharWidth;
    size->cy = tm.tmHeight;
    return TRUE;
}
