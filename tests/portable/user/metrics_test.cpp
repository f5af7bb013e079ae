// The font and text metrics model of the portable layer.
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

LOGFONTA Font(LONG height, LONG width, BYTE pitch, const char *face) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfPitchAndFamily = pitch;
    std::strcpy(font.lfFaceName, face);
    return font;
}

TEXTMETRICA Measure(HFONT font) {
    TEXTMETRICA tm{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    EXPECT_NE(old, nullptr);
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm;
}

TEST(Metrics, DialogFontIsSixByThirteen) {
    LOGFONTA logFont = Font(-MulDiv(8, 96, 72), 0, DEFAULT_PITCH, "MS Sans Serif");
    EXPECT_EQ(logFont.lfHeight, -11);
    HFONT font = CreateFontIndirectA(&logFont);
    TEXTMETRICA tm = Measure(font);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set means variable pitch
    EXPECT_TRUE(DeleteObject(font));
}

TEST(Metrics, NoteFontWidthIsItsRequestedWidth) {
    LOGFONTA logFont = Font(-11, 8, FIXED_PITCH, "");
    HFONT font = CreateFontIndirectA(&logFont);
    TEXTMETRICA tm = Measure(font);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmMaxCharWidth, 8);
    EXPECT_EQ(tm.tmHeight + tm.tmInternalLeading + tm.tmExternalLeading, 15);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
    HDC dc = GetDC(nullptr);
    SelectObject(dc, font);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "abcde", 5, &size));
    EXPECT_EQ(size.cx, 40);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
}

TEST(Metrics, FreshDeviceContextHoldsTheSystemFont) {
    HDC dc = GetDC(nullptr);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmAveCharWidth, 7);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_FALSE(GetTextMetricsA(dc, &tm));  // released
}

TEST(Metrics, GetObjectGivesTheLogFontBack) {
    LOGFONTA logFont = Font(-11, 8, FIXED_PITCH, "Courier");
    HFONT font = CreateFontIndirectA(&logFont);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -11);
    EXPECT_EQ(back.lfWidth, 8);
    EXPECT_STREQ(back.lfFaceName, "Courier");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    EXPECT_FALSE(DeleteObject(font));  // still selected
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), 0);
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(GetStockObject(SYSTEM_FONT)));  // stock objects stay
    EXPECT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
}

TEST(Metrics, PositiveHeightIsTheCellHeight) {
    LOGFONTA logFont = Font(18, 0, VARIABLE_PITCH, "Arial");
    HFONT font = CreateFontIndirectA(&logFont);
    TEXTMETRICA tm = Measure(font);
    EXPECT_EQ(tm.tmHeight, 18);
    EXPECT_EQ(tm.tmInternalLeading, 3);
    EXPECT_EQ(tm.tmAveCharWidth, (6 * 15 + 5) / 11);
    DeleteObject(font);
}

TEST(Metrics, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(43, 6, 4), 65);
    EXPECT_EQ(MulDiv(-43, 6, 4), -65);
    EXPECT_EQ(MulDiv(7, 13, 8), 11);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x40000000, 4, 2), -1);  // overflow
}

}  // namespace
