// Fonts and text metrics of the portable layer: a fixed model, so that
// sizes and wrapping come out the same on every machine.
//
// The model (a 96-dpi screen, as Windows has by default):
// - Character height h: a font asked for with lfHeight < 0 has h = -lfHeight;
//   with lfHeight > 0 that is the cell height, h = lfHeight - lfHeight / 6;
//   lfHeight 0 means h = 11 (8 points).
// - tmInternalLeading = h / 5 for lfHeight <= 0 (lfHeight / 6 for a cell
//   height), tmHeight = h + tmInternalLeading, tmDescent = tmHeight / 5,
//   tmAscent = tmHeight - tmDescent, tmExternalLeading = 0.
// - tmAveCharWidth = lfWidth when lfWidth > 0, else (6 h + 5) / 11, so the
//   dialogs' "MS Sans Serif" 8 pt (h 11) is 6 wide and 13 high as on Windows.
// - A fixed-pitch font (FIXED_PITCH or FF_MODERN) has every character exactly
//   tmAveCharWidth wide and tmMaxCharWidth equal to it; a variable-pitch font
//   has tmMaxCharWidth = 2 x tmAveCharWidth. tmPitchAndFamily has
//   TMPF_FIXED_PITCH set for variable pitch, as Windows (inversely) does.
// - Text width = number of characters x tmAveCharWidth, for every font.
// - The system font, which a fresh device context holds (GetDC), is 16 high
//   with average width 7, as on Windows.
// - Dialog base units come from the template font: x = tmAveCharWidth,
//   y = tmHeight; points become lfHeight = -MulDiv(points, 96, 72).
#ifndef ORVIXFAX_PORTABLE_GDI_FONTS_H
#define ORVIXFAX_PORTABLE_GDI_FONTS_H

#include "platform/portable/windows.h"

namespace portable {

// The metrics of a font handle; an unknown or deleted handle measures as
// the system font.
TEXTMETRICA FontMetrics(HFONT font);
TEXTMETRICA MetricsOfLogFont(const LOGFONTA &font);
// A font of the dialog's template: face and size in points.
HFONT CreateDialogFont(const char *face, int points);

}  // namespace portable

#endif
